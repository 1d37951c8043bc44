// Any bytes and any length as a learner's history file: the points loaded are at most the file's 801 records,
// never a NaN or an infinity, and saving them back leaves no such value in the file either.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "records/HistoryBlock.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

bool Finite(const HistoryRecord &r)
{
    return std::isfinite(r.Speed) && std::isfinite(r.Success);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // A file cut short leaves the rest of the image zero, as the reader does.
    HistoryBlock block;
    std::memcpy(block.Bytes(), data, std::min<std::size_t>(size, HistoryBytes));
    const auto points = block.LoadedPoints();
    Check(points.size() <= static_cast<std::size_t>(HistoryRecords));
    for (const HistoryRecord &point : points)
        Check(Finite(point));

    block.StorePoints(points);
    for (int r = 0; r < HistoryRecords; ++r)
        Check(Finite(block.Record(r)));
    const auto again = block.LoadedPoints();
    Check(again.size() >= std::min<std::size_t>(points.size(), 1));
    for (std::size_t i = 0; i < std::min(points.size(), again.size()); ++i)
        Check(again[i].Speed == points[i].Speed && again[i].Success == points[i].Success);
    return 0;
}
