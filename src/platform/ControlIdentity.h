#pragma once

#include <QString>
#include <QWidget>

// Every control carries its layout name as object and accessible name, so that tests and assistive tools find it,
// and its hint as accessible description. The hint pops up over the control only where the layout shows it.
enum class HintShown { No, Yes };

inline void Identify(QWidget *control, const QString &name, const QString &hint = QString(),
                     HintShown shown = HintShown::No)
{
    control->setObjectName(name);
    control->setAccessibleName(name);
    control->setProperty("hint", hint);
    if (!hint.isEmpty())
        control->setAccessibleDescription(hint);
    if (shown == HintShown::Yes)
        control->setToolTip(hint);
}
