#pragma once

#include <QPushButton>
#include <QString>
#include <QWidget>

// Every control carries its layout name as object name, so that code and tests find it. Assistive tools read
// what a sighted learner reads there: its hint, which becomes its accessible name. The hint pops up over the
// control only where the layout shows it.
enum class HintShown { No, Yes };

inline void Identify(QWidget *control, const QString &name, const QString &hint = QString(),
                     HintShown shown = HintShown::No)
{
    control->setObjectName(name);
    control->setProperty("hint", hint);
    if (!hint.isEmpty())
        control->setAccessibleName(hint);
    if (shown == HintShown::Yes)
        control->setToolTip(hint);
}

// A dialog's button: its caption with its "&" mnemonic, read without the "&", and a hint that says its keys as
// well, "Commencer (Alt+C)".
inline QPushButton *DialogButton(QWidget *window, const QString &name, const QString &caption, const QString &keys)
{
    auto *button = new QPushButton(caption, window);
    const QString plain = QString(caption).remove(QLatin1Char('&'));
    Identify(button, name, plain);
    button->setToolTip(plain + QStringLiteral(" (") + keys + QLatin1Char(')'));
    return button;
}
