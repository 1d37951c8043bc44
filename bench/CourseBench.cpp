#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QResource>
#include <QTemporaryDir>

#include "course/Course.h"
#include "course/CourseText.h"
#include "course/Drill.h"
#include "records/CourseProgress.h"
#include "records/LessonAttempts.h"
#include "windows/CourseMaterial.h"
#include "windows/TMain.h"
#include "windows/TParcours.h"

namespace {

// What the course's first opening costs on a keyboard: the embedded data of every keyboard unpacked, that
// keyboard's entries filed by lesson. The counters give the data's size in the program and unpacked.
void BM_CourseDataFirstRead(benchmark::State &state)
{
    const QString path = QStringLiteral(":/course/course.dat");
    const auto layout = static_cast<layouts::Layout>(state.range(0));
    for (auto _ : state) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        const QByteArray data = file.readAll();
        benchmark::DoNotOptimize(
            course::Material::Parse(std::string_view(data.constData(), static_cast<std::size_t>(data.size())), layout));
    }
    const QResource resource(path);
    state.counters["embedded_kB"] = static_cast<double>(resource.size()) / 1024;
    state.counters["unpacked_kB"] = static_cast<double>(resource.uncompressedSize()) / 1024;
}
BENCHMARK(BM_CourseDataFirstRead)->DenseRange(0, layouts::LayoutCount - 1)->Unit(benchmark::kMillisecond);

// One attempt's lines on a keyboard (its number in layouts::Layout), for a lesson of letter groups, of words, of
// phrases with capitals, and of phrases with signs.
void BM_MakeAttempt(benchmark::State &state)
{
    const auto layout = static_cast<layouts::Layout>(state.range(0));
    const course::Material &material = CourseMaterial(layout);
    const course::Lesson &lesson = material.Lessons().at(static_cast<std::size_t>(state.range(1) - 1));
    std::uint32_t seed = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(course::MakeAttempt(lesson, material, ++seed));
}
BENCHMARK(BM_MakeAttempt)
    ->ArgsProduct({benchmark::CreateDenseRange(0, layouts::LayoutCount - 1, 1), {1, 9, 15, 26}})
    ->Unit(benchmark::kMicrosecond);

// A drill's lines on a lesson's new keys (five at most), every key up to that lesson met: letter groups before
// any word (5), rare letters (11), the circumflex letters once most words can be typed (19).
void BM_MakeDrill(benchmark::State &state)
{
    const course::Material &material = CourseMaterial(layouts::Layout::FrenchAzerty);
    const course::Lesson &lesson = course::LessonNumber(static_cast<int>(state.range(0)));
    const std::string weak = lesson.NewKeys.substr(0, 5);
    std::uint32_t seed = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(course::MakeDrill(weak, lesson.Keys, material, ++seed));
}
BENCHMARK(BM_MakeDrill)->Arg(5)->Arg(11)->Arg(19)->Unit(benchmark::kMicrosecond);

// The course window from the click to its first painting: built, the next lesson's keys drawn, shown.
void BM_OpenCourseWindow(benchmark::State &state)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("Dictees"));
    TMain main(dir.path());
    CourseProgress progress;
    for (int n = 1; n <= 12; ++n)
        progress.Record(n, 200, 99, "2026-12-07", course::GoalSuccess);
    // The lesson it opens on has a full chart.
    LessonAttempts attempts;
    for (int n = 0; n < static_cast<int>(LessonAttempts::Kept); ++n)
        attempts.Record(13, {"2026-12-07 10:00", 100.0 + n, 90.0 + n % 10, n % 7});
    for (auto _ : state) {
        TParcours window(&main, progress, attempts, main.DXImageList1, main.KeyCentre);
        window.show();
        window.repaint();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_OpenCourseWindow)->Unit(benchmark::kMillisecond);

} // namespace
