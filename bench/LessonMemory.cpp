// What an hour of practice does to the program's memory: 200 training lessons typed through the engine, each
// finished, charted and saved, with the cues on and the key names read, and the resident memory printed every 50.
// Nothing may grow once the first lessons have warmed what is read on first need.

#include <cstdio>
#include <string>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include "BenchSupport.h"
#include "platform/controls/TutorApplication.h"
#include "windows/TLineSeries.h"

int main(int argc, char **argv)
{
    // The sound library as the program sets it up, from the program folder's configuration.
    bench::Headless(TUTOR_SOUND_CONF);
    TutorApplication application(argc, argv);

    QTemporaryDir folder;
    const std::string line = "Le Gar\xE7on joue pr\xE8s de la fen\xEAtre, puis il d\xEEne.";
    bench::WriteLesson(folder.path(), 1, QByteArray::fromStdString(line + "\r\n"));
    bench::LearnerWindow window(folder.path());
    TMain &main = window.Main;
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
                bench::ResidentKb());
    for (int n = 1; n <= 200; ++n) {
        main.BoutonFacileClick();
        for (const char c : line) {
            char key = c;
            main.EditTextKeyPress(key);
        }
        QApplication::processEvents();
        if (n % 50 == 0) {
            const long resident = bench::ResidentKb();
            std::printf("  after %d: %ld kB\n", n, resident);
            if (n == 50)
                at50 = resident;
            else if (n == 200)
                std::printf("growth from lesson 50 to 200: %ld kB (goal: none beyond noise, under 512 kB)\n",
                            resident - at50);
        }
    }
    return window.Main.Statistiques().Series1->Count() == 200 ? 0 : 1;
}
