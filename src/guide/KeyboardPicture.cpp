#include "guide/KeyboardPicture.h"

#include <QPainter>

#include "guide/KeyboardGuide.h"
#include "platform/drawing/TDXDraw.h"

namespace {

// A key cap on the keyboard picture, around its centre; the space bar is wider.
constexpr int KeyWidth = 20;
constexpr int KeyHeight = 18;
constexpr int SpaceBarWidth = 136;

} // namespace

KeyboardPicture::KeyboardPicture(const TDXImageList &pictures, const keymap::KeyCentres &centres)
    : m_pictures(pictures), m_centres(centres), m_surface(std::make_unique<TDXDraw>(nullptr, QSize(Width, Height)))
{
    m_surface->Initialize();
}

KeyboardPicture::~KeyboardPicture() = default;

QImage KeyboardPicture::Draw(const Marks &marks)
{
    DrawKeyboardPicture(*m_surface, m_pictures);
    for (const char c : marks.Outlined)
        DrawKeyOutline(*m_surface, m_centres, static_cast<unsigned char>(c));
    for (const char c : marks.Marked)
        DrawKeyMarker(*m_surface, m_centres, static_cast<unsigned char>(c));
    m_surface->ReleaseCanvas();
    QImage picture = m_surface->Surface();
    if (marks.Tinted.empty())
        return picture;
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    // Multiplying keeps the key's letters dark and turns its white cap into the tint.
    painter.setCompositionMode(QPainter::CompositionMode_Multiply);
    painter.setPen(Qt::NoPen);
    for (const Tint &tint : marks.Tinted) {
        const keymap::KeyPoint centre = m_centres(tint.Key);
        const int width = tint.Key == ' ' ? SpaceBarWidth : KeyWidth;
        painter.setBrush(tint.Colour);
        painter.drawRoundedRect(QRectF(centre.x - width / 2.0, centre.y - KeyHeight / 2.0, width, KeyHeight), 3, 3);
    }
    painter.end();
    return picture;
}
