#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "guide/KeyMap.h"
#include "learner/HistoryStore.h"
#include "records/KeyFigures.h"
#include "windows/TMain.h"
#include "windows/TTouches.h"

// The learner's key figures: counted at every key, saved after every lesson, shown in "Mes touches".

namespace {

// Every character of the keyboard, as a lesson asks for them.
std::string KeyboardCharacters()
{
    std::string characters;
    for (const keymap::KeyRow &row : keymap::KeyRows())
        characters += row.Characters;
    return characters;
}

// A year of practice: an hour a day at some 150 keys a minute, one key in twenty wrong.
KeyFigures FullYear()
{
    const std::string characters = KeyboardCharacters();
    KeyFigures keys;
    std::uint32_t n = 0;
    for (int day = 0; day < 365; ++day)
        for (int key = 0; key < 9000; ++key, ++n) {
            const auto expected = static_cast<unsigned char>(characters[n % characters.size()]);
            const bool wrong = n % 20 == 0;
            keys.Record(expected, static_cast<unsigned char>(characters[(n * 7) % characters.size()]), !wrong,
                        150 + n % 400);
        }
    return keys;
}

void BM_RecordKey(benchmark::State &state)
{
    const std::string characters = KeyboardCharacters();
    KeyFigures keys = FullYear();
    std::uint32_t n = 0;
    for (auto _ : state) {
        const auto expected = static_cast<unsigned char>(characters[n % characters.size()]);
        keys.Record(expected, 'q', n % 20 != 0, 200);
        ++n;
    }
    benchmark::DoNotOptimize(keys);
}
BENCHMARK(BM_RecordKey)->Unit(benchmark::kNanosecond);

// Written as at the end of a lesson: formatted, flushed to the disk, renamed over the old file.
void BM_SaveKeys(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/Touches.txt");
    const KeyFigures keys = FullYear();
    for (auto _ : state) {
        const std::string bytes = keys.Format();
        safefile::WriteFileSafely(path, bytes.data(), bytes.size());
    }
    state.counters["file_kB"] = static_cast<double>(keys.Format().size()) / 1024;
}
BENCHMARK(BM_SaveKeys)->Unit(benchmark::kMicrosecond);

// "Mes touches" from the click to its first painting, with a year of figures: built, tinted, shown.
void BM_OpenKeysWindow(benchmark::State &state)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("Dictees"));
    TMain main(dir.path());
    const KeyFigures keys = FullYear();
    for (auto _ : state) {
        TTouches window(&main, keys, main.DXImageList1, main.KeyCentre);
        window.show();
        window.repaint();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_OpenKeysWindow)->Unit(benchmark::kMillisecond);

} // namespace
