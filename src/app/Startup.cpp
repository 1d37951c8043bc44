#include "app/Startup.h"

#include "app/TMain.h"
#include "assets/TSplash.h"
#include "platform/ErrorBox.h"
#include "platform/TutorApplication.h"
#include "platform/TutorError.h"
#include "stats/TStatistiques.h"

TutorWindows::TutorWindows() = default;

TutorWindows::~TutorWindows()
{
    // The statistics window and the splash go before the main window they belong with.
    Statistiques.reset();
    Splash.reset();
    Main.reset();
}

void CreateWindows(TutorWindows &windows, const QString &programFolder)
{
    windows.Main = std::make_unique<TMain>(programFolder);
    windows.Splash = std::make_unique<TSplash>();
    windows.Splash->ShowModal();
    windows.Statistiques = std::make_unique<TStatistiques>(windows.Main.get());
    windows.Main->Statistiques = windows.Statistiques.get();
}

int RunTutor(int argc, char **argv)
{
    TutorApplication application(argc, argv);
    application.LoadFrenchTranslations();
    // A picture or sound of the program that cannot be read stops the start in the error box, not in a crash.
    try {
        TutorWindows windows;
        CreateWindows(windows);
        windows.Main->show();
        return application.exec();
    } catch (const TutorError &error) {
        errorbox::Show(error.Text());
        return 1;
    }
}
