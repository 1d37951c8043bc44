#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include <unistd.h>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>

#include "BenchSupport.h"
#include "lesson/TypingSession.h"
#include "windows/TMain.h"

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

// The guide's cost unit: the keyboard surface's pixels (632 x 248, 32-bit) copied once, as plain memory.
void BM_KeyboardSurfaceCopy(benchmark::State &state)
{
    QImage from(632, 248, QImage::Format_RGB32);
    from.fill(Qt::gray);
    QImage to(632, 248, QImage::Format_RGB32);
    for (auto _ : state) {
        std::memcpy(to.bits(), from.constBits(), static_cast<std::size_t>(from.sizeInBytes()));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_KeyboardSurfaceCopy)->Unit(benchmark::kMicrosecond);

// A training line of the usual length (about a hundred characters) with every kind of guide: plain letters,
// capitals with their Shift markers, circumflex vowels with the dead-key marker, digits, punctuation and
// spaces with both thumbs. Windows-1252.
const char MixedLine[] = "Le Chat de Pierre mange une t\xEAte de poisson, puis il dort. La f\xEAte de No\xEBl "
                         "a 12 invit\xE9s ? Oui.";

// One key as the learner types it: judged, target line and keyboard guide redrawn and presented, counters shown.
void BM_EditTextKeyPress(benchmark::State &state)
{
    QTemporaryDir dir;
    bench::WriteLesson(dir.path(), 1, QByteArray(MixedLine) + "\r\n");
    const int last = static_cast<int>(std::strlen(MixedLine));
    TMain main(dir.path());
    main.BoutonFacileClick();
    for (auto _ : state) {
        char key = static_cast<char>(main.Session().CharacterAtCursor());
        main.EditTextKeyPress(key);
        // The last character would end the lesson with its results window: the line starts again before it.
        if (main.Session().Cursor >= last) {
            state.PauseTiming();
            main.BoutonFacileClick();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_EditTextKeyPress)->Unit(benchmark::kMicrosecond);

// The console report, followed by the key's cost in copies of the keyboard surface, both taken from this run
// (their medians when repeated): the two figures only mean something measured side by side on the same machine.
class KeyCostReporter : public benchmark::ConsoleReporter
{
public:
    using ConsoleReporter::ConsoleReporter;

    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.error_occurred)
                continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Aggregate && !median)
                continue;
            const double microseconds =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e6;
            Keep(run.run_name.function_name, microseconds, median);
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        if (m_key.Microseconds <= 0 || m_copy.Microseconds <= 0)
            return;
        char line[128];
        std::snprintf(line, sizeof line,
                      "a key: %.1f \u00b5s, %.1f times a plain copy of the keyboard surface (goal: at most 4)\n",
                      m_key.Microseconds, m_key.Microseconds / m_copy.Microseconds);
        GetOutputStream() << line << std::flush;
    }

private:
    struct Figure {
        double Microseconds = 0;
        bool FromMedian = false;
    };

    // A median wins over the single repetitions it sums up.
    void Keep(const std::string &name, double microseconds, bool median)
    {
        Figure *figure = name == "BM_EditTextKeyPress" ? &m_key : name == "BM_KeyboardSurfaceCopy" ? &m_copy : nullptr;
        if (!figure || (figure->FromMedian && !median))
            return;
        *figure = {microseconds, median};
    }

    Figure m_key;
    Figure m_copy;
};

} // namespace

int main(int argc, char **argv)
{
    bench::Headless(TUTOR_SOUND_CONF);
    // Another format asked for gets the library's own report, without the summary line. The flag is read
    // before the library takes its flags out of the arguments.
    bool console = true;
    for (int i = 1; i < argc; ++i)
        console = console && (std::strncmp(argv[i], "--benchmark_format=", 19) != 0 ||
                              std::strcmp(argv[i], "--benchmark_format=console") == 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    KeyCostReporter reporter(isatty(fileno(stdout)) ? benchmark::ConsoleReporter::OO_ColorTabular
                                                    : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(console ? &reporter : nullptr);
    benchmark::Shutdown();
    return 0;
}
