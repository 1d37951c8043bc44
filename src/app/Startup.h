#pragma once

// The program: the application, the main window, then the message loop until the learner quits.
int RunTutor(int argc, char **argv);
