#pragma once

// What several benchmarks share: the resident memory of a process, the headless set-up, lesson files and a main
// window whose learner answers every box at once. Header only; the parts that need the program's windows are
// compiled only where the including benchmark links them (TUTOR_BENCH_WINDOWS).

#include <fstream>
#include <string>

namespace bench {

// The resident memory of a process ("self" or a pid), in kB, as the kernel reports it; -1 when unknown.
inline long ResidentKb(const std::string &process = "self")
{
    std::ifstream status("/proc/" + process + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

} // namespace bench

#ifdef TUTOR_BENCH_WINDOWS

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include "support/ScriptedDialogs.h"
#include "windows/TMain.h"
#include "windows/TStatistiques.h"

namespace bench {

// Headless unless told otherwise: no display, the sound library's silent output with the program's settings.
inline void Headless(const char *soundSettings)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("ALSOFT_CONF"))
        qputenv("ALSOFT_CONF", soundSettings);
    if (qEnvironmentVariableIsEmpty("ALSOFT_DRIVERS"))
        qputenv("ALSOFT_DRIVERS", "null");
}

// Writes the lesson file of a level ("Dictees/Level<level>.dll") in the program folder, line ending included.
inline void WriteLesson(const QString &folder, int level, const QByteArray &bytes)
{
    QDir(folder).mkpath(QStringLiteral("Dictees"));
    QFile lesson(folder + QStringLiteral("/Dictees/Level%1.dll").arg(level));
    lesson.open(QIODevice::WriteOnly);
    lesson.write(bytes);
}

// The main window on the folder, shown and active, with its statistics window; the learner answers the name
// prompt, and every box and window closes at once.
struct LearnerWindow {
    explicit LearnerWindow(const QString &folder) : Main(folder + QLatin1Char('/'), Learner)
    {
        Main.show();
        Main.activateWindow();
    }
    struct Measuring : ScriptedDialogs {
        Measuring() { Answer = QStringLiteral("Mesure"); }
    } Learner;
    TMain Main;
};

} // namespace bench

#endif
