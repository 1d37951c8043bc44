#include "records/HistoryBlock.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

namespace {

static_assert(sizeof(double) == 8 && sizeof(std::uint64_t) == 8, "records hold 64-bit doubles");

std::size_t RecordOffset(int r)
{
    if (r < 0 || r >= HistoryRecords)
        throw std::out_of_range("history record " + std::to_string(r) + " out of range");
    return std::size_t(r) * HistoryRecordBytes;
}

// Byte by byte, so the file reads the same on a big-endian host.
double DecodeDouble(const unsigned char *bytes)
{
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | bytes[i];
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void EncodeDouble(double value, unsigned char *bytes)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 8; ++i) {
        bytes[i] = static_cast<unsigned char>(bits & 0xFF);
        bits >>= 8;
    }
}

bool IsFinite(const HistoryRecord &record)
{
    return std::isfinite(record.Speed) && std::isfinite(record.Success);
}

} // namespace

void HistoryBlock::Clear()
{
    m_bytes.fill(0);
}

HistoryRecord HistoryBlock::Record(int r) const
{
    const unsigned char *record = m_bytes.data() + RecordOffset(r);
    return HistoryRecord{DecodeDouble(record), DecodeDouble(record + 8)};
}

void HistoryBlock::SetRecord(int r, const HistoryRecord &record)
{
    unsigned char *bytes = m_bytes.data() + RecordOffset(r);
    EncodeDouble(record.Speed, bytes);
    EncodeDouble(record.Success, bytes + 8);
}

std::vector<HistoryRecord> HistoryBlock::LoadedPoints() const
{
    std::vector<HistoryRecord> points;
    for (int r = 0; r < HistoryRecords; ++r) {
        const HistoryRecord record = Record(r);
        if (!IsFinite(record))
            break;
        // Record 0 is shown even when empty: a new learner's graph starts from a point at zero.
        if (r > 0 && record.Speed == 0 && record.Success == 0)
            break;
        points.push_back(record);
    }
    return points;
}

bool HistoryBlock::Damaged() const
{
    for (int r = 0; r < HistoryRecords; ++r) {
        if (!IsFinite(Record(r)))
            return true;
    }
    return false;
}

void HistoryBlock::StorePoints(const std::vector<HistoryRecord> &points)
{
    const std::size_t count = points.size();
    const std::size_t first = count > std::size_t(HistoryRecords) ? count - HistoryRecords : 0;
    for (std::size_t i = first; i < count; ++i)
        SetRecord(int(i - first), points[i]);

    // A damaged record would stop every later load at that place; an empty one at least reads as an end mark.
    for (int r = 0; r < HistoryRecords; ++r) {
        if (!IsFinite(Record(r)))
            std::memset(m_bytes.data() + RecordOffset(r), 0, HistoryRecordBytes);
    }
}
