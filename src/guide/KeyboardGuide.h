#pragma once

class TDXDraw;
class TDXImageList;

// The keyboard picture is item 12 of the picture list; it is drawn opaque with its top-left corner at (-1, -1)
// so that it covers the whole keyboard surface.
constexpr int KeyboardPictureIndex = 12;

// Draws the bare keyboard on the surface's canvas, wiping out whatever the surface showed. Does not present.
void DrawKeyboardPicture(TDXDraw &surface, const TDXImageList &pictures);
