#include <benchmark/benchmark.h>

#include <string>

#include "owntext/OwnText.h"

// A text the learner brings, from its bytes to the lines they type: a megabyte of French prose with typographic
// quotes, apostrophes, dashes and ligatures, saved as UTF-8 or as Windows-1252, for the French AZERTY keyboard.

namespace {

// What the French AZERTY keyboard gives: printable ASCII and the accented letters and signs of its keys and dead
// keys; not œ, the guillemets, the typographic apostrophe, the dash or the ellipsis.
bool Azerty(char32_t c)
{
    static const std::u32string others = U"éèàùçâêîôûäëïöüÿÀÈÙÂÊÎÔÛÄËÏÖÜ£§°²µ¤¨";
    return (c >= 0x20 && c < 0x7F) || others.find(c) != std::u32string::npos;
}

// About a megabyte of paragraphs; in Windows-1252 the same characters as single bytes.
std::string FrenchText(bool windows1252)
{
    const std::string paragraph =
        "\u00AB\u00A0Il était une fois\u2026\u00A0\u00BB\u00A0: l\u2019\u0153uvre de l\u2019écrivain, née d\u2019un "
        "c\u0153ur ému, reçut çà et là des éloges \u2014 même à l\u2019étranger, où l\u2019on goûta sa prose\u00A0; "
        "puis la foule s\u2019éprit de ses contes, qu\u2019on lisait à voix haute, le soir, près de la cheminée. "
        "Noël venu, les enfants réclamaient l\u2019histoire du bœuf et de l\u2019âne, et l\u2019aïeule, "
        "fidèle à sa manière, la reprenait depuis le début.\n";
    std::string text;
    while (text.size() < 1024 * 1024)
        text += paragraph;
    if (!windows1252)
        return text;
    const owntext::Decoded decoded = owntext::Decode(text);
    std::string bytes;
    for (const char32_t c : decoded.Text) {
        switch (c) {
        case 0x2019: bytes += '\x92'; break;
        case 0x2026: bytes += '\x85'; break;
        case 0x2014: bytes += '\x97'; break;
        case 0x0153: bytes += '\x9C'; break;
        default: bytes += static_cast<char>(c); // Latin-1
        }
    }
    return bytes;
}

void BM_ImportOwnText(benchmark::State &state)
{
    const std::string bytes = FrenchText(state.range(0) == 1);
    std::size_t lines = 0;
    for (auto _ : state) {
        const owntext::Decoded decoded = owntext::Decode(bytes);
        const owntext::Conversion conversion = owntext::MakeTypeable(decoded.Text, Azerty);
        lines = owntext::CutLines(conversion.Text).size();
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_ImportOwnText)->ArgName("windows1252")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
