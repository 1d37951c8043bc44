#include <chrono>
#include <thread>

#include <benchmark/benchmark.h>

#include "assets/EmbeddedAssets.h"
#include "audio/TDXWaveList.h"
#include "platform/sound/TDXSound.h"

namespace {

// The correct-key cue as the engine plays it: the time until the call returns, and (manual time) until the
// mixer has taken the first samples of the voice, which is when they leave for the output. The cue is
// stopped between runs, so each play reuses the one voice.
struct CueBench {
    CueBench() : List(&Output) { List.Add(QStringLiteral("Type.wav"), assets::Wave(QStringLiteral("Type.wav"))); }
    // The cue, or null (the benchmark skipped) where no output opens.
    TDXWaveList::Item *Cue(benchmark::State &state)
    {
        if (Output.Initialized())
            return &List.Items(0);
        state.SkipWithError("no sound output");
        return nullptr;
    }
    TDXSound Output;
    TDXWaveList List;
};

void BM_PlayCueReturn(benchmark::State &state)
{
    CueBench bench;
    TDXWaveList::Item *cue = bench.Cue(state);
    if (!cue)
        return;
    for (auto _ : state) {
        cue->Play(false);
        state.PauseTiming();
        cue->Stop();
        state.ResumeTiming();
    }
    state.counters["voices"] = static_cast<double>(cue->Voice.size());
}
BENCHMARK(BM_PlayCueReturn)->Unit(benchmark::kMicrosecond);

void BM_PlayCueFirstSampleMixed(benchmark::State &state)
{
    CueBench bench;
    TDXWaveList::Item *cue = bench.Cue(state);
    if (!cue)
        return;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        cue->Play(false);
        while (cue->Voice.front()->Position() == 0 && cue->Voice.front()->Playing())
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        cue->Stop();
    }
}
BENCHMARK(BM_PlayCueFirstSampleMixed)->UseManualTime()->Iterations(50)->Unit(benchmark::kMillisecond);

} // namespace
