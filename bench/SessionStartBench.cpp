// What the windows pay to start something for the learner: a session of their own text, another keyboard.
#include <string>

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "BenchSupport.h"
#include "windows/TMain.h"

namespace {

// A session of a learner's text of 1 Mo, from the click on "Commencer" to its first line shown: the text read
// from the learner's folder and cut into lines, its eight lines taken from the middle, the lesson started.
void BM_StartOwnTextSession(benchmark::State &state)
{
    QTemporaryDir dir;
    bench::LearnerWindow window(dir.path());
    // The learner is identified once the window is first active.
    for (int wait = 0; wait < 200 && window.Main.UserName().isEmpty(); ++wait)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    std::string text;
    const std::string paragraph = "Il était une fois, dans une forêt où l'été durait longtemps, une fête que "
                                  "personne n'oubliait ; les enfants y chantaient à tue-tête.";
    while (text.size() < (std::size_t(1) << 20) - paragraph.size() - 1)
        text += paragraph + '\n';
    Learner &learner = window.Main.LearnerRecords();
    learner.LoadTexts();
    const std::string file = learner.AddText("Une forêt", text).File;
    const std::size_t middle = learner.Texts.Find(file)->Lines / 2;
    for (auto _ : state)
        window.Main.StartOwnText(file, middle);
    state.counters["lines"] = static_cast<double>(learner.Texts.Find(file)->Lines);
}
BENCHMARK(BM_StartOwnTextSession)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// What a learner of another keyboard adds to the start once identified: that keyboard's picture, key places, guide
// and course taken up, and the guide drawn again; then the French AZERTY back.
void BM_UseKeyboard(benchmark::State &state)
{
    QTemporaryDir dir;
    TMain main(dir.path() + QLatin1Char('/'));
    const auto layout = static_cast<layouts::Layout>(state.range(0));
    for (auto _ : state) {
        main.UseKeyboard(layout);
        state.PauseTiming();
        main.UseKeyboard(layouts::Layout::FrenchAzerty);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_UseKeyboard)
    ->Arg(int(layouts::Layout::Bepo))
    ->Arg(int(layouts::Layout::SwissFrench))
    ->Unit(benchmark::kMillisecond);

} // namespace
