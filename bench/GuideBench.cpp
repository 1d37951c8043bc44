#include <string>

#include <benchmark/benchmark.h>

#include "assets/AssetNames.h"
#include "assets/EmbeddedAssets.h"
#include "guide/KeyMap.h"
#include "guide/KeyboardGuide.h"
#include "guide/TargetLine.h"
#include "platform/drawing/TDXDraw.h"
#include "platform/drawing/TDXImageList.h"

namespace {

struct GuideBench {
    GuideBench() : Surface(nullptr, QSize(632, 248))
    {
        for (const char *name : assets::names::HandPictures)
            Pictures.Add(QLatin1String(name), 0xFFFFFF, assets::Bitmap(QLatin1String(name)));
        const QLatin1String keyboard(assets::names::KeyboardPicture);
        Pictures.Add(keyboard, 0, assets::Bitmap(keyboard));
        Centres.Fill();
    }
    TDXDraw Surface;
    TDXImageList Pictures;
    keymap::KeyCentres Centres;
};

// A whole guide and its present: the keyboard, two Shift markers, the outline and the hand. The argument is
// the hand opacity; 255 copies, anything less blends.
void BM_DrawKeyboardGuide(benchmark::State &state)
{
    GuideBench bench;
    const int opacity = static_cast<int>(state.range(0));
    for (auto _ : state) {
        DrawKeyboardGuide(bench.Surface, bench.Pictures, bench.Centres, 'A', opacity);
        bench.Surface.Flip();
    }
}
BENCHMARK(BM_DrawKeyboardGuide)->Arg(204)->Arg(255)->Unit(benchmark::kMicrosecond);

// The heaviest guide: both thumbs blended, for the space bar.
void BM_DrawKeyboardGuideSpace(benchmark::State &state)
{
    GuideBench bench;
    for (auto _ : state) {
        DrawKeyboardGuide(bench.Surface, bench.Pictures, bench.Centres, ' ', 204);
        bench.Surface.Flip();
    }
}
BENCHMARK(BM_DrawKeyboardGuideSpace)->Unit(benchmark::kMicrosecond);

// One redraw of a 60-character target line with half of it typed.
void BM_DrawTargetLine(benchmark::State &state)
{
    TDXDraw surface(nullptr, QSize(705, 33));
    const std::string target = "Le petit chat boit du lait dans la cuisine, puis il s'endort";
    const std::string typed = target.substr(0, 30);
    for (auto _ : state)
        DrawTargetLine(surface, typed, target);
}
BENCHMARK(BM_DrawTargetLine)->Unit(benchmark::kMicrosecond);

// The guide as the window keeps it from key to key: only what changes is drawn again and painted. A run of
// characters of every kind; each iteration is one key.
void BM_KeyboardGuideKeyByKey(benchmark::State &state)
{
    GuideBench bench;
    KeyboardGuide guide(bench.Surface, bench.Pictures, bench.Centres);
    const std::string keys = "Le Chat de Pierre mange une t\xEAte de poisson, puis il dort ? 12 f\xEAtes.";
    std::size_t next = 0;
    for (auto _ : state) {
        guide.Draw(static_cast<unsigned char>(keys[next]), 204);
        guide.Present();
        next = (next + 1) % keys.size();
    }
}
BENCHMARK(BM_KeyboardGuideKeyByKey)->Unit(benchmark::kMicrosecond);

// The target line as the window keeps it from key to key: a 60-character line typed through, then again.
void BM_TargetLineKeyByKey(benchmark::State &state)
{
    TDXDraw surface(nullptr, QSize(705, 33));
    TargetLine line(surface);
    const std::string target = "Le petit chat boit du lait dans la cuisine, puis il s'endort";
    std::size_t typed = 0;
    for (auto _ : state) {
        if (typed == 0)
            line.DrawFirstLine(target);
        else
            line.Draw(target.substr(0, typed), target);
        typed = (typed + 1) % (target.size() + 1);
    }
}
BENCHMARK(BM_TargetLineKeyByKey)->Unit(benchmark::kMicrosecond);

} // namespace
