#include "platform/controls/TutorApplication.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "platform/dialogs/ErrorBox.h"
#include "platform/drawing/Fonts.h"

namespace {

constexpr char NoSharedImages[] = "QT_XCB_NO_MITSHM";
bool g_sharedImagesSwitchedOff = false;

// On an X server, repaints go with their request rather than through shared memory. The program's repaints are
// small and frequent (an animation's few changed pixels, a key's marks); through shared memory each one first
// waits for the server to have read the one before, a round trip that costs far more than sending the pixels.
// A setting of the learner's own is kept.
int &SendingImagesWithTheirRequests(int &argc)
{
    g_sharedImagesSwitchedOff = !qEnvironmentVariableIsSet(NoSharedImages);
    if (g_sharedImagesSwitchedOff)
        qputenv(NoSharedImages, "1");
    return argc;
}

} // namespace

TutorApplication::TutorApplication(int &argc, char **argv) : QApplication(SendingImagesWithTheirRequests(argc), argv)
{
    // The connection to the server has read it; programs started from here (the help's browser) start as usual.
    if (g_sharedImagesSwitchedOff)
        qunsetenv(NoSharedImages);
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
