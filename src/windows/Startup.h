#pragma once

#include <memory>

#include <QString>

class TMain;
class TSplash;
class TStatistiques;

// The program's three windows, created once in a fixed order and kept until the program ends.
struct TutorWindows {
    std::unique_ptr<TMain> Main;
    std::unique_ptr<TSplash> Splash;
    std::unique_ptr<TStatistiques> Statistiques;
    TutorWindows();
    ~TutorWindows();
};

// The start-up sequence up to the message loop: the main window created (and hidden), the splash shown modally
// until its picture is clicked, then the statistics window. An empty folder stands for the program's own.
void CreateWindows(TutorWindows &windows, const QString &programFolder = QString());

// The program: the application, the windows, then the message loop until the learner quits.
int RunTutor(int argc, char **argv);
