#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/TMain.h"
#include "app/TypingSession.h"

namespace {

// The rules alone: one correct character judged.
void BM_JudgeKey(benchmark::State &state)
{
    TypingSession session;
    session.PracticeMode = Practice::Training;
    session.TargetText = std::string(1 << 20, 'a');
    for (auto _ : state) {
        benchmark::DoNotOptimize(JudgeKey(session, 'a', true));
        if (session.FullyTyped())
            session.Cursor = 1, session.TypedText.clear();
    }
}
BENCHMARK(BM_JudgeKey);

// One key as the learner types it: judged, target line and keyboard guide redrawn and presented, counters shown.
void BM_EditTextKeyPress(benchmark::State &state)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("Dictees"));
    QFile lesson(dir.path() + QStringLiteral("/Dictees/Level1.dll"));
    lesson.open(QIODevice::WriteOnly);
    // A lesson line of the usual length: about a hundred characters.
    lesson.write(QByteArray(100, 'a') + "\r\n");
    lesson.close();
    TMain main(dir.path());
    main.BoutonFacileClick();
    for (auto _ : state) {
        char key = 'a';
        main.EditTextKeyPress(key);
        if (main.Session().Cursor > 99) {
            state.PauseTiming();
            main.BoutonFacileClick();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_EditTextKeyPress)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("ALSOFT_CONF"))
        qputenv("ALSOFT_CONF", TUTOR_SOUND_CONF);
    if (qEnvironmentVariableIsEmpty("ALSOFT_DRIVERS"))
        qputenv("ALSOFT_DRIVERS", "null");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
