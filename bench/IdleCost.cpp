// What the program costs the machine while nobody types: the processor time it uses over 10 s sitting on the
// main window, and over the 10 s of a demonstration, which spends nearly all its time waiting between keys. The
// same keys are then typed at the same pace from the message loop, as a learner's keys come: what the
// demonstration costs beyond that is the cost of its waits, which should be as cheap as the loop's own. Nothing
// in the program may spin. The scrolling text at its fastest speed moves every 5 ms and should stay well under a
// quarter of a core.
// With an X server (DISPLAY set, as under xvfb-run) it runs there as the learner's program does, each repaint
// also sent to the server; without one, on the offscreen platform.

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include "BenchSupport.h"
#include "keysend/SystemKeyPlatform.h"
#include "platform/controls/TBitBtn.h"
#include "platform/controls/TDXTimer.h"
#include "platform/controls/TSpinEdit.h"
#include "platform/controls/TutorApplication.h"
#include "platform/drawing/TDXDraw.h"

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
    // About ten seconds of demonstration at one key every 100 ms.
    const QByteArray text(
        "Le garcon de Lea joue au ballon dans le jardin, puis il se repose pres de la fontaine. Fin.");
    bench::WriteLesson(folder.path(), 4, text + "\r\n");
    bench::WriteLesson(folder.path(), 1, text + "X\r\n"); // one more character, so that the lesson does not end
    bench::WriteLesson(folder.path(), 3,
                       "Le vent du soir pousse les nuages au-dessus des collines et des champs de ble.\r\n");
    bench::LearnerWindow window(folder.path());
    TMain &main = window.Main;

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
    const double demonstration =
        100.0 * (ProcessorSeconds() - processor) / (static_cast<double>(wall.elapsed()) / 1000);
    std::printf("during the demonstration: %.2f %% of one core, typing %d keys in %.1f s\n", demonstration,
                static_cast<int>(text.size()), static_cast<double>(wall.elapsed()) / 1000);

    // The same keys into the training line, twice through the same sender with the sound off: first with the
    // sender's own 100 ms waits, as the demonstration types, then each key sent from the message loop every
    // 100 ms without a wait. The difference is what the waits cost.
    main.BoutonSon->SetTag(0);
    const std::string keys = text.toStdString();
    main.BoutonFacileClick();
    processor = ProcessorSeconds();
    wall.restart();
    main.SendKeys(keys, true);
    const double waiting = 100.0 * (ProcessorSeconds() - processor) / (static_cast<double>(wall.elapsed()) / 1000);

    main.BoutonFacileClick();
    SystemKeyPlatform::Pause noPause = [](double) {};
    std::size_t sent = 0;
    QTimer pace;
    pace.setTimerType(Qt::PreciseTimer);
    pace.setInterval(100);
    QObject::connect(&pace, &QTimer::timeout, &application, [&] {
        if (sent == keys.size()) {
            QCoreApplication::exit(0);
            return;
        }
        keysend::SendKeys(keys.substr(sent++, 1), false, main.Keyboard, main.End, noPause);
    });
    processor = ProcessorSeconds();
    wall.restart();
    pace.start();
    application.exec();
    pace.stop();
    const double looping = 100.0 * (ProcessorSeconds() - processor) / (static_cast<double>(wall.elapsed()) / 1000);
    std::printf("the same keys in the training line: %.2f %% of one core with the sender's waits, %.2f %% sent from "
                "the message loop\n",
                waiting, looping);
    std::printf("the demonstration's waits: %.2f %% of one core beyond the message loop's (goal: at most 0.5 %%)\n",
                waiting - looping);

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
