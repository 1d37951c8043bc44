#pragma once

#include <memory>

#include <QString>

class TMain;
class TSplash;

// The program's windows, created once in a fixed order and kept until the program ends; the main window makes its
// statistics window with its controls.
struct TutorWindows {
    std::unique_ptr<TMain> Main;
    std::unique_ptr<TSplash> Splash;
    TutorWindows();
    ~TutorWindows();
};

// The start-up sequence up to the message loop: the main window created (and hidden), the splash shown modally
// until its picture is clicked, the main window's controls built meanwhile. An empty folder stands for the program's
// own.
void CreateWindows(TutorWindows &windows, const QString &programFolder = QString());

// The program: the application, the windows, then the message loop until the learner quits.
int RunTutor(int argc, char **argv);
