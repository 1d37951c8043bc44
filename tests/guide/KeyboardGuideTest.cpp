#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include <QPainter>

#include "assets/AssetNames.h"
#include "assets/EmbeddedAssets.h"
#include "guide/KeyMap.h"
#include "guide/KeyboardGuide.h"
#include "guide/KeyboardPicture.h"
#include "platform/drawing/TDXDraw.h"
#include "platform/drawing/TDXImageList.h"
#include "platform/input/KeyboardLayouts.h"

// Guides drawn with the program's own pictures, read back pixel by pixel from what the surface shows.

namespace {

using keymap::FingerPictureHeight;
using keymap::FingerPictureWidth;

using assets::names::HandPictures;

QRgb Rgb(const QImage &image, int x, int y)
{
    return image.pixel(x, y) | 0xFF000000u;
}

class GuideDrawing : public ::testing::Test
{
protected:
    GuideDrawing() : Surface(nullptr, QSize(632, 248))
    {
        for (const char *name : HandPictures)
            Pictures.Add(QLatin1String(name), 0xFFFFFF, assets::Bitmap(QLatin1String(name)));
        Pictures.Add(QLatin1String(assets::names::KeyboardPicture), 0x000000,
                     assets::Bitmap(QLatin1String(assets::names::KeyboardPicture)));
        Centres.Fill();
        Bare = Guide(0, 255);
    }

    QImage Guide(unsigned char ch, int opacity)
    {
        DrawKeyboardGuide(Surface, Pictures, Centres, ch, opacity);
        Surface.Flip();
        return Surface.Shown().copy();
    }

    QImage Hand(int item) const { return assets::Bitmap(QLatin1String(HandPictures[item])); }

    // What an opaque hand gives: its non-white pixels over the picture below, cut at the surface's edges.
    static void Overlay(QImage &below, const QImage &hand, QPoint at)
    {
        for (int y = 0; y < hand.height(); ++y)
            for (int x = 0; x < hand.width(); ++x) {
                const QPoint p = at + QPoint(x, y);
                if (below.rect().contains(p) && Rgb(hand, x, y) != qRgb(255, 255, 255))
                    below.setPixel(p, Rgb(hand, x, y));
            }
    }

    // The smallest rectangle holding every pixel where the two pictures differ; empty when they are equal.
    static QRect Changed(const QImage &a, const QImage &b, QRect within = QRect(0, 0, 632, 248))
    {
        QRect changed;
        for (int y = within.top(); y <= within.bottom(); ++y)
            for (int x = within.left(); x <= within.right(); ++x)
                if (Rgb(a, x, y) != Rgb(b, x, y))
                    changed |= QRect(x, y, 1, 1);
        return changed;
    }

    // A marker disc: yellow on the key centre, a red rim a few pixels out, nothing changed farther than the
    // 12-pixel disc and its 2-pixel pen.
    void ExpectMarker(const QImage &guide, QPoint centre) const
    {
        EXPECT_EQ(Rgb(guide, centre.x(), centre.y()), qRgb(255, 255, 0)) << "disc at " << centre.x();
        bool rim = false;
        for (int dx = 4; dx <= 7; ++dx)
            rim = rim || Rgb(guide, centre.x() - dx, centre.y()) == qRgb(255, 0, 0);
        EXPECT_TRUE(rim) << "red rim left of " << centre.x() << "," << centre.y();
        const QRect box(centre - QPoint(8, 8), centre + QPoint(8, 8));
        EXPECT_TRUE(box.contains(Changed(guide, Bare, box.adjusted(-6, -6, 6, 6)))) << "disc at " << centre.x();
    }

    TDXDraw Surface;
    TDXImageList Pictures;
    keymap::KeyCentres Centres;
    QImage Bare;
};

} // namespace

TEST_F(GuideDrawing, TheBareKeyboardIsThePictureShiftedByOnePixel)
{
    const QImage keyboard = assets::Bitmap(QStringLiteral("Tapotis.bmp"));
    for (int y = 0; y < 248; ++y)
        for (int x = 0; x < 632; ++x)
            ASSERT_EQ(Rgb(Bare, x, y), Rgb(keyboard, x + 1, y + 1)) << x << "," << y;
    // Characters the French AZERTY does not type (É, Ç, œ, «, ý, þ), and the end of the text, give the bare keyboard
    // whatever the opacity.
    for (const int ch : {0, 201, 199, 156, 171, 253, 254})
        EXPECT_TRUE(Changed(Guide(static_cast<unsigned char>(ch), 255), Bare).isEmpty()) << "code " << ch;
}

TEST_F(GuideDrawing, CapitalAMarksBothShiftKeysOutlinesItsKeyAndShowsTheLittleFinger)
{
    const QImage marks = Guide('A', 0);
    ExpectMarker(marks, {34, 177});
    ExpectMarker(marks, {378, 177});
    // The outline reaches 8 pixels left of and above the centre (70, 124), 11 right and 12 below; the key's own
    // face inside it is untouched.
    EXPECT_EQ(Rgb(marks, 62, 124), qRgb(255, 255, 0));
    EXPECT_EQ(Rgb(marks, 80, 124), qRgb(255, 255, 0));
    EXPECT_EQ(Rgb(marks, 70, 116), qRgb(255, 255, 0));
    EXPECT_EQ(Rgb(marks, 70, 135), qRgb(255, 255, 0));
    EXPECT_TRUE(Changed(marks, Bare, QRect(64, 118, 14, 15)).isEmpty()) << "the outline is not filled";
    const QRect outline(QPoint(60, 114), QPoint(83, 138));
    const QRect discs(QPoint(26, 169), QPoint(386, 185));
    EXPECT_TRUE(Changed(marks, Bare, QRect(0, 0, 632, 114)).isEmpty());
    EXPECT_TRUE(Changed(marks, Bare, QRect(0, 186, 632, 62)).isEmpty());
    EXPECT_TRUE((outline | discs).contains(Changed(marks, Bare))) << "nothing else is marked";

    // Opaque hand: the little-finger picture from (56, 38), its white pixels leaving the marked keyboard.
    QImage expected = marks;
    Overlay(expected, Hand(keymap::AuriculaireG), {56, 38});
    EXPECT_TRUE(Changed(Guide('A', 255), expected).isEmpty());
    // The lower-case a gets the same hand and outline, without the Shift markers.
    QImage lower = Guide('a', 0);
    EXPECT_EQ(Rgb(lower, 34, 177), Rgb(Bare, 34, 177));
    EXPECT_EQ(Rgb(lower, 62, 124), qRgb(255, 255, 0));
}

// A sign typed with AltGr marks the AltGr key as a capital marks Shift, and so does a letter whose dead key takes
// it: @ is AltGr with the à key, À the dead grave (AltGr with the è key) then Shift with A.
TEST_F(GuideDrawing, AltGrIsMarkedForTheSignsAndTheDeadKeysTypedWithIt)
{
    const QImage at = Guide('@', 0);
    ExpectMarker(at, {294, 203});
    EXPECT_EQ(Rgb(at, 34, 177), Rgb(Bare, 34, 177)) << "no Shift";
    EXPECT_TRUE(QRect(QPoint(280, 189), QPoint(308, 217)).contains(Changed(at, Bare))) << "nothing else: no outline";
    const QImage grave = Guide(0xC0, 0);
    for (const QPoint key : {QPoint(294, 203), QPoint(34, 177), QPoint(378, 177), QPoint(217, 97)})
        ExpectMarker(grave, key);
    EXPECT_EQ(Rgb(Guide('a', 0), 294, 203), Rgb(Bare, 294, 203)) << "a plain letter leaves AltGr alone";
}

TEST_F(GuideDrawing, CircumflexVowelMarksTheDeadKeyWithoutOutline)
{
    const QImage marks = Guide(0xEA, 0); // ê
    ExpectMarker(marks, {336, 124});
    EXPECT_TRUE(QRect(QPoint(326, 114), QPoint(346, 134)).contains(Changed(marks, Bare)));
    QImage expected = marks;
    Overlay(expected, Hand(keymap::MajeurG), {48, 86});
    EXPECT_TRUE(Changed(Guide(0xEA, 255), expected).isEmpty());
}

TEST_F(GuideDrawing, DeadKeysThemselvesShowTwoPicturesAndNoMark)
{
    for (const unsigned char ch : {static_cast<unsigned char>('^'), static_cast<unsigned char>(0xA8)}) {
        SCOPED_TRACE(static_cast<int>(ch));
        QImage expected = ch == '^' ? Bare : Guide(ch, 0);
        if (ch == '^')
            EXPECT_TRUE(Changed(Guide(ch, 0), Bare).isEmpty()) << "no marker and no outline for ^";
        else
            ExpectMarker(expected, {34, 177});
        Overlay(expected, Hand(keymap::AuriculaireD), {155, 38});
        Overlay(expected, Hand(keymap::PouceG), {0, 126});
        EXPECT_TRUE(Changed(Guide(ch, 255), expected).isEmpty());
    }
}

TEST_F(GuideDrawing, TheSpaceShowsBothThumbsCutAtTheBottom)
{
    QImage expected = Bare;
    Overlay(expected, Hand(keymap::PouceG), {0, 126});
    Overlay(expected, Hand(keymap::PouceD), {200, 126});
    const QImage guide = Guide(' ', 255);
    EXPECT_TRUE(Changed(guide, expected).isEmpty());
    // The bottom row of the surface is the thumbs' row 121: the pictures go on below it, unseen.
    const QImage thumb = Hand(keymap::PouceG);
    int shownInLastRow = 0;
    for (int x = 0; x < FingerPictureWidth; ++x)
        if (Rgb(thumb, x, 121) != qRgb(255, 255, 255)) {
            EXPECT_EQ(Rgb(guide, x, 247), Rgb(thumb, x, 121));
            ++shownInLastRow;
        }
    EXPECT_GT(shownInLastRow, 0) << "the thumbs reach the bottom edge";
    EXPECT_TRUE(Changed(Guide(' ', 0), Bare).isEmpty()) << "no outline around the space bar";
}

TEST_F(GuideDrawing, QuestionMarkShowsTheShiftMarkersAndNothingElse)
{
    const QImage guide = Guide('?', 255);
    ExpectMarker(guide, {34, 177});
    ExpectMarker(guide, {378, 177});
    EXPECT_TRUE(QRect(QPoint(26, 169), QPoint(386, 185)).contains(Changed(guide, Bare)));
    EXPECT_TRUE(Changed(guide, Bare, QRect(44, 160, 324, 40)).isEmpty()) << "no outline, no hand";
}

TEST_F(GuideDrawing, OpacityBlendsTheHandOverTheKeyboard)
{
    const QImage below = Guide('a', 0);
    const QImage hand = Hand(keymap::AuriculaireG);
    for (const int opacity : {51, 204}) {
        SCOPED_TRACE(opacity);
        const QImage guide = Guide('a', opacity);
        int blended = 0;
        for (int y = 0; y < FingerPictureHeight; ++y)
            for (int x = 0; x < FingerPictureWidth; ++x) {
                const QRgb s = Rgb(hand, x, y);
                const QRgb d = Rgb(below, 56 + x, 38 + y);
                const QRgb shown = Rgb(guide, 56 + x, 38 + y);
                if (s == qRgb(255, 255, 255)) {
                    ASSERT_EQ(shown, d);
                    continue;
                }
                const auto mix = [&](int sc, int dc) { return (sc * opacity + dc * (255 - opacity)) >> 8; };
                ASSERT_EQ(shown, qRgb(mix(qRed(s), qRed(d)), mix(qGreen(s), qGreen(d)), mix(qBlue(s), qBlue(d))))
                    << x << "," << y;
                ++blended;
            }
        EXPECT_GT(blended, 5000) << "a hand covers thousands of pixels";
    }
    // At 0 the hand is gone; only the outline of the key is left.
    const QRect outline(QPoint(60, 114), QPoint(83, 138));
    EXPECT_TRUE(outline.contains(Changed(below, Bare)));
}

TEST_F(GuideDrawing, EachGuideWipesOutThePreviousOne)
{
    Guide('A', 255);
    Guide(0xEA, 255);
    EXPECT_TRUE(Changed(Guide(0, 255), Bare).isEmpty());
    const QImage marked = Guide('j', 0);
    QImage withHand = marked;
    Overlay(withHand, Hand(keymap::IndexD), QPoint(236 - 86, 151 - 28));
    Guide('?', 255);
    EXPECT_TRUE(Changed(Guide('j', 255), withHand).isEmpty());
}

// The windows' picture marks the keys of its characters and nothing else, a character without a key nowhere, and
// starts again from the bare keyboard each time.
TEST_F(GuideDrawing, AWindowsPictureMarksOnlyTheKeysOfItsCharacters)
{
    KeyboardPicture keyboard(Pictures, Centres);
    const QImage picture = keyboard.Draw({"a@", "j@", {{'l', Qt::red}, {'@', Qt::blue}}});
    EXPECT_EQ(Rgb(picture, 62, 124), qRgb(255, 255, 0)) << "the outline of a";
    ExpectMarker(picture, {236, 151});
    // Inside the cap of l, each pixel is the keyboard's multiplied by red: the white turns red, the letter stays dark.
    for (int y = 144; y <= 158; ++y)
        for (int x = 282; x <= 296; ++x)
            ASSERT_EQ(Rgb(picture, x, y), qRgb(qRed(Rgb(Bare, x, y)), 0, 0)) << x << "," << y;
    QImage rest = picture.convertToFormat(Bare.format());
    QPainter painter(&rest);
    for (const QRect &key : {QRect(QPoint(59, 113), QPoint(84, 139)), QRect(QPoint(226, 141), QPoint(246, 161)),
                             QRect(QPoint(278, 141), QPoint(300, 161))})
        painter.drawImage(key.topLeft(), Bare, key);
    painter.end();
    EXPECT_TRUE(Changed(rest, Bare).isEmpty());
    EXPECT_TRUE(Changed(keyboard.Draw({}), Bare).isEmpty());
}

// The guide kept from key to key redraws only what changes; what shows must stay what a whole guide shows, for
// every character (marks, one hand, two thumbs, the dead keys' two pictures, no key at all, the end of the text),
// at every opacity, and after something else has drawn on the surface.
TEST_F(GuideDrawing, AGuideKeptFromKeyToKeyShowsWhatAWholeGuideShows)
{
    TDXDraw kept(nullptr, QSize(632, 248));
    KeyboardGuide guide(kept, Pictures, Centres);
    // Every code, in an order that sends the hands all over the keyboard, then the lesson's usual run.
    std::string characters;
    for (int code = 0; code < 256; ++code)
        characters += static_cast<char>((code * 97 + 13) % 256);
    characters += "Le Z\xE8"
                  "bre a 2 ailes ? Non ! M\xEAme \xE7"
                  "a : \xE9t\xE9, No\xEBl, x\xB2 # 5 \x80 fin.";
    characters += '\0';
    const int opacities[] = {255, 204, 255, 0, 51, 255};
    for (std::size_t i = 0; i < characters.size(); ++i) {
        const auto ch = static_cast<unsigned char>(characters[i]);
        const int opacity = opacities[(i / 40) % std::size(opacities)];
        if (i == 300) {
            // The window's start-up draws the bare keyboard itself.
            kept.Fill(0);
            DrawKeyboardPicture(kept, Pictures);
            kept.ReleaseCanvas();
            kept.Flip();
        }
        guide.Draw(ch, opacity);
        guide.Present();
        const QImage whole = Guide(ch, opacity);
        ASSERT_TRUE(kept.Shown() == whole) << "character " << int(ch) << " at " << i << ", opacity " << opacity;
        ASSERT_TRUE(kept.Surface() == whole) << "character " << int(ch) << " at " << i;
    }
}

// Another keyboard's guide marks its own keys: BÉPO's e is struck where the French f is, the Swiss z where the
// French y is, a Swiss ê marks its dead key; and the guide kept from key to key shows what a whole one shows.
TEST_F(GuideDrawing, AnotherKeyboardsGuideShowsItsOwnKeys)
{
    using layouts::Layout;
    const keymap::LayoutKeys bepo(layouts::TableOf(Layout::Bepo));
    const keymap::LayoutKeys swiss(layouts::TableOf(Layout::SwissFrench));
    const auto guideOn = [&](const keymap::LayoutKeys &keys, unsigned char ch) {
        DrawKeyboardGuide(Surface, Pictures, Centres, ch, 204, &keys);
        Surface.Flip();
        return Surface.Shown().copy();
    };
    const std::pair<char, char> same[] = {{'e', 'f'}, {'E', 'F'}, {'t', 'j'}, {' ', ' '}};
    for (const auto &[other, french] : same)
        EXPECT_TRUE(guideOn(bepo, static_cast<unsigned char>(other)) == Guide(static_cast<unsigned char>(french), 204))
            << other;
    EXPECT_TRUE(guideOn(swiss, 'z') == Guide('y', 204));
    const keymap::KeyPoint dead = keymap::KeyOfScan(0x0D)->Centre;
    ExpectMarker(guideOn(swiss, 0xEA), QPoint(dead.x, dead.y));

    TDXDraw kept(nullptr, QSize(632, 248));
    KeyboardGuide guide(kept, Pictures, Centres);
    guide.Draw('a', 255);
    guide.Present();
    guide.UseKeyboard(&bepo);
    for (const char c : std::string("Bonjour \xE0 tous, \xEAtre ou ne pas \xEAtre ! 12 \xAB oui \xBB"))
        for (const int opacity : {255, 0}) {
            const auto ch = static_cast<unsigned char>(c);
            guide.Draw(ch, opacity);
            guide.Present();
            DrawKeyboardGuide(Surface, Pictures, Centres, ch, opacity, &bepo);
            Surface.Flip();
            ASSERT_TRUE(kept.Shown() == Surface.Shown()) << "character " << int(ch);
        }
}
