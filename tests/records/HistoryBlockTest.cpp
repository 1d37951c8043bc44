#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <utility>
#include <vector>

#include "records/HistoryBlock.h"

namespace {

using Eight = std::array<unsigned char, 8>;
using Sixteen = std::array<unsigned char, 16>;
using Image = std::vector<unsigned char>;

// Little-endian binary64 images of the values used below, written out by hand.
constexpr Eight Zero = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
constexpr Eight V5 = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x14, 0x40};
constexpr Eight V50 = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x49, 0x40};
constexpr Eight V90 = {0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x56, 0x40};
constexpr Eight V95 = {0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x57, 0x40};
constexpr Eight V97_5 = {0x00, 0x00, 0x00, 0x00, 0x00, 0x60, 0x58, 0x40};
constexpr Eight V100 = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x59, 0x40};
constexpr Eight V150 = {0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x62, 0x40};
constexpr Eight V180 = {0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x66, 0x40};
constexpr Eight V200 = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x69, 0x40};
constexpr Eight V210 = {0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x6A, 0x40};
constexpr Eight V805 = {0x00, 0x00, 0x00, 0x00, 0x00, 0x28, 0x89, 0x40};
constexpr Eight V96_77 = {0x32, 0xC6, 0x18, 0x63, 0x8C, 0x31, 0x58, 0x40}; // 96.7741935483871
constexpr Eight NegativeZero = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80};
constexpr Eight QuietNan = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF8, 0x7F};
constexpr Eight AllOnesNan = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
constexpr Eight SignallingNan = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x7F};
constexpr Eight PlusInfinity = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x7F};
constexpr Eight MinusInfinity = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0xFF};

constexpr double Nan = std::numeric_limits<double>::quiet_NaN();
constexpr double Infinity = std::numeric_limits<double>::infinity();

Sixteen Rec(const Eight &speed, const Eight &success)
{
    Sixteen record{};
    std::memcpy(record.data(), speed.data(), 8);
    std::memcpy(record.data() + 8, success.data(), 8);
    return record;
}

// The bytes a file would hold: the given records at their places, zeros elsewhere.
Image FileWith(const std::vector<std::pair<int, Sixteen>> &records)
{
    Image image(16 * 801, 0);
    for (const auto &[r, bytes] : records)
        std::memcpy(image.data() + 16 * r, bytes.data(), bytes.size());
    return image;
}

// As a read would leave it, without going through the encoder.
HistoryBlock BlockOf(const Image &file)
{
    HistoryBlock block;
    std::memcpy(block.Bytes(), file.data(), file.size());
    return block;
}

void Put(HistoryBlock &block, int r, const Sixteen &bytes)
{
    std::memcpy(block.Bytes() + 16 * r, bytes.data(), bytes.size());
}

::testing::AssertionResult HoldsBytes(const HistoryBlock &block, const Image &expected)
{
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (block.Bytes()[i] != expected[i])
            return ::testing::AssertionFailure() << "byte " << i << " (record " << i / 16 << ") is "
                                                 << int(block.Bytes()[i]) << ", expected " << int(expected[i]);
    }
    return ::testing::AssertionSuccess();
}

bool SameRecord(const HistoryRecord &a, const HistoryRecord &b)
{
    return a.Speed == b.Speed && a.Success == b.Success;
}

} // namespace

// ---- The byte image ----

TEST(HistoryFormat, ImageIs12816BytesAndStartsAllZero)
{
    EXPECT_EQ(HistoryRecords, 801);
    EXPECT_EQ(HistoryBytes, 12816);
    EXPECT_EQ(sizeof(HistoryBlock), 12816u);
    const HistoryBlock block;
    EXPECT_TRUE(HoldsBytes(block, Image(12816, 0)));
}

TEST(HistoryFormat, OneRecordEncodesAsTwoLittleEndianDoubles)
{
    HistoryBlock block;
    block.SetRecord(0, {180.0, 95.0});
    Image expected(12816, 0);
    const unsigned char record[16] = {0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x66, 0x40,
                                      0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x57, 0x40};
    std::memcpy(expected.data(), record, 16);
    EXPECT_TRUE(HoldsBytes(block, expected));
}

TEST(HistoryFormat, RecordRStandsAtOffset16R)
{
    const struct {
        int r;
        HistoryRecord record;
        Sixteen bytes;
    } rows[] = {
        {1, {200.0, 90.0}, Rec(V200, V90)},
        {2, {150.0, 96.7741935483871}, Rec(V150, V96_77)},
        {400, {5.0, 50.0}, Rec(V5, V50)},
        {800, {805.0, 100.0}, Rec(V805, V100)},
    };
    for (const auto &row : rows) {
        HistoryBlock block;
        block.SetRecord(row.r, row.record);
        EXPECT_TRUE(HoldsBytes(block, FileWith({{row.r, row.bytes}}))) << "record " << row.r;
    }
}

TEST(HistoryFormat, DecodesHardCodedBytesExactly)
{
    const struct {
        Eight speed;
        Eight success;
        HistoryRecord expected;
    } rows[] = {
        {V180, V96_77, {180.0, 96.7741935483871}},
        {V210, V97_5, {210.0, 97.5}},
        {Zero, V95, {0.0, 95.0}},
    };
    for (const auto &row : rows) {
        const HistoryBlock block = BlockOf(FileWith({{7, Rec(row.speed, row.success)}}));
        const HistoryRecord decoded = block.Record(7);
        EXPECT_EQ(decoded.Speed, row.expected.Speed);
        EXPECT_EQ(decoded.Success, row.expected.Success);
    }
}

TEST(HistoryFormat, ClearZeroesEveryByte)
{
    HistoryBlock block;
    std::memset(block.Bytes(), 0xA5, 12816);
    block.Clear();
    EXPECT_TRUE(HoldsBytes(block, Image(12816, 0)));
}

TEST(HistoryFormat, RecordIndexOutsideTheFileIsRefused)
{
    HistoryBlock block;
    for (int r : {-1, 801, 100000}) {
        EXPECT_THROW(block.Record(r), std::out_of_range) << r;
        EXPECT_THROW(block.SetRecord(r, {1.0, 1.0}), std::out_of_range) << r;
    }
    EXPECT_TRUE(HoldsBytes(block, Image(12816, 0)));
}

// ---- Which records an existing history shows ----

TEST(HistoryLoad, PointsRunUpToTheFirstEmptyRecord)
{
    const struct {
        const char *name;
        Image file;
        std::vector<HistoryRecord> expected;
    } rows[] = {
        {"three records then zeros",
         FileWith({{0, Rec(V180, V95)}, {1, Rec(V200, V96_77)}, {2, Rec(V150, V90)}}),
         {{180.0, 95.0}, {200.0, 96.7741935483871}, {150.0, 90.0}}},
        {"all zero: one point at zero", FileWith({}), {{0.0, 0.0}}},
        {"empty first record is still shown and does not end the history",
         FileWith({{1, Rec(V180, V95)}}),
         {{0.0, 0.0}, {180.0, 95.0}}},
        {"records behind the end mark are not shown",
         FileWith({{0, Rec(V180, V95)}, {1, Rec(V200, V90)}, {3, Rec(V150, V100)}}),
         {{180.0, 95.0}, {200.0, 90.0}}},
        {"a zero speed alone is no end mark",
         FileWith({{0, Rec(V180, V95)}, {1, Rec(Zero, V50)}, {2, Rec(V50, Zero)}}),
         {{180.0, 95.0}, {0.0, 50.0}, {50.0, 0.0}}},
        {"negative zeros end the history as zeros do",
         FileWith({{0, Rec(V180, V95)}, {1, Rec(NegativeZero, NegativeZero)}, {2, Rec(V200, V90)}}),
         {{180.0, 95.0}}},
    };
    for (const auto &row : rows) {
        const std::vector<HistoryRecord> points = BlockOf(row.file).LoadedPoints();
        ASSERT_EQ(points.size(), row.expected.size()) << row.name;
        for (std::size_t i = 0; i < points.size(); ++i)
            EXPECT_TRUE(SameRecord(points[i], row.expected[i])) << row.name << ", point " << i;
    }
}

TEST(HistoryLoad, AFullFileShows801Points)
{
    std::vector<std::pair<int, Sixteen>> records;
    for (int r = 0; r < 801; ++r)
        records.push_back({r, Rec(V180, V95)});
    const std::vector<HistoryRecord> points = BlockOf(FileWith(records)).LoadedPoints();
    ASSERT_EQ(points.size(), 801u);
    EXPECT_TRUE(SameRecord(points.back(), {180.0, 95.0}));
}

TEST(HistoryLoad, ADamagedRecordEndsTheHistoryThere)
{
    const struct {
        const char *name;
        int at;
        Sixteen damaged;
        std::size_t expectedCount;
    } rows[] = {
        {"NaN speed at 2", 2, Rec(QuietNan, V95), 2},
        {"NaN success at 2", 2, Rec(V180, QuietNan), 2},
        {"NaN with every bit set at 2", 2, Rec(AllOnesNan, V95), 2},
        {"signalling NaN at 2", 2, Rec(SignallingNan, V95), 2},
        {"infinite speed at 2", 2, Rec(PlusInfinity, V95), 2},
        {"minus infinite success at 2", 2, Rec(V180, MinusInfinity), 2},
        {"NaN at 0", 0, Rec(QuietNan, V95), 0},
        {"infinite success at 0", 0, Rec(V180, PlusInfinity), 0},
        {"NaN at 800", 800, Rec(V180, QuietNan), 800},
    };
    for (const auto &row : rows) {
        std::vector<std::pair<int, Sixteen>> records;
        for (int r = 0; r < 801; ++r)
            records.push_back({r, r == row.at ? row.damaged : Rec(V180, V95)});
        const std::vector<HistoryRecord> points = BlockOf(FileWith(records)).LoadedPoints();
        ASSERT_EQ(points.size(), row.expectedCount) << row.name;
        for (const HistoryRecord &point : points)
            EXPECT_TRUE(SameRecord(point, {180.0, 95.0})) << row.name;
    }
}

// ---- What a save puts back into the image ----

TEST(HistorySave, LoadedPointsPlusANewOneThenZeros)
{
    HistoryBlock block = BlockOf(FileWith({{0, Rec(V180, V95)}, {1, Rec(V200, V96_77)}, {2, Rec(V150, V90)}}));
    std::vector<HistoryRecord> points = block.LoadedPoints();
    points.push_back({210.0, 97.5});
    block.StorePoints(points);
    EXPECT_TRUE(HoldsBytes(
        block, FileWith({{0, Rec(V180, V95)}, {1, Rec(V200, V96_77)}, {2, Rec(V150, V90)}, {3, Rec(V210, V97_5)}})));
}

TEST(HistorySave, RecordsBehindTheEndMarkStayUnlessNewPointsCoverThem)
{
    const Image file = FileWith({{0, Rec(V180, V95)}, {2, Rec(V200, V90)}, {3, Rec(V150, V100)}, {800, Rec(V5, V50)}});
    const struct {
        const char *name;
        std::vector<HistoryRecord> added;
        Image expected;
    } rows[] = {
        {"nothing added", {}, file},
        {"one point covers the end mark",
         {{210.0, 97.5}},
         FileWith({{0, Rec(V180, V95)},
                   {1, Rec(V210, V97_5)},
                   {2, Rec(V200, V90)},
                   {3, Rec(V150, V100)},
                   {800, Rec(V5, V50)}})},
        {"two points cover the end mark and the record behind it",
         {{210.0, 97.5}, {805.0, 50.0}},
         FileWith({{0, Rec(V180, V95)},
                   {1, Rec(V210, V97_5)},
                   {2, Rec(V805, V50)},
                   {3, Rec(V150, V100)},
                   {800, Rec(V5, V50)}})},
    };
    for (const auto &row : rows) {
        HistoryBlock block = BlockOf(file);
        std::vector<HistoryRecord> points = block.LoadedPoints();
        ASSERT_EQ(points.size(), 1u) << row.name;
        points.insert(points.end(), row.added.begin(), row.added.end());
        block.StorePoints(points);
        EXPECT_TRUE(HoldsBytes(block, row.expected)) << row.name;
    }
}

TEST(HistorySave, MoreThan801PointsKeepTheLatest)
{
    // Guard bytes right behind the image catch a write past its end.
    struct Guarded {
        HistoryBlock block;
        unsigned char guard[64];
    } guarded;
    std::memset(guarded.guard, 0xA5, sizeof guarded.guard);

    std::vector<HistoryRecord> points;
    for (int i = 0; i < 805; ++i)
        points.push_back({double(i + 1), 50.0});
    guarded.block.StorePoints(points);

    const unsigned char *bytes = guarded.block.Bytes();
    EXPECT_EQ(0, std::memcmp(bytes, Rec(V5, V50).data(), 16)) << "record 0 is point 4";
    EXPECT_EQ(0, std::memcmp(bytes + 16 * 800, Rec(V805, V50).data(), 16)) << "record 800 is point 804";
    for (int r = 0; r < 801; ++r)
        EXPECT_EQ(guarded.block.Record(r).Speed, double(r + 5)) << "record " << r;
    for (unsigned char b : guarded.guard)
        ASSERT_EQ(b, 0xA5);
}

TEST(HistorySave, Exactly801PointsFillEveryRecord)
{
    HistoryBlock block;
    std::vector<HistoryRecord> points(801, HistoryRecord{180.0, 95.0});
    block.StorePoints(points);
    std::vector<std::pair<int, Sixteen>> records;
    for (int r = 0; r < 801; ++r)
        records.push_back({r, Rec(V180, V95)});
    EXPECT_TRUE(HoldsBytes(block, FileWith(records)));
}

TEST(HistorySave, NoNanOrInfinityIsLeftAnywhere)
{
    const struct {
        const char *name;
        std::vector<std::pair<int, Sixteen>> before;
        std::vector<HistoryRecord> points;
        Image expected;
    } rows[] = {
        {"NaN speed among the new points",
         {},
         {{180.0, 95.0}, {Nan, 95.0}, {200.0, 90.0}},
         FileWith({{0, Rec(V180, V95)}, {2, Rec(V200, V90)}})},
        {"infinite success as the first point",
         {},
         {{180.0, Infinity}, {200.0, 90.0}},
         FileWith({{1, Rec(V200, V90)}})},
        {"minus infinity among the new points", {}, {{-Infinity, 50.0}}, FileWith({})},
        {"damaged records behind the points",
         {{0, Rec(V180, V95)},
          {1, Rec(AllOnesNan, V95)},
          {2, Rec(V200, V90)},
          {700, Rec(V5, PlusInfinity)},
          {800, Rec(MinusInfinity, SignallingNan)}},
         {{180.0, 95.0}},
         FileWith({{0, Rec(V180, V95)}, {2, Rec(V200, V90)}})},
        {"damaged record under a new point is replaced by it",
         {{0, Rec(V180, V95)}, {1, Rec(QuietNan, QuietNan)}},
         {{180.0, 95.0}, {210.0, 97.5}},
         FileWith({{0, Rec(V180, V95)}, {1, Rec(V210, V97_5)}})},
    };
    for (const auto &row : rows) {
        HistoryBlock block;
        for (const auto &[r, bytes] : row.before)
            Put(block, r, bytes);
        block.StorePoints(row.points);
        EXPECT_TRUE(HoldsBytes(block, row.expected)) << row.name;
    }
}
