#include "app/Startup.h"

#include "app/TMain.h"
#include "platform/ErrorBox.h"
#include "platform/TutorApplication.h"
#include "platform/TutorError.h"
#include "stats/TStatistiques.h"

int RunTutor(int argc, char **argv)
{
    TutorApplication application(argc, argv);
    application.LoadFrenchTranslations();
    // A picture or sound of the program that cannot be read stops the start in the error box, not in a crash.
    try {
        TMain Main;
        TStatistiques Statistiques(&Main);
        Main.Statistiques = &Statistiques;
        Main.show();
        return application.exec();
    } catch (const TutorError &error) {
        errorbox::Show(error.Text());
        return 1;
    }
}
