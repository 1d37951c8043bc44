#include <gtest/gtest.h>

#include "guide/TargetLine.h"
#include "platform/TDXDraw.h"

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
