#include "guide/KeyboardGuide.h"

#include "platform/drawing/Colour.h"
#include "platform/drawing/TDXDraw.h"
#include "platform/drawing/TDXImageList.h"

using namespace keymap;

namespace {

constexpr unsigned char DeadCircumflex = '^';
constexpr unsigned char Diaeresis = 0xA8;

// The canvas with its pen (2 pixels wide) and brush set for a mark.
DrawCanvas &MarkPen(TDXDraw &surface, std::uint32_t pen, std::uint32_t brush, bool filled)
{
    DrawCanvas &canvas = surface.Canvas();
    canvas.Pen.Color = pen;
    canvas.Pen.Width = 2;
    canvas.Brush.Color = brush;
    canvas.Brush.Solid = filled;
    return canvas;
}

void DrawFinger(TDXDraw &surface, const TDXImageList &pictures, KeyPoint centre, Placement placement, int opacity)
{
    surface.DrawAlpha(centre.x + placement.dx, centre.y + placement.dy, pictures.Items(placement.Item), opacity);
}

} // namespace

void DrawKeyboardPicture(TDXDraw &surface, const TDXImageList &pictures)
{
    surface.Canvas().Draw(-1, -1, pictures.Items(KeyboardPictureIndex).Picture);
}

void DrawKeyMarker(TDXDraw &surface, const KeyCentres &centres, unsigned char code)
{
    const KeyPoint centre = centres(code);
    MarkPen(surface, colours::Red, colours::Yellow, true)
        .Ellipse(centre.x - 6, centre.y - 6, centre.x + 6, centre.y + 6);
}

void DrawKeyOutline(TDXDraw &surface, const KeyCentres &centres, unsigned char ch)
{
    const KeyPoint centre = centres(ch);
    MarkPen(surface, colours::Yellow, colours::Grey, false)
        .RoundRect(centre.x - 8, centre.y - 8, centre.x + 11, centre.y + 12, 5, 6);
}

void DrawKeyboardGuide(TDXDraw &surface, const TDXImageList &pictures, const KeyCentres &centres, unsigned char ch,
                       int handOpacity)
{
    DrawKeyboardPicture(surface, pictures);
    if (ShiftCharacters(ch)) {
        DrawKeyMarker(surface, centres, LeftShiftKey);
        DrawKeyMarker(surface, centres, RightShiftKey);
    }
    if (DeadKeyCharacters(ch))
        DrawKeyMarker(surface, centres, DeadCircumflex);
    if (OutlinedCharacters(ch))
        DrawKeyOutline(surface, centres, ch);
    // The hands are written straight into the pixels, after the canvas has let go of them.
    surface.ReleaseCanvas();
    const KeyPoint centre = centres(ch);
    const Placements placements = FingerPlacement(ch);
    for (int i = 0; i < placements.Count; ++i)
        DrawFinger(surface, pictures, centre, placements.Items[static_cast<std::size_t>(i)], handOpacity);
    // The dead key is struck first, then the space bar: the left thumb shows on the space bar too.
    if (ch == DeadCircumflex || ch == Diaeresis)
        DrawFinger(surface, pictures, centres(' '), FingerOffset(PouceG), handOpacity);
}
