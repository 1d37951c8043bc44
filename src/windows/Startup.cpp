#include "windows/Startup.h"

#include <cstdio>

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include "assets/EmbeddedAssets.h"
#include "platform/controls/TutorApplication.h"
#include "platform/dialogs/ErrorBox.h"
#include "platform/text/ProgramPlaces.h"
#include "platform/text/TutorError.h"
#include "windows/TMain.h"
#include "windows/TSplash.h"

TutorWindows::TutorWindows() = default;

TutorWindows::~TutorWindows()
{
    // The splash goes before the main window it belongs with.
    Splash.reset();
    Main.reset();
}

namespace {

// With TUTOR_STARTUP_PROBE set, the program measures its own start: once the splash has been shown and painted
// it prints the time since the program began and ends, as if the learner had quit.
void ProbeStartup(TSplash &splash, ProgramEnd &end, const QElapsedTimer &sinceStart)
{
    if (!qEnvironmentVariableIsSet("TUTOR_STARTUP_PROBE"))
        return;
    QTimer::singleShot(0, &splash, [&splash, &end, &sinceStart] {
        splash.repaint();
        std::printf("splash shown after %.1f ms\n", static_cast<double>(sinceStart.nsecsElapsed()) / 1e6);
        std::fflush(stdout);
        end.Request();
        splash.accept();
    });
}

} // namespace

void CreateWindows(TutorWindows &windows, const QString &programFolder)
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    // The main window comes first; its controls are built while the splash is on screen, or once it has closed
    // if it closed sooner.
    windows.Main = std::make_unique<TMain>(TMain::Unbuilt{}, programFolder);
    windows.Splash = std::make_unique<TSplash>();
    ProbeStartup(*windows.Splash, windows.Main->End, sinceStart);
    TMain &main = *windows.Main;
    windows.Splash->ShowModal([&main] { main.Build(); });
    main.Build();
}

int RunTutor(int argc, char **argv)
{
    TutorApplication application(argc, argv);
    application.LoadFrenchTranslations();
    // The sound library reads its settings beside the executable only; installed, they are with the other files.
    const QString soundSettings =
        places::FilesFolder(QCoreApplication::applicationDirPath()) + QStringLiteral("alsoft.conf");
    if (qEnvironmentVariableIsEmpty("ALSOFT_CONF") && QFileInfo::exists(soundSettings))
        qputenv("ALSOFT_CONF", QFile::encodeName(soundSettings));
    // A picture or sound of the program that cannot be read stops the start in the error box, not in a crash.
    try {
        TutorWindows windows;
        CreateWindows(windows);
        if (windows.Main->End.Requested())
            return 0;
        // Every embedded file the windows need has been read.
        assets::LetGoOfStoredBytes();
        windows.Main->show();
        return application.exec();
    } catch (const TutorError &error) {
        errorbox::Show(nullptr, error.Text());
        return 1;
    }
}
