// What the program costs the machine while nobody types. The program starts as a learner starts it: the splash
// with its tune, which a key stops after a while, the name typed in its box, the boxes that follow answered and
// the statistics window closed. Then the processor time it uses over 10 s on the main window, in the course window
// and in "Mes touches"; over the 10 s of a demonstration, which spends nearly all its time waiting between keys,
// against the same keys typed at the same pace from the message loop; and with the scrolling text at its fastest.
// Nothing in the program may spin, and an open sound device must not mix silence while nothing sounds.
//
//   tutor_idle [--output=null|pulse]
//
// With --output=pulse the sound goes to the PulseAudio server of the environment, and the time from a key to
// its cue leaving the server is measured too: the bench records the server's monitor of its default output and
// notes the first sample of each cue, each key after seconds of silence, the first after 10 s.
// With an X server (DISPLAY set, as under xvfb-run) it runs there as the learner's program does, each repaint
// also sent to the server; without one, on the offscreen platform.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#ifdef TUTOR_BENCH_PULSE
#include <pulse/error.h>
#include <pulse/simple.h>
#endif

#include "BenchSupport.h"
#include "assets/EmbeddedAssets.h"
#include "keysend/SystemKeyPlatform.h"
#include "platform/controls/TBitBtn.h"
#include "platform/controls/TDXTimer.h"
#include "platform/controls/TSpinEdit.h"
#include "platform/controls/TutorApplication.h"
#include "platform/drawing/TDXDraw.h"
#include "windows/Startup.h"

namespace {

double ProcessorSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void RunFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// The share of one core used over `ms` of the message loop, printed with its goal.
double Measure(const char *what, int ms, double goalPercent)
{
    const double processor = ProcessorSeconds();
    QElapsedTimer wall;
    wall.start();
    RunFor(ms);
    const double seconds = static_cast<double>(wall.elapsed()) / 1000;
    const double percent = 100.0 * (ProcessorSeconds() - processor) / seconds;
    std::printf("%s: %.3f s of processor time in %.1f s, %.2f %% of one core (goal: at most %.1f %%)\n", what,
                ProcessorSeconds() - processor, seconds, percent, goalPercent);
    std::fflush(stdout);
    return percent;
}

void Press(QWidget *widget, int key, const QString &text = QString())
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(widget, &release);
}

// The learner at the start: lets the splash's tune play a while and stops it with Return, types a name into
// the box that asks for one, answers the boxes that follow with Return and closes the statistics window. The
// course and key windows are left to the bench.
class StartingLearner : public QObject
{
public:
    StartingLearner()
    {
        m_look.setInterval(50);
        QObject::connect(&m_look, &QTimer::timeout, this, [this] { Look(); });
        m_look.start();
    }
    // The bench's own look every 50 ms would be counted with what it measures.
    void Stop() { m_look.stop(); }
    void Start() { m_look.start(); }
    // Whether the statistics window has come and gone: the learner is at the main window.
    bool Identified() const { return m_identified; }

private:
    void Look()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        const QString name = modal->objectName();
        if (name == QLatin1String("Parcours") || name == QLatin1String("Touches"))
            return;
        if (name == QLatin1String("Splash")) {
            if (!m_splash.isValid())
                m_splash.start();
            if (m_splash.elapsed() >= 1500)
                Press(modal, Qt::Key_Return);
            return;
        }
        if (name == QLatin1String("Statistiques")) {
            // Closed by a click on its chart, which takes no key.
            if (auto *window = qobject_cast<QDialog *>(modal))
                window->accept();
            m_identified = true;
            return;
        }
        if (auto *field = modal->findChild<QLineEdit *>(); field && field->text().isEmpty()) {
            field->setFocus();
            for (const QChar ch : QStringLiteral("Mesure"))
                Press(field, ch.toUpper().unicode(), QString(ch));
        }
        Press(modal->focusWidget() ? modal->focusWidget() : modal, Qt::Key_Return);
    }

    QTimer m_look;
    QElapsedTimer m_splash;
    bool m_identified = false;
};

// Opens a modal window of the main window by its button's handler, measures 10 s in it and closes it.
void MeasureInWindow(const char *what, const std::function<void()> &open)
{
    QTimer::singleShot(0, [what] {
        RunFor(1000);
        Measure(what, 10000, 0.5);
        if (auto *window = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            window->reject();
    });
    open();
}

#ifdef TUTOR_BENCH_PULSE
// The server's monitor of its default output, read in blocks of about a millisecond and a half on a thread of
// its own. Once armed with a key's time, it notes when the first sample above a hundredth of full scale comes
// out of the server: the time its block was read, less the samples after it and what the server still held.
class Listener
{
public:
    Listener()
    {
        pa_sample_spec sampleFormat{};
        sampleFormat.format = PA_SAMPLE_S16LE;
        sampleFormat.rate = Rate;
        sampleFormat.channels = 1;
        pa_buffer_attr attributes{};
        attributes.maxlength = static_cast<std::uint32_t>(-1);
        attributes.fragsize = Block * 2;
        int error = 0;
        m_stream = pa_simple_new(nullptr, "tutor_idle", PA_STREAM_RECORD, "@DEFAULT_MONITOR@", "cue onset",
                                 &sampleFormat, nullptr, &attributes, &error);
        if (!m_stream) {
            std::printf("the server's output cannot be recorded (%s): no cue timing\n", pa_strerror(error));
            return;
        }
        m_thread = std::thread([this] { Read(); });
    }
    ~Listener()
    {
        m_quit = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_stream)
            pa_simple_free(m_stream);
    }
    bool Listening() const { return m_stream != nullptr; }

    // Milliseconds from `key` to the first sound, or a negative number when none came within a second.
    double HeardAfter(std::chrono::steady_clock::time_point key, const std::function<void()> &press)
    {
        m_heard = 0;
        m_armed = key.time_since_epoch().count();
        press();
        QElapsedTimer waited;
        waited.start();
        while (m_heard.load() == 0 && waited.elapsed() < 1000)
            RunFor(1);
        m_armed = 0;
        const long long heard = m_heard.load();
        return heard == 0 ? -1.0 : static_cast<double>(heard - key.time_since_epoch().count()) / 1e6;
    }

private:
    static constexpr int Rate = 44100;
    static constexpr int Block = 64;

    void Read()
    {
        std::int16_t samples[Block];
        while (!m_quit) {
            int error = 0;
            if (pa_simple_read(m_stream, samples, sizeof samples, &error) < 0)
                return;
            const long long now = std::chrono::steady_clock::now().time_since_epoch().count();
            const long long armed = m_armed.load();
            if (armed == 0 || m_heard.load() != 0)
                continue;
            for (int i = 0; i < Block; ++i) {
                if (std::abs(static_cast<int>(samples[i])) < 328)
                    continue;
                // What the server still holds for this stream came out after the block.
                int error = 0;
                const pa_usec_t held = pa_simple_get_latency(m_stream, &error);
                const long long at =
                    now - static_cast<long long>(Block - i) * 1000000000LL / Rate - static_cast<long long>(held) * 1000;
                m_heard = std::max(at, armed);
                break;
            }
        }
    }

    pa_simple *m_stream = nullptr;
    std::thread m_thread;
    std::atomic<bool> m_quit{false};
    std::atomic<long long> m_armed{0};
    std::atomic<long long> m_heard{0};
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1.0 : values[values.size() / 2];
}

// A correct key and a wrong one in turn, five of each, each after three seconds of silence and the first after
// ten, into a lesson of the training mode.
void MeasureCues(TMain &main)
{
    Listener listener;
    if (!listener.Listening())
        return;
    main.BoutonFacileClick();
    RunFor(10000);
    SystemKeyPlatform::Pause noPause = [](double) {};
    std::vector<double> correct, wrong;
    for (int i = 0; i < 10; ++i) {
        const bool right = i % 2 == 0;
        const char expected = static_cast<char>(main.Session().CharacterAtCursor());
        const char key = right ? expected : (expected == 'w' ? 'x' : 'w');
        const double ms = listener.HeardAfter(std::chrono::steady_clock::now(), [&] {
            keysend::SendKeys(std::string(1, key), false, main.Keyboard, main.End, noPause);
        });
        (right ? correct : wrong).push_back(ms);
        std::printf("  %s key after %s of silence: %.1f ms\n", right ? "correct" : "wrong", i == 0 ? "10 s" : "3 s",
                    ms);
        RunFor(3000);
    }
    std::printf("cue onset, median of 5: correct key %.1f ms, wrong key %.1f ms (goal: at most 15 ms each)\n",
                Median(correct), Median(wrong));
}
#endif

} // namespace

int main(int argc, char **argv)
{
    const bool pulse = argc > 1 && std::strcmp(argv[1], "--output=pulse") == 0;
    // Qt tries the platforms in turn: an X server that cannot be reached leaves the offscreen one.
    qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("DISPLAY") ? "offscreen" : "xcb;offscreen");
    qputenv("ALSOFT_DRIVERS", pulse ? "pulse" : "null");
    qputenv("ALSOFT_CONF", TUTOR_SOUND_CONF);
    TutorApplication application(argc, argv);
    std::printf("on the %s platform, sound to the %s output\n", qPrintable(QGuiApplication::platformName()),
                pulse ? "PulseAudio" : "silent");

    QTemporaryDir folder;
    // About ten seconds of demonstration at one key every 100 ms.
    const QByteArray text(
        "Le garcon de Lea joue au ballon dans le jardin, puis il se repose pres de la fontaine. Fin.");
    bench::WriteLesson(folder.path(), 4, text + "\r\n");
    bench::WriteLesson(folder.path(), 1, text + "X\r\n"); // one more character, so that the lesson does not end
    bench::WriteLesson(folder.path(), 3,
                       "Le vent du soir pousse les nuages au-dessus des collines et des champs de ble.\r\n");

    StartingLearner learner;
    TutorWindows windows;
    CreateWindows(windows, folder.path() + QLatin1Char('/'));
    assets::LetGoOfStoredBytes();
    TMain &main = *windows.Main;
    main.show();
    // Started once the learner has reached the main window.
    QElapsedTimer started;
    started.start();
    while ((!learner.Identified() || QApplication::activeModalWidget()) && started.elapsed() < 30000)
        RunFor(50);
    if (!learner.Identified())
        std::printf("the start did not reach the main window in 30 s\n");
    learner.Stop();
    RunFor(1000);
    Measure("sitting on the main window after the start", 10000, 0.5);
    MeasureInWindow("sitting in the course window", [&] { main.BoutonParcoursClick(); });
    MeasureInWindow("sitting in \"Mes touches\"", [&] { main.BoutonTouchesClick(); });
    std::printf("a lesson paused: not measured, lessons have no pause yet\n");
    learner.Start();
#ifdef TUTOR_BENCH_PULSE
    if (pulse)
        MeasureCues(main);
#endif

    double processor = ProcessorSeconds();
    QElapsedTimer wall;
    wall.start();
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
    QEventLoop typing;
    QObject::connect(&pace, &QTimer::timeout, &application, [&] {
        if (sent == keys.size()) {
            typing.quit();
            return;
        }
        keysend::SendKeys(keys.substr(sent++, 1), false, main.Keyboard, main.End, noPause);
    });
    processor = ProcessorSeconds();
    wall.restart();
    pace.start();
    typing.exec();
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
    wall.restart();
    Measure("scrolling text at speed 7", 5000, 25);
    std::printf("  %d ticks, one every %.1f ms\n", ticks, static_cast<double>(wall.elapsed()) / std::max(ticks, 1));
    learner.Stop();
    return 0;
}
