#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include <QColor>
#include <QImage>

#include "guide/KeyMap.h"

class TDXDraw;
class TDXImageList;

// The keyboard picture a window shows with some keys marked, for the learner to see which keys a list speaks of.
// It is drawn full size on a surface of its own that is never shown and belongs to no window, so that assistive
// tools never meet it; the window shows a copy. Each drawing starts again from the bare keyboard.
class KeyboardPicture
{
public:
    // The size of the keyboard surface, and of every picture drawn.
    static constexpr int Width = 632;
    static constexpr int Height = 248;

    // A key tinted: any one of its characters, and the colour its white cap turns to. The key's letters stay dark.
    struct Tint {
        unsigned char Key = 0;
        QColor Colour;
    };
    // The marks, drawn in this order: yellow outlines around the keys of the characters, marker discs on them,
    // then the tints. A character without a key marks nothing on the picture.
    struct Marks {
        std::string_view Outlined;
        std::string_view Marked;
        std::vector<Tint> Tinted;
    };

    KeyboardPicture(const TDXImageList &pictures, const keymap::KeyCentres &centres);
    ~KeyboardPicture();

    QImage Draw(const Marks &marks);

private:
    const TDXImageList &m_pictures;
    const keymap::KeyCentres &m_centres;
    std::unique_ptr<TDXDraw> m_surface;
};
