// The keyboard and hand pictures must agree with the key map: every key cap under its key centre, the case
// showing between keys, and every fingertip where its finger's offset puts it; the other layouts' keyboards are
// the French one with other legends on its main block.

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <vector>

#include "assets/AssetNames.h"
#include "assets/EmbeddedAssets.h"
#include "guide/KeyMap.h"

namespace {

bool IsCap(QRgb c)
{
    return qRed(c) >= 190 && qGreen(c) >= 190 && qBlue(c) >= 170;
}

bool IsCase(QRgb c)
{
    return qRed(c) >= 200 && qGreen(c) >= 80 && qGreen(c) <= 160 && qBlue(c) <= 80;
}

bool IsWhite(QRgb c)
{
    return (c & 0xFFFFFF) == 0xFFFFFF;
}

int Lightness(QRgb c)
{
    return qRed(c) + qGreen(c) + qBlue(c);
}

class Pictures : public ::testing::Test
{
protected:
    Pictures() { Centres.Fill(); }

    // The surface point (x, y) shows the keyboard picture's pixel (x + 1, y + 1).
    QRgb Surface(int x, int y) const { return Keyboard.pixel(x + 1, y + 1); }

    keymap::KeyCentres Centres;
    QImage Keyboard = assets::Bitmap(QStringLiteral("Tapotis.bmp"));
};

struct Tip {
    int Item;
    int x, y;
};

// The fingertips the key map's offsets imply, read off the offsets table by hand.
const Tip LeftTips[] = {
    {keymap::AuriculaireG, 14, 86}, {keymap::AnnuaireG, 55, 56}, {keymap::MajeurG, 76, 38}, {keymap::IndexG, 108, 30}};
const Tip RightTips[] = {{keymap::IndexD, 86, 28},
                         {keymap::MajeurD, 119, 38},
                         {keymap::AnnuaireD, 140, 57},
                         {keymap::AuriculaireD, 181, 86}};

// Pixels made lighter in `marked` than in `plain`, along a band from the fingertip towards the palm's middle.
int LightenedAlongFinger(const QImage &plain, const QImage &marked, const Tip &tip)
{
    const double dx = 98 - tip.x;
    const double dy = 160 - tip.y;
    const double length = std::hypot(dx, dy);
    const double ux = dx / length;
    const double uy = dy / length;
    int count = 0;
    for (int along = 10; along < 30; ++along)
        for (int across = -3; across <= 3; ++across) {
            const int x = int(std::lround(tip.x + ux * along - uy * across));
            const int y = int(std::lround(tip.y + uy * along + ux * across));
            if (plain.valid(x, y) && Lightness(marked.pixel(x, y)) > Lightness(plain.pixel(x, y)) + 60)
                ++count;
        }
    return count;
}

QString HandName(int item)
{
    return QLatin1String(assets::names::HandPictures[item]);
}

} // namespace

TEST_F(Pictures, EveryKeyCentreLiesOnAKeyCap)
{
    for (const keymap::KeyRow &row : keymap::KeyRows()) {
        EXPECT_TRUE(IsCap(Surface(row.Centre.x, row.Centre.y)))
            << "key of byte " << int(quint8(row.Characters[0])) << " at " << row.Centre.x << "," << row.Centre.y;
    }
    for (unsigned char named : {keymap::BackspaceKey, keymap::EnterKey, keymap::RightShiftKey, keymap::LeftCtrlKey,
                                keymap::LeftAltKey, keymap::LeftShiftKey, static_cast<unsigned char>(' ')}) {
        const keymap::KeyPoint centre = Centres(named);
        EXPECT_TRUE(IsCap(Surface(centre.x, centre.y))) << "named key " << int(named);
        // The marker disc, 12 pixels across, lies on the cap.
        for (auto [dx, dy] : {std::pair{-6, 0}, {6, 0}, {0, -6}, {0, 6}})
            EXPECT_FALSE(IsCase(Surface(centre.x + dx, centre.y + dy))) << "named key " << int(named);
    }
}

TEST_F(Pictures, TheCaseShowsBetweenNeighbouringKeysAndAroundTheOutline)
{
    const auto &rows = keymap::KeyRows();
    int gaps = 0;
    for (std::size_t i = 0; i + 1 < rows.size(); ++i) {
        const keymap::KeyPoint a = rows[i].Centre;
        const keymap::KeyPoint b = rows[i + 1].Centre;
        if (a.y != b.y)
            continue;
        // A cap spans about x - 7 .. x + 10: the gap's middle is halfway between one cap's right edge and the
        // next cap's left edge.
        const int x = (a.x + 10 + b.x - 7) / 2;
        EXPECT_TRUE(IsCase(Surface(x, a.y + 2))) << "between keys at " << a.x << " and " << b.x << ", row " << a.y;
        ++gaps;
    }
    EXPECT_GE(gaps, 40);

    // The 2-pixel outline drawn from (x - 8, y - 8) to (x + 11, y + 12) frames the cap: the cap's corners lie
    // inside it (the right-hand corners, clear of every legend), the case just outside it.
    for (const keymap::KeyRow &row : rows) {
        const keymap::KeyPoint c = row.Centre;
        if (c.y != 124 && c.y != 151) // rows whose neighbours above and below are a full pitch away
            continue;
        for (auto [dx, dy] : {std::pair{8, -4}, {8, 8}})
            EXPECT_TRUE(IsCap(Surface(c.x + dx, c.y + dy))) << c.x << "," << c.y << " corner " << dx << "," << dy;
        for (auto [dx, dy] : {std::pair{-10, 2}, {13, 2}, {2, -10}, {2, 13}})
            EXPECT_FALSE(IsCap(Surface(c.x + dx, c.y + dy))) << c.x << "," << c.y << " outside " << dx << "," << dy;
    }
}

TEST_F(Pictures, HandsAreIndexedPicturesOnPureWhite)
{
    for (int item = keymap::MainG; item <= keymap::AuriculaireD; ++item) {
        SCOPED_TRACE(HandName(item).toStdString());
        const QImage hand = assets::Bitmap(HandName(item));
        EXPECT_EQ(hand.format(), QImage::Format_Indexed8);
        EXPECT_EQ(hand.size(), QSize(keymap::FingerPictureWidth, keymap::FingerPictureHeight));
        EXPECT_TRUE(IsWhite(hand.pixel(0, 0)));
        EXPECT_TRUE(IsWhite(hand.pixel(98, 0)));
        EXPECT_FALSE(IsWhite(hand.pixel(98, 180))) << "the palm reaches the bottom";
    }
}

TEST_F(Pictures, FingertipsLieWhereTheOffsetsPutThem)
{
    for (int item = keymap::MainG; item <= keymap::AuriculaireD; ++item) {
        SCOPED_TRACE(HandName(item).toStdString());
        const QImage hand = assets::Bitmap(HandName(item));
        const bool left = item % 2 == 0;
        for (const Tip &tip : left ? LeftTips : RightTips) {
            const keymap::Placement offset = keymap::FingerOffset(tip.Item);
            ASSERT_EQ(-offset.dx, tip.x);
            ASSERT_EQ(-offset.dy, tip.y);
            EXPECT_FALSE(IsWhite(hand.pixel(tip.x, tip.y + 3))) << "finger of item " << tip.Item;
            EXPECT_TRUE(IsWhite(hand.pixel(tip.x, tip.y - 4))) << "above the finger of item " << tip.Item;
        }
        // The thumbs reach the picture's edge level with y = 76: the left one at the right edge, the right one
        // at the left edge.
        const int edge = left ? keymap::FingerPictureWidth - 1 : 0;
        EXPECT_FALSE(IsWhite(hand.pixel(edge, 78)));
        EXPECT_TRUE(IsWhite(hand.pixel(edge, 60)));
    }
}

TEST_F(Pictures, EachFingerPictureLightensItsOwnFingerOnly)
{
    for (int item = keymap::PouceG; item <= keymap::AuriculaireD; ++item) {
        SCOPED_TRACE(HandName(item).toStdString());
        const bool left = item % 2 == 0;
        const QImage plain = assets::Bitmap(HandName(left ? keymap::MainG : keymap::MainD));
        const QImage marked = assets::Bitmap(HandName(item));
        std::vector<Tip> tips(std::begin(left ? LeftTips : RightTips), std::end(left ? LeftTips : RightTips));
        tips.push_back({left ? keymap::PouceG : keymap::PouceD, left ? keymap::FingerPictureWidth - 1 : 0, 76});
        for (const Tip &tip : tips) {
            const int lightened = LightenedAlongFinger(plain, marked, tip);
            if (tip.Item == item)
                EXPECT_GT(lightened, 60) << "the marked finger is light orange";
            else
                EXPECT_EQ(lightened, 0) << "finger of item " << tip.Item << " keeps its colour";
        }
    }
}

TEST_F(Pictures, RightHandMirrorsTheLeft)
{
    const QImage left = assets::Bitmap(HandName(keymap::MainG));
    const QImage right = assets::Bitmap(HandName(keymap::MainD));
    int agree = 0;
    int total = 0;
    for (int y = 0; y < left.height(); ++y)
        for (int x = 0; x < left.width(); ++x) {
            agree += IsWhite(left.pixel(x, y)) == IsWhite(right.pixel(left.width() - 1 - x, y));
            ++total;
        }
    EXPECT_GT(agree, total * 97 / 100);
}

TEST_F(Pictures, EachLayoutsKeyboardIsTheFrenchOneWithItsOwnMainBlock)
{
    ASSERT_EQ(std::size(assets::names::KeyboardPictures), 6u);
    EXPECT_EQ(QLatin1String(assets::names::KeyboardPictures[0]), QStringLiteral("Tapotis.bmp"));
    const QByteArray french = assets::Embedded(QStringLiteral("Tapotis.bmp"));
    // Surface points the legends of the main block may change: its keys from the digits to the Shift row.
    const auto inMainBlock = [](int x, int y) { return x >= 20 && x < 426 && y >= 86 && y < 192; };
    // A letter moved elsewhere on the layout: the cap of `scan` shows what the French cap of `frenchScan` shows.
    struct Moved {
        int Picture;
        std::uint8_t Scan, FrenchScan;
    };
    const Moved moved[] = {{2, 0x33, 0x22},  // BÉPO's G, on the French comma
                           {4, 0x15, 0x11},  // the Swiss Z, on the French Y
                           {5, 0x11, 0x2C}}; // the Canadian W, on the French Z
    for (std::size_t i = 1; i < std::size(assets::names::KeyboardPictures); ++i) {
        const QString name = QLatin1String(assets::names::KeyboardPictures[i]);
        SCOPED_TRACE(name.toStdString());
        // The same file header: the same size, 24 bits per pixel, no palette.
        EXPECT_EQ(assets::Embedded(name).left(54), french.left(54));
        const QImage picture = assets::Bitmap(name);
        ASSERT_EQ(picture.size(), Keyboard.size());
        int changedInside = 0, changedOutside = 0;
        for (int y = -1; y < picture.height() - 1; ++y)
            for (int x = -1; x < picture.width() - 1; ++x)
                if (picture.pixel(x + 1, y + 1) != Surface(x, y))
                    ++(inMainBlock(x, y) ? changedInside : changedOutside);
        EXPECT_EQ(changedOutside, 0);
        EXPECT_GT(changedInside, 500);
        for (const Moved &row : moved) {
            if (row.Picture != int(i))
                continue;
            const keymap::KeyPoint here = keymap::KeyOfScan(row.Scan)->Centre;
            const keymap::KeyPoint there = keymap::KeyOfScan(row.FrenchScan)->Centre;
            int differing = 0; // over the cap's face
            for (int dy = -5; dy <= 9; ++dy)
                for (int dx = -5; dx <= 8; ++dx)
                    differing += picture.pixel(here.x + dx + 1, here.y + dy + 1) != Surface(there.x + dx, there.y + dy);
            EXPECT_EQ(differing, 0) << "key " << int(row.Scan);
        }
    }
}
