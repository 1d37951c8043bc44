#include <string>

#include <gtest/gtest.h>

#include "platform/drawing/TDXDraw.h"
#include "platform/drawing/TDXImageList.h"

// The drawing surface as the guide and the target line use it: what reaches the shown picture, and how a list
// picture is laid over what is already there.

namespace {

constexpr std::uint32_t White = 0xFFFFFF;

// A list picture of the given size, every pixel the given colour, except a white column at x = 0.
TDXImageList::Item Picture(QSize size, QRgb colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    for (int y = 0; y < size.height(); ++y)
        image.setPixel(0, y, qRgb(255, 255, 255));
    TDXImageList list;
    list.Add(QStringLiteral("p.bmp"), White, image);
    return list.Items(0);
}

QRgb At(const TDXDraw &surface, int x, int y)
{
    return surface.Surface().pixel(x, y) & 0xFFFFFF;
}

} // namespace

TEST(DrawSurface, AlphaDrawBlendsEachChannelBySourceTimesAlpha)
{
    TDXDraw surface(nullptr, QSize(40, 20));
    surface.Fill(White);
    // A dark hand pixel of 60 over a white key at 204: (60 x 204 + 255 x 51) >> 8 = 98.
    surface.DrawAlpha(10, 5, Picture(QSize(4, 4), qRgb(60, 60, 60)), 204);
    EXPECT_EQ(At(surface, 12, 6), qRgb(98, 98, 98) & 0xFFFFFF);

    // Channels blend independently: red 200 over blue-ish (10, 20, 250) at 128.
    surface.Fill(0xFA140A); // 0x00BBGGRR: red 10, green 20, blue 250
    surface.DrawAlpha(0, 0, Picture(QSize(5, 5), qRgb(200, 100, 0)), 128);
    EXPECT_EQ(qRed(At(surface, 3, 3)), (200 * 128 + 10 * 127) >> 8);
    EXPECT_EQ(qGreen(At(surface, 3, 3)), (100 * 128 + 20 * 127) >> 8);
    EXPECT_EQ(qBlue(At(surface, 3, 3)), (0 * 128 + 250 * 127) >> 8);

    // Alpha 254 still blends, and the shift truncates: 254 over black gives (254 x 254) >> 8 = 252, not 253.
    surface.Fill(0);
    surface.DrawAlpha(0, 0, Picture(QSize(3, 3), qRgb(254, 254, 254)), 254);
    EXPECT_EQ(At(surface, 1, 1), qRgb(252, 252, 252) & 0xFFFFFF);
}

TEST(DrawSurface, AlphaBoundsAndTransparentPixels)
{
    TDXDraw surface(nullptr, QSize(20, 20));
    const TDXImageList::Item dark = Picture(QSize(6, 6), qRgb(30, 40, 50));
    for (const int alpha : {0, -5}) {
        surface.Fill(0x112233);
        surface.DrawAlpha(2, 2, dark, alpha);
        EXPECT_EQ(At(surface, 4, 4), qRgb(0x33, 0x22, 0x11) & 0xFFFFFF) << "alpha " << alpha << " draws nothing";
    }
    for (const int alpha : {255, 300}) {
        surface.Fill(0x112233);
        surface.DrawAlpha(2, 2, dark, alpha);
        EXPECT_EQ(At(surface, 4, 4), qRgb(30, 40, 50) & 0xFFFFFF) << "alpha " << alpha << " copies";
        EXPECT_EQ(At(surface, 2, 4), qRgb(0x33, 0x22, 0x11) & 0xFFFFFF) << "the white column stays unseen";
        EXPECT_EQ(At(surface, 8, 4), qRgb(0x33, 0x22, 0x11) & 0xFFFFFF) << "nothing beyond the picture";
    }
    surface.Fill(0x112233);
    surface.DrawAlpha(2, 2, dark, 100);
    EXPECT_EQ(At(surface, 2, 2), qRgb(0x33, 0x22, 0x11) & 0xFFFFFF) << "transparent pixels skip the blend too";

    // Another transparent colour: the list item says which one.
    TDXImageList list;
    QImage black(4, 4, QImage::Format_RGB32);
    black.fill(Qt::black);
    list.Add(QStringLiteral("k.bmp"), 0, black);
    surface.Fill(White);
    surface.DrawAlpha(0, 0, list.Items(0), 255);
    EXPECT_EQ(At(surface, 1, 1), qRgb(255, 255, 255) & 0xFFFFFF);
}

TEST(DrawSurface, PalettePicturesDrawAsTheir32BitCopies)
{
    // Wider than a stretch of the palette expansion, with the transparent white among the colours.
    QImage indexed(300, 7, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(255, 255, 255), qRgb(60, 30, 200), qRgb(250, 120, 10), qRgb(0, 0, 0)});
    for (int y = 0; y < indexed.height(); ++y)
        for (int x = 0; x < indexed.width(); ++x)
            indexed.setPixel(x, y, static_cast<uint>((x * 7 + y * 3) % 4));
    TDXImageList list;
    list.Add(QStringLiteral("palette.bmp"), White, indexed);
    list.Add(QStringLiteral("copy.bmp"), White, indexed.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(list.Items(0).Picture.format(), QImage::Format_Indexed8) << "kept at one byte a pixel";
    for (const int alpha : {255, 128, 1}) {
        for (const QPoint at : {QPoint(3, 2), QPoint(-20, -3), QPoint(100, 5)}) {
            TDXDraw drawn(nullptr, QSize(320, 12));
            TDXDraw expected(nullptr, QSize(320, 12));
            drawn.Fill(0x336699);
            expected.Fill(0x336699);
            drawn.DrawAlpha(at.x(), at.y(), list.Items(0), alpha);
            expected.DrawAlpha(at.x(), at.y(), list.Items(1), alpha);
            EXPECT_EQ(drawn.Surface(), expected.Surface()) << "alpha " << alpha << " at " << at.x() << "," << at.y();
        }
    }
}

TEST(DrawSurface, PicturesAreClippedAtEveryEdge)
{
    TDXDraw surface(nullptr, QSize(20, 10));
    const TDXImageList::Item picture = Picture(QSize(8, 8), qRgb(200, 0, 0));
    const QRgb red = qRgb(200, 0, 0) & 0xFFFFFF;
    const QRgb black = 0;
    struct Case {
        int x, y;
        QPoint inside, outside;
    };
    // Past the left, top, right and bottom edges, and a corner: the part within shows at the right place.
    const Case cases[] = {{-5, 1, {2, 3}, {3, 3}},
                          {3, -6, {5, 1}, {5, 2}},
                          {15, 1, {19, 3}, {14, 3}},
                          {3, 6, {5, 9}, {5, 5}},
                          {-6, -6, {1, 1}, {2, 2}}};
    for (const Case &c : cases) {
        surface.Fill(0);
        surface.DrawAlpha(c.x, c.y, picture, 255);
        EXPECT_EQ(At(surface, c.inside.x(), c.inside.y()), red) << c.x << "," << c.y;
        EXPECT_EQ(At(surface, c.outside.x(), c.outside.y()), black) << c.x << "," << c.y;
    }
    // Wholly outside, as a key that does not exist: nothing at all, and no failure.
    surface.Fill(0);
    surface.DrawAlpha(-100, -100, picture, 255);
    surface.DrawAlpha(20, 0, picture, 255);
    surface.DrawAlpha(0, 10, picture, 128);
    surface.Canvas().Ellipse(-106, -106, -94, -94);
    surface.ReleaseCanvas();
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(At(surface, x, y), black) << x << "," << y;
}

TEST(DrawSurface, OnlyThePresentShowsTheDrawingAndRepaintsKeepIt)
{
    TDXDraw surface(nullptr, QSize(30, 30));
    surface.resize(30, 30);
    surface.Fill(0x0000FF); // 0x00BBGGRR: red
    EXPECT_EQ(surface.Shown().pixel(5, 5) & 0xFFFFFF, 0u) << "still black until presented";
    surface.Flip();
    EXPECT_EQ(surface.Shown().pixel(5, 5) & 0xFFFFFF, qRgb(255, 0, 0) & 0xFFFFFF);
    EXPECT_EQ(surface.grab().toImage().pixel(5, 5) & 0xFFFFFF, qRgb(255, 0, 0) & 0xFFFFFF) << "the control paints it";

    // Drawing after a present goes to the surface only; the shown picture is not touched by it.
    surface.Fill(0xFF0000);
    surface.DrawAlpha(0, 0, Picture(QSize(4, 4), qRgb(0, 255, 0)), 255);
    EXPECT_EQ(surface.Shown().pixel(5, 5) & 0xFFFFFF, qRgb(255, 0, 0) & 0xFFFFFF);
    EXPECT_EQ(surface.grab().toImage().pixel(2, 2) & 0xFFFFFF, qRgb(255, 0, 0) & 0xFFFFFF);
    surface.Flip();
    EXPECT_EQ(surface.grab().toImage().pixel(2, 2) & 0xFFFFFF, qRgb(0, 255, 0) & 0xFFFFFF);
    EXPECT_EQ(surface.grab().toImage().pixel(20, 20) & 0xFFFFFF, qRgb(0, 0, 255) & 0xFFFFFF);

    // Canvas drawing after a present leaves the shown picture alone as well.
    surface.Canvas().Brush.Color = 0xFFFFFF;
    surface.Canvas().Ellipse(0, 0, 30, 30);
    surface.ReleaseCanvas();
    EXPECT_EQ(surface.Surface().pixel(15, 15) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(surface.Shown().pixel(15, 15) & 0xFFFFFF, qRgb(0, 0, 255) & 0xFFFFFF);
}

TEST(DrawSurface, ASurfaceThatCannotBeDrawnIgnoresEverything)
{
    TDXDraw surface(nullptr, QSize(10, 10));
    surface.Fill(0xFFFFFF);
    surface.Flip();
    surface.Finalize();
    EXPECT_FALSE(surface.CanDraw());
    surface.Fill(0);
    surface.Canvas().TextOut(0, 0, "abc");
    surface.Canvas().Ellipse(0, 0, 8, 8);
    surface.DrawAlpha(0, 0, Picture(QSize(4, 4), qRgb(0, 0, 0)), 255);
    surface.Flip();
    EXPECT_EQ(surface.Shown().pixel(5, 5) & 0xFFFFFF, 0xFFFFFFu) << "the last presented picture stays";
    surface.Initialize();
    EXPECT_TRUE(surface.CanDraw());
    EXPECT_EQ(surface.Surface().pixel(5, 5) & 0xFFFFFF, 0u) << "black when initialised";
}

TEST(DrawSurface, MarkerShapesUseThePenAndBrushAsSet)
{
    TDXDraw surface(nullptr, QSize(60, 40));
    surface.Fill(0x808080);
    DrawCanvas &canvas = surface.Canvas();
    canvas.Pen.Color = 0x0000FF;
    canvas.Pen.Width = 2;
    canvas.Brush.Color = 0x00FFFF;
    canvas.Brush.Solid = true;
    canvas.Ellipse(4, 4, 16, 16);
    canvas.Pen.Color = 0x00FFFF;
    canvas.Brush.Solid = false;
    canvas.RoundRect(30, 10, 49, 30, 5, 6);
    surface.ReleaseCanvas();
    const QRgb yellow = qRgb(255, 255, 0) & 0xFFFFFF;
    const QRgb red = qRgb(255, 0, 0) & 0xFFFFFF;
    const QRgb grey = qRgb(128, 128, 128) & 0xFFFFFF;
    EXPECT_EQ(At(surface, 10, 10), yellow) << "a filled disc";
    EXPECT_EQ(At(surface, 4, 10), red) << "with a red rim on its left";
    EXPECT_EQ(At(surface, 10, 15), red) << "and at its bottom, inside the excluded edge";
    EXPECT_EQ(At(surface, 17, 10), grey) << "nothing past the rectangle";
    EXPECT_EQ(At(surface, 39, 20), grey) << "the outline's inside is not filled";
    EXPECT_EQ(At(surface, 30, 20), yellow);
    EXPECT_EQ(At(surface, 48, 20), yellow);
    EXPECT_EQ(At(surface, 39, 10), yellow);
    EXPECT_EQ(At(surface, 39, 29), yellow);
    EXPECT_EQ(At(surface, 39, 32), grey);
}

TEST(DrawSurface, TextWithAndWithoutItsBackground)
{
    TDXDraw surface(nullptr, QSize(200, 33));
    DrawCanvas &canvas = surface.Canvas();
    canvas.Font.Name = QStringLiteral("Times new roman");
    canvas.Font.Size = 14;
    canvas.Font.Color = 0x00FFFF;
    const int width = canvas.TextWidth("H\xE9");
    EXPECT_GT(width, 15);
    EXPECT_LT(width, 40);
    EXPECT_GT(canvas.TextWidth("Hello"), width);
    EXPECT_EQ(canvas.TextWidth(""), 0);

    surface.Fill(0xFFFFFF);
    canvas.Brush.Solid = false;
    canvas.TextOut(0, 0, "..");
    surface.ReleaseCanvas();
    EXPECT_EQ(At(surface, 1, 1), 0xFFFFFFu) << "no background: the white shows between glyphs";

    surface.Fill(0xFFFFFF);
    canvas.Brush.Solid = true;
    canvas.Brush.Color = 0;
    canvas.TextOut(0, 0, "..");
    surface.ReleaseCanvas();
    EXPECT_EQ(At(surface, 1, 1), 0u) << "a solid brush paints the text's cell";
    EXPECT_EQ(At(surface, canvas.TextWidth("..") + 2, 1), 0xFFFFFFu) << "but only the cell";
}

// Drawing and presenting areas of the surface: the rest of the surface, and of what is shown, stays as it was.
TEST(DrawSurface, AreasAreDrawnAndPresentedAlone)
{
    TDXDraw surface(nullptr, QSize(40, 20));
    surface.Fill(0x0000FF);
    surface.Flip();
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(qRgb(0, 255, 0));
    surface.Fill(0xFF0000, QRect(2, 2, 5, 5));
    surface.CopyArea(picture, QRect(30, 10, 20, 20)); // cut at the edges
    surface.DrawAlpha(10, 10, Picture(QSize(8, 8), qRgb(60, 60, 60)), 255, QRect(4, 4, 4, 4));
    const QRgb red = qRgb(255, 0, 0) & 0xFFFFFF;
    const QRgb blue = qRgb(0, 0, 255) & 0xFFFFFF;
    const QRgb green = qRgb(0, 255, 0) & 0xFFFFFF;
    const QRgb grey = qRgb(60, 60, 60) & 0xFFFFFF;
    EXPECT_EQ(At(surface, 2, 2), blue);
    EXPECT_EQ(At(surface, 7, 7), red) << "nothing past the filled area";
    EXPECT_EQ(At(surface, 39, 19), green);
    EXPECT_EQ(At(surface, 29, 10), red) << "nothing before the copied area";
    EXPECT_EQ(At(surface, 14, 14), grey) << "the picture's rectangle, where it lies in the whole";
    EXPECT_EQ(At(surface, 13, 13), red) << "nothing of the picture outside its rectangle";

    surface.Flip({QRect(0, 0, 8, 8), QRect(28, 8, 20, 20)});
    const auto shown = [&](int x, int y) { return surface.Shown().pixel(x, y) & 0xFFFFFF; };
    EXPECT_EQ(shown(2, 2), blue);
    EXPECT_EQ(shown(35, 15), green);
    EXPECT_EQ(shown(14, 14), red) << "drawn, not presented yet";
    surface.Flip({QRect(12, 12, 8, 8)});
    EXPECT_EQ(shown(14, 14), grey);
    EXPECT_TRUE(surface.Shown() == surface.Surface());

    // A drawing presented whole can go on from the picture shown before it rather than from a copy of it.
    const QImage before = surface.Shown().copy();
    surface.Fill(0x00FF00);
    surface.FlipChanged({QRect(0, 0, 40, 20)});
    EXPECT_EQ(shown(5, 5), green);
    surface.ResumeFromPrevious();
    EXPECT_TRUE(surface.Surface() == before);
    EXPECT_EQ(shown(5, 5), green) << "what is shown stays";
}

// A text drawn within an area is the whole text's drawing cut at the area, for a whole line and for a beginning
// of it drawn after it, with and without the text's background.
TEST(DrawSurface, TextWithinAnAreaIsTheTextCutThere)
{
    const std::string line = "AVATAR, To Wy : fjord \xEAtre \xE0 No\xEBl ?";
    const struct {
        std::string text;
        bool background;
        QRect area;
    } rows[] = {{line, true, QRect(40, 0, 30, 33)},
                {line.substr(0, 9), true, QRect(50, 0, 40, 33)},
                {line.substr(0, 20), false, QRect(0, 5, 90, 10)},
                {line, false, QRect(150, 0, 400, 33)},
                {"Un\tdeux", true, QRect(10, 0, 60, 33)},
                {line.substr(0, 2), true, QRect(-10, -10, 20, 60)}};
    TDXDraw cut(nullptr, QSize(300, 33));
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text);
        TDXDraw whole(nullptr, QSize(300, 33));
        for (TDXDraw *surface : {&whole, &cut}) {
            surface->Fill(0x808080);
            DrawCanvas &canvas = surface->Canvas();
            canvas.Font.Name = QStringLiteral("Times new roman");
            canvas.Font.Size = 14;
            canvas.Font.Color = 0x00FFFF;
            canvas.Brush.Color = 0;
            canvas.Brush.Solid = row.background;
        }
        whole.Canvas().TextOut(3, 2, row.text);
        cut.Canvas().TextOut(3, 2, line, QRect(0, 0, 1, 1)); // the line laid out first, as the target line does
        cut.Fill(0x808080);
        cut.Canvas().TextOut(3, 2, row.text, row.area);
        whole.ReleaseCanvas();
        cut.ReleaseCanvas();
        for (int y = 0; y < 33; ++y)
            for (int x = 0; x < 300; ++x)
                ASSERT_EQ(At(cut, x, y), row.area.contains(x, y) ? At(whole, x, y) : 0x808080u) << x << "," << y;
    }
}
