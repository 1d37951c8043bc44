// What an hour of practice does to the program's memory: 200 training lessons typed through the engine, each
// finished, charted and saved, with the cues on and the key names read, and the resident memory printed every 50.
// Nothing may grow once the first lessons have warmed what is read on first need.

#include <cstdio>
#include <fstream>
#include <string>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include "app/TMain.h"
#include "platform/controls/TutorApplication.h"
#include "stats/TLineSeries.h"
#include "stats/TStatistiques.h"
#include "support/ScriptedDialogs.h"

namespace {

long ResidentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The sound library as the program sets it up, from the program folder's configuration.
    if (qEnvironmentVariableIsEmpty("ALSOFT_CONF"))
        qputenv("ALSOFT_CONF", TUTOR_SOUND_CONF);
    if (qEnvironmentVariableIsEmpty("ALSOFT_DRIVERS"))
        qputenv("ALSOFT_DRIVERS", "null");
    TutorApplication application(argc, argv);

    QTemporaryDir folder;
    QDir(folder.path()).mkdir(QStringLiteral("Dictees"));
    QFile lesson(folder.path() + QStringLiteral("/Dictees/Level1.dll"));
    lesson.open(QIODevice::WriteOnly);
    const std::string line = "Le Gar\xE7on joue pr\xE8s de la fen\xEAtre, puis il d\xEEne.";
    lesson.write((line + "\r\n").c_str());
    lesson.close();

    // The learner answers the name prompt, and every box and window closes at once.
    ScriptedDialogs learner;
    learner.Answer = QStringLiteral("Mesure");
    TMain main(folder.path() + QLatin1Char('/'), learner);
    TStatistiques statistics(&main);
    main.Statistiques = &statistics;
    main.show();
    main.activateWindow();
    QApplication::processEvents();
    // The key names in memory as for a learner who hears them; heard, they would make the run last an hour.
    main.LoadKeyNames();
    // The animations go once round their frames, keeping what each changes, as in the first seconds of a session.
    QElapsedTimer warming;
    warming.start();
    while (warming.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);

    long at50 = 0;
    std::printf("resident memory over 200 lessons of %zu keys:\n  before the first: %ld kB\n", line.size(),
                ResidentKb());
    for (int n = 1; n <= 200; ++n) {
        main.BoutonFacileClick();
        for (const char c : line) {
            char key = c;
            main.EditTextKeyPress(key);
        }
        QApplication::processEvents();
        if (n % 50 == 0) {
            const long resident = ResidentKb();
            std::printf("  after %d: %ld kB\n", n, resident);
            if (n == 50)
                at50 = resident;
            else if (n == 200)
                std::printf("growth from lesson 50 to 200: %ld kB (goal: none beyond noise, under 512 kB)\n",
                            resident - at50);
        }
    }
    return statistics.Series1->Count() == 200 ? 0 : 1;
}
