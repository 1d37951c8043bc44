#pragma once

#include "guide/KeyMap.h"

class TDXDraw;
class TDXImageList;

// The keyboard guide: for the next character to type, the keyboard picture, the marks it needs (both Shift keys,
// the "^" dead key, an outline around its own key) and the semi-transparent hand pictures with the finger to use
// on the key. Every guide is drawn from scratch; none of these functions presents the surface.

// The keyboard picture is item 12 of the picture list; it is drawn opaque with its top-left corner at (-1, -1)
// so that it covers the whole keyboard surface.
constexpr int KeyboardPictureIndex = 12;

// Draws the bare keyboard on the surface's canvas, wiping out whatever the surface showed.
void DrawKeyboardPicture(TDXDraw &surface, const TDXImageList &pictures);

// A yellow disc with a red rim, 12 pixels across, on the code's key.
void DrawKeyMarker(TDXDraw &surface, const keymap::KeyCentres &centres, unsigned char code);

// A yellow rounded outline around the character's key, from 8 pixels left of and above its centre to 11 right
// of and 12 below it; the inside is left as it is.
void DrawKeyOutline(TDXDraw &surface, const keymap::KeyCentres &centres, unsigned char ch);

// The whole guide for ch with the hands drawn at the given opacity (0 invisible, 255 opaque). A character
// without a key gives the bare keyboard.
void DrawKeyboardGuide(TDXDraw &surface, const TDXImageList &pictures, const keymap::KeyCentres &centres,
                       unsigned char ch, int handOpacity);
