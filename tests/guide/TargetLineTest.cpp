#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "guide/TargetLine.h"
#include "platform/drawing/TDXDraw.h"

namespace {

// Glyph edges are smoothed: a pixel counts for a colour when it is mostly that colour.
bool Yellow(QRgb p)
{
    return qRed(p) > 160 && qGreen(p) > 160 && qBlue(p) < 90;
}
bool Red(QRgb p)
{
    return qRed(p) > 160 && qGreen(p) < 90 && qBlue(p) < 90;
}

// Leftmost and rightmost columns holding a pixel of the colour; (-1, -1) when there is none.
std::pair<int, int> Columns(const QImage &image, bool (*colour)(QRgb))
{
    int first = -1;
    int last = -1;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (colour(image.pixel(x, y))) {
                if (first < 0)
                    first = x;
                last = x;
            }
    return {first, last};
}

} // namespace

TEST(TargetLine, TypedPartIsRedAndTheRestYellow)
{
    TDXDraw surface(nullptr, QSize(705, 33));
    DrawTargetLine(surface, "Bon", "Bonjour");
    const QImage &shown = surface.Shown();
    const auto red = Columns(shown, Red);
    const auto yellow = Columns(shown, Yellow);
    ASSERT_GE(red.first, 0);
    ASSERT_GE(yellow.first, 0);
    EXPECT_LT(red.first, 3) << "both texts start at x = 0";
    EXPECT_LT(red.second, yellow.first) << "red Bon stands before yellow jour";
    EXPECT_EQ(shown.pixel(700, 5), qRgb(0, 0, 0));
}

TEST(TargetLine, WholeTextTypedIsAllRed)
{
    TDXDraw surface(nullptr, QSize(705, 33));
    DrawTargetLine(surface, "Bonjour", "Bonjour");
    EXPECT_EQ(Columns(surface.Shown(), Yellow).first, -1);
    EXPECT_GE(Columns(surface.Shown(), Red).first, 0);
}

TEST(TargetLine, NothingShowsBeforeThePresent)
{
    TDXDraw surface(nullptr, QSize(705, 33));
    surface.Canvas().Font.Color = 0x00FFFF;
    surface.Canvas().Font.Size = 14;
    surface.Canvas().Brush.Color = 0;
    surface.Canvas().TextOut(0, 0, "abc");
    surface.ReleaseCanvas();
    EXPECT_EQ(Columns(surface.Shown(), Yellow).first, -1);
    EXPECT_GE(Columns(surface.Surface(), Yellow).first, 0);
    surface.Flip();
    EXPECT_GE(Columns(surface.Shown(), Yellow).first, 0);
}

TEST(TargetLine, LongTextIsCutAtTheRightEdge)
{
    TDXDraw surface(nullptr, QSize(705, 33));
    DrawLessonFirstLine(surface, std::string(200, 'm'));
    EXPECT_GE(Columns(surface.Shown(), Yellow).second, 695);
    EXPECT_EQ(surface.Canvas().TextWidth("m") > 10, true);
}

// A lesson may be a megabyte on one line: only what can show is drawn, and it shows as the whole line would.
TEST(TargetLine, AMegabyteLineShowsAsItsBeginningWithoutAHugePicture)
{
    std::string line;
    while (line.size() < (1u << 20))
        line += "Le chat dort. ";
    TDXDraw whole(nullptr, QSize(705, 33));
    TDXDraw beginning(nullptr, QSize(705, 33));
    DrawTargetLine(whole, line.substr(0, 1000), line);
    DrawTargetLine(beginning, line.substr(0, 1000), line.substr(0, 1200));
    EXPECT_EQ(whole.Shown(), beginning.Shown());
    DrawTargetLine(whole, line.substr(0, 3), line);
    DrawTargetLine(beginning, line.substr(0, 3), line.substr(0, 200));
    EXPECT_EQ(whole.Shown(), beginning.Shown());

    const QImage picture = ScrollTextPicture(whole, line);
    EXPECT_EQ(picture.width(), 32000);
    EXPECT_EQ(picture.height(), 33);
    EXPECT_GE(Columns(picture.copy(31000, 0, 1000, 33), Yellow).first, 0) << "text to the last pixels";
}

TEST(ScrollingTick, StepsOneOrTwoPixelsByIntervalAndDrawsThePictureThere)
{
    TDXDraw surface(nullptr, QSize(705, 33));
    QImage picture(30, 20, QImage::Format_RGB32);
    picture.fill(Qt::yellow);
    const struct {
        int interval, step;
    } rows[] = {{60, 1}, {50, 1}, {40, 2}, {10, 2}, {0, 2}};
    for (const auto &row : rows) {
        int offset = 100;
        EXPECT_TRUE(ScrollTargetLine(surface, picture, offset, row.interval, "Bonjour"));
        EXPECT_EQ(offset, 100 - row.step) << row.interval;
        const QImage &shown = surface.Shown();
        EXPECT_TRUE(Yellow(shown.pixel(offset, 5)));
        EXPECT_EQ(shown.pixel(offset - 1, 5), qRgb(0, 0, 0)) << "the previous tick's picture is wiped";
        EXPECT_EQ(shown.pixel(offset + 30, 5), qRgb(0, 0, 0));
    }
}

TEST(ScrollingTick, StopsOnTheTickThatPassesMinusTheTextWidth)
{
    TDXDraw surface(nullptr, QSize(705, 33));
    DrawLessonFirstLine(surface, "x"); // the line's font becomes the canvas's current font
    // A text of odd width, so that 2-pixel steps from 0 jump over -w and stop at -w - 1.
    std::string text = "B";
    while (surface.Canvas().TextWidth(text) % 2 == 0)
        text += 'i';
    const int width = surface.Canvas().TextWidth(text);
    ASSERT_GT(width, 5);
    int offset = 0;
    int ticks = 0;
    while (ScrollTargetLine(surface, QImage(), offset, 40, text)) {
        ++ticks;
        ASSERT_GT(offset, -width) << "still scrolling only while the text is partly in view";
    }
    EXPECT_EQ(offset, -width - 1);
    EXPECT_EQ(ticks, (width + 1) / 2 - 1);
    // At 1 pixel a tick, it stops exactly on -w.
    offset = 0;
    while (ScrollTargetLine(surface, QImage(), offset, 60, text)) {
    }
    EXPECT_EQ(offset, -width);
}

TEST(ScrollingTick, ASurfaceThatCannotBeDrawnChangesNothing)
{
    TDXDraw surface(nullptr, QSize(705, 33));
    DrawLessonFirstLine(surface, "Bonjour");
    surface.Finalize();
    int offset = 7;
    EXPECT_TRUE(ScrollTargetLine(surface, QImage(), offset, 40, ""));
    EXPECT_EQ(offset, 7);
    EXPECT_GE(Columns(surface.Shown(), Yellow).first, 0) << "the line last shown stays";
}

// The line kept from key to key redraws only the columns a key changes; what shows must stay what the whole line
// shows after every key, whatever the characters: kerned pairs, overhanging letters, accents, signs without a
// key, a tab (which stops relative to the line's start), a line longer than the surface, or longer than what is
// ever drawn of it.
TEST(TargetLine, ALineKeptFromKeyToKeyShowsWhatTheWholeLineShows)
{
    std::string huge;
    while (huge.size() < 1500)
        huge += "Va-t'en, Tom ! ";
    const std::string lines[] = {
        "Le Z\xE8"
        "bre a 2 ailes ? AVATAR, To, Wy, fjord ; M\xEAme \xE7"
        "a : \xE9t\xE9, No\xEBl, x\xB2 # 5 \x80 fin.",
        "Un\tdeux trois",
        huge,
    };
    for (const std::string &target : lines) {
        SCOPED_TRACE(target.substr(0, 20));
        TDXDraw kept(nullptr, QSize(705, 33));
        TDXDraw whole(nullptr, QSize(705, 33));
        TargetLine line(kept);
        line.DrawFirstLine(target);
        DrawLessonFirstLine(whole, target);
        ASSERT_TRUE(kept.Shown() == whole.Shown()) << "the lesson's first drawing";
        for (std::size_t typed = 1; typed <= std::min<std::size_t>(target.size(), 160); ++typed) {
            line.Draw(target.substr(0, typed), target);
            DrawTargetLine(whole, target.substr(0, typed), target);
            ASSERT_TRUE(kept.Shown() == whole.Shown()) << typed << " characters typed";
        }
        // Typed past what is ever drawn of the line, then the line started again: from the beginning, whole.
        for (const std::size_t typed : {std::min<std::size_t>(target.size(), 1400), std::size_t{0}, std::size_t{1}}) {
            line.Draw(target.substr(0, typed), target);
            DrawTargetLine(whole, target.substr(0, typed), target);
            ASSERT_TRUE(kept.Shown() == whole.Shown()) << typed << " characters typed";
        }
    }
}

// Another line on the same surface, or something else drawn on it in between, gives a whole line again.
TEST(TargetLine, ANewLineOrAnotherDrawingGivesTheWholeLine)
{
    TDXDraw kept(nullptr, QSize(705, 33));
    TDXDraw whole(nullptr, QSize(705, 33));
    TargetLine line(kept);
    line.Draw("Bon", "Bonjour");
    line.Draw("Bonj", "Bonjour Paul");
    DrawTargetLine(whole, "Bonj", "Bonjour Paul");
    EXPECT_TRUE(kept.Shown() == whole.Shown()) << "another line";
    DrawHiddenLine(kept, "cach\xE9");
    line.Draw("Bonjo", "Bonjour Paul");
    DrawTargetLine(whole, "Bonjo", "Bonjour Paul");
    EXPECT_TRUE(kept.Shown() == whole.Shown()) << "after a hidden line";
}
