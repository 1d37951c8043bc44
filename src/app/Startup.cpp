#include "app/Startup.h"

#include "app/TMain.h"
#include "platform/TutorApplication.h"

int RunTutor(int argc, char **argv)
{
    TutorApplication application(argc, argv);
    application.LoadFrenchTranslations();
    TMain Main;
    Main.show();
    return application.exec();
}
