#pragma once

#include <array>

#include <QImage>
#include <QPainter>
#include <QRect>

#include "platform/input/KeyboardLayouts.h"

// The two small hands beside the main window's keyboard, in its background picture: each fingertip rests on a disc
// with the letter of its home-row key (the keys at scan codes 0x1E to 0x21 and 0x24 to 0x27) as a capital, each
// thumb on a disc with the space bar's sign. The asset generator draws the hands and the discs with the French
// AZERTY's letters; the main window draws another keyboard's discs over them, at the same places.
namespace homerow {

// The hands' pictures (keymap's finger pictures, whole hand) are drawn at this share of their size, their top-left
// corners at these points of the main window.
constexpr double Scale = 0.4;
constexpr QPointF LeftHandAt(3, 392);
constexpr QPointF RightHandAt(719, 392);

// Draws the ten discs whole, the letters those of `table`'s home row.
void DrawDiscs(QPainter &painter, const layouts::TypingTable &table);
// Draws `table`'s letters on the eight fingers' discs already drawn: each disc's inside again, then its letter, so
// that the rings stay as drawn.
void DrawLetters(QPainter &painter, const layouts::TypingTable &table);

// The letters of the hands in the main window's background follow the learner's keyboard. The background as drawn
// holds the French AZERTY's; what lies under the letters' discs is kept the first time another keyboard's are drawn,
// and put back before each other keyboard's, so that the French AZERTY gets its own picture back exactly.
class HandLetters
{
public:
    // `background` is the main window's, as drawn or as this last left it.
    void Show(QImage &background, layouts::Layout layout);

private:
    // What the letters' discs of each hand cover.
    static std::array<QRect, 2> Areas();

    std::array<QImage, 2> m_drawn;
    layouts::Layout m_shown = layouts::Layout::FrenchAzerty;
};

} // namespace homerow
