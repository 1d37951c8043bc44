#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include <QImage>
#include <QRect>

#include "guide/KeyMap.h"
#include "guide/LayoutKeys.h"

class TDXDraw;
class TDXImageList;

// The keyboard guide: for the next character to type, the keyboard picture, the marks it needs (both Shift keys,
// AltGr, the dead key, an outline around its own key) and the semi-transparent hand pictures with the finger to use
// on the key. The functions draw a guide from scratch; none of them presents the surface.

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
// the keyboard does not type gives the bare keyboard. With `keys`, the guide is another keyboard's: its keys, marks
// and fingers (the Shift keys, AltGr and the space bar stay where they are); without, the French AZERTY's own
// (keymap::GuideFactsOf).
void DrawKeyboardGuide(TDXDraw &surface, const TDXImageList &pictures, const keymap::KeyCentres &centres,
                       unsigned char ch, int handOpacity, const keymap::LayoutKeys *keys = nullptr);

// The guide kept on one surface from one key to the next. The first guide is drawn whole and the bare keyboard
// kept aside; after it, only the rectangles that an earlier guide's marks and hands covered are copied back from
// the bare keyboard before the new marks and hands are drawn. The surface's two pictures are both kept track
// of: after a present, the next guide is drawn over the one shown before it, which the surface still holds, so
// that nothing is copied from one picture to the other, and only the rectangles that differ from what is shown
// are painted again. The surface holds, pixel for pixel, what DrawKeyboardGuide draws; whatever else draws on
// or presents the surface in between makes the next guide a whole one again.
class KeyboardGuide
{
public:
    KeyboardGuide(TDXDraw &surface, const TDXImageList &pictures, const keymap::KeyCentres &centres);

    // Draws the guide for ch, not presented.
    void Draw(unsigned char ch, int handOpacity);
    // Presents the guide drawn last.
    void Present();
    // From the next guide on, another keyboard's keys, marks and fingers (nullptr: the French AZERTY's own). The
    // caller keeps them, and puts that keyboard's picture in the picture list.
    void UseKeyboard(const keymap::LayoutKeys *keys);

private:
    // Where a hand picture's visible pixels lie: bands of a few rows, each as wide as the pixels in it.
    const std::vector<QRect> &Cover(int item);
    void DrawOverBareKeyboard(unsigned char ch, int handOpacity);
    bool Tracked() const;

    TDXDraw &m_surface;
    const TDXImageList &m_pictures;
    const keymap::KeyCentres &m_centres;
    const keymap::LayoutKeys *m_keys = nullptr;
    QImage m_bare;
    qint64 m_bareSource = 0;
    std::array<std::vector<QRect>, keymap::AuriculaireD + 1> m_covers;
    std::array<qint64, keymap::AuriculaireD + 1> m_coverSources{};
    // What differs from the bare keyboard: in the guide drawn last, in the picture shown, and in the one the
    // surface holds behind it after a present. The surface's change count when this was last true.
    std::vector<QRect> m_covered;
    std::vector<QRect> m_shown;
    std::vector<QRect> m_behind;
    bool m_behindKnown = false;
    bool m_tracked = false;
    std::uint64_t m_changesAt = 0;
    // Whether the surface was presented since the last guide, and whether that guide was drawn whole.
    bool m_presented = false;
    bool m_whole = false;
};
