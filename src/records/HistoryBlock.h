#pragma once

#include <array>
#include <vector>

// A learner's history file holds one record per finished lesson: 801 records of 16 bytes, no header.
constexpr int HistoryRecords = 801;
constexpr int HistoryRecordBytes = 16;
constexpr int HistoryBytes = HistoryRecords * HistoryRecordBytes;

// One finished lesson: characters per minute, rounded to a whole number, and the percentage of keys typed right.
struct HistoryRecord {
    double Speed = 0;
    double Success = 0;
};

// The byte image of a learner's history file, kept as bytes rather than decoded records so that a partial read
// leaves exactly the bytes that were read and records nobody touched are written back as they stand. Each record
// is Speed then Success, both IEEE-754 binary64 little-endian, whatever the host. The image is always exactly
// HistoryBytes long and starts all zero.
class HistoryBlock
{
public:
    void Clear();

    // r runs from 0 to HistoryRecords - 1; any other index is a programming error (std::out_of_range).
    HistoryRecord Record(int r) const;
    void SetRecord(int r, const HistoryRecord &record);

    unsigned char *Bytes() { return m_bytes.data(); }
    const unsigned char *Bytes() const { return m_bytes.data(); }

    // The points an existing history shows: record 0 always, then records 1, 2, ... up to the first whose Speed
    // and Success are both 0, which ends the history and is not shown. A record holding a NaN or an infinity
    // comes from a damaged file and ends the history where it stands, record 0 included.
    std::vector<HistoryRecord> LoadedPoints() const;

    // Whether any record holds a NaN or an infinity: the file was damaged, and the records behind it are hidden.
    bool Damaged() const;

    // Before a save: record i takes point i; beyond HistoryRecords points only the latest are kept. Records behind
    // the points keep their bytes. Afterwards no record holds a NaN or an infinity: such a record, wherever it
    // stands, becomes all zero bytes.
    void StorePoints(const std::vector<HistoryRecord> &points);

private:
    std::array<unsigned char, HistoryBytes> m_bytes{};
};
