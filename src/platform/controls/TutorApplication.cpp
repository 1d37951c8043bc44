#include "platform/controls/TutorApplication.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "platform/dialogs/ErrorBox.h"
#include "platform/drawing/Fonts.h"

TutorApplication::TutorApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    InstallFontSubstitutes();
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
}

bool TutorApplication::notify(QObject *receiver, QEvent *event)
{
    bool handled = false;
    errorbox::Guarded(receiver, [&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

void TutorApplication::LoadFrenchTranslations()
{
    auto *translator = new QTranslator(this);
    if (translator->load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
    else
        delete translator;
}
