// What the program costs the machine while nobody types: the processor time it uses over 10 s sitting on the
// main window, and over the 10 s of a demonstration, which spends nearly all its time waiting between keys.
// Both should stay near zero: nothing in the program may spin. The scrolling text at its fastest speed moves
// every 5 ms and should stay well under a quarter of a core.
// With an X server (DISPLAY set, as under xvfb-run) it runs there as the learner's program does, each repaint
// also sent to the server; without one, on the offscreen platform.

#include <algorithm>
#include <cstdio>
#include <ctime>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include "app/TMain.h"
#include "platform/controls/TBitBtn.h"
#include "platform/controls/TDXTimer.h"
#include "platform/controls/TSpinEdit.h"
#include "platform/controls/TutorApplication.h"
#include "platform/drawing/TDXDraw.h"
#include "stats/TStatistiques.h"
#include "support/ScriptedDialogs.h"

namespace {

double ProcessorSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void Report(const char *what, double processor, double wall, double goalPercent)
{
    std::printf("%s: %.3f s of processor time in %.1f s, %.2f %% of one core (goal: at most %.1f %%)\n", what,
                processor, wall, 100.0 * processor / wall, goalPercent);
}

} // namespace

int main(int argc, char **argv)
{
    // Qt tries the platforms in turn: an X server that cannot be reached leaves the offscreen one.
    qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("DISPLAY") ? "offscreen" : "xcb;offscreen");
    qputenv("ALSOFT_DRIVERS", "null");
    TutorApplication application(argc, argv);
    std::printf("on the %s platform\n", qPrintable(QGuiApplication::platformName()));

    QTemporaryDir folder;
    QDir(folder.path()).mkdir(QStringLiteral("Dictees"));
    QFile lesson(folder.path() + QStringLiteral("/Dictees/Level4.dll"));
    lesson.open(QIODevice::WriteOnly);
    // About ten seconds of demonstration at one key every 100 ms.
    lesson.write(
        QByteArray("Le garcon de Lea joue au ballon dans le jardin, puis il se repose pres de la fontaine. Fin.\r\n"));
    lesson.close();
    QFile scrolling(folder.path() + QStringLiteral("/Dictees/Level3.dll"));
    scrolling.open(QIODevice::WriteOnly);
    scrolling.write(QByteArray("Le vent du soir pousse les nuages au-dessus des collines et des champs de ble.\r\n"));
    scrolling.close();

    // The learner answers the name prompt, and every box and window closes at once.
    ScriptedDialogs learner;
    learner.Answer = QStringLiteral("Mesure");
    TMain main(folder.path() + QLatin1Char('/'), learner);
    TStatistiques statistics(&main);
    main.Statistiques = &statistics;
    main.show();
    main.activateWindow();

    // Let the start settle, then sit still.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);

    double processor = ProcessorSeconds();
    QElapsedTimer wall;
    wall.start();
    QTimer::singleShot(10000, Qt::PreciseTimer, &application, [] { QCoreApplication::exit(0); });
    application.exec();
    Report("sitting on the main window", ProcessorSeconds() - processor, static_cast<double>(wall.elapsed()) / 1000,
           0.5);

    processor = ProcessorSeconds();
    wall.restart();
    main.BoutonAutoClick();
    Report("during the demonstration", ProcessorSeconds() - processor, static_cast<double>(wall.elapsed()) / 1000, 0.5);

    main.SpinEdit1->setValue(7);
    main.BoutonDifficileClick();
    int ticks = 0;
    auto tick = main.Timer1->OnTimer;
    main.Timer1->OnTimer = [&](int lag) {
        ++ticks;
        tick(lag);
    };
    processor = ProcessorSeconds();
    wall.restart();
    QTimer::singleShot(5000, Qt::PreciseTimer, &application, [] { QCoreApplication::exit(0); });
    application.exec();
    Report("scrolling text at speed 7", ProcessorSeconds() - processor, static_cast<double>(wall.elapsed()) / 1000, 25);
    std::printf("  %d ticks, one every %.1f ms\n", ticks, static_cast<double>(wall.elapsed()) / std::max(ticks, 1));
    return 0;
}
