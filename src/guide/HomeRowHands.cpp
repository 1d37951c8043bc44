#include "guide/HomeRowHands.h"

#include <algorithm>
#include <cstdint>

#include <QFont>

#include "guide/KeyMap.h"
#include "platform/text/Cp1252.h"

namespace homerow {

namespace {

struct Disc {
    QPointF Centre;
    double Radius = 0;
    std::uint8_t Scan = 0; // the space bar for a thumb
};

constexpr double FingerRadius = 5.5;
constexpr double ThumbRadius = 7;
constexpr std::uint8_t SpaceScan = 0x39;

// Each hand's discs from its little finger to its thumb: the left hand's keys go from 0x1E to 0x21, the right
// hand's from 0x27 down to 0x24. Each disc sits on its fingertip, within the hand's picture.
std::array<Disc, 10> Discs()
{
    std::array<Disc, 10> discs;
    for (int side = 0; side < 2; ++side) {
        const bool left = side == 0;
        const QPointF origin = left ? LeftHandAt : RightHandAt;
        const int fingers[5] = {left ? keymap::AuriculaireG : keymap::AuriculaireD,
                                left ? keymap::AnnuaireG : keymap::AnnuaireD, left ? keymap::MajeurG : keymap::MajeurD,
                                left ? keymap::IndexG : keymap::IndexD, left ? keymap::PouceG : keymap::PouceD};
        for (int i = 0; i < 5; ++i) {
            const keymap::Placement offset = keymap::FingerOffset(fingers[i]);
            QPointF tip = origin + QPointF(-offset.dx, -offset.dy) * Scale;
            tip.setX(std::clamp(tip.x(), origin.x() + 5, origin.x() + keymap::FingerPictureWidth * Scale - 5));
            const auto scan = static_cast<std::uint8_t>(i == 4 ? SpaceScan : left ? 0x1E + i : 0x27 - i);
            discs[static_cast<std::size_t>(5 * side + i)] = {tip, i == 4 ? ThumbRadius : FingerRadius, scan};
        }
    }
    return discs;
}

// The capital of the key's own character; the open box for the space bar; nothing for a key that gives no
// character by itself (a dead key).
QString Letter(const layouts::TypingTable &table, std::uint8_t scan)
{
    if (scan == SpaceScan)
        return QStringLiteral("\u2423");
    const unsigned char ch = layouts::CharacterAt(table, {scan, 0});
    return ch == 0 ? QString() : QString(cp1252::ToUnicode(ch)).toUpper();
}

// A capital with an accent above (É, È): at this size the accent reaches the ring, unless the letter goes a pixel
// lower.
bool AccentAbove(const QString &letter)
{
    const QString parts = letter.normalized(QString::NormalizationForm_D);
    return parts.size() == 2 && parts[1].unicode() >= 0x300 && parts[1].unicode() <= 0x314;
}

const QColor Ring(196, 30, 30);
const QColor Inside(255, 255, 160);
const QColor Ink(120, 0, 0);

void Draw(QPainter &painter, const layouts::TypingTable &table, bool whole)
{
    painter.save();
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(8);
    font.setBold(true);
    painter.setFont(font);
    for (const Disc &disc : Discs()) {
        if (disc.Scan == SpaceScan && !whole)
            continue;
        const double r = disc.Radius;
        if (whole) {
            painter.setPen(QPen(Ring, 1));
            painter.setBrush(Inside);
            painter.drawEllipse(disc.Centre, r, r);
        } else {
            // Within the ring's inner edge.
            painter.setPen(Qt::NoPen);
            painter.setBrush(Inside);
            painter.drawEllipse(disc.Centre, r - 0.5, r - 0.5);
        }
        painter.setPen(Ink);
        const QString letter = Letter(table, disc.Scan);
        const double lower = AccentAbove(letter) ? 1 : 0;
        painter.drawText(QRectF(disc.Centre.x() - r, disc.Centre.y() - r + lower, 2 * r, 2 * r), Qt::AlignCenter,
                         letter);
    }
    painter.restore();
}

} // namespace

void DrawDiscs(QPainter &painter, const layouts::TypingTable &table)
{
    Draw(painter, table, true);
}

void DrawLetters(QPainter &painter, const layouts::TypingTable &table)
{
    Draw(painter, table, false);
}

std::array<QRect, 2> HandLetters::Areas()
{
    std::array<QRectF, 2> areas;
    const std::array<Disc, 10> discs = Discs();
    for (std::size_t i = 0; i < discs.size(); ++i) {
        const Disc &disc = discs[i];
        if (disc.Scan == SpaceScan)
            continue;
        // The pen's half width and the edge's smoothing around each disc.
        const double r = disc.Radius + 2;
        areas[i / 5] |= QRectF(disc.Centre.x() - r, disc.Centre.y() - r, 2 * r, 2 * r);
    }
    return {areas[0].toAlignedRect(), areas[1].toAlignedRect()};
}

void HandLetters::Show(QImage &background, layouts::Layout layout)
{
    if (layout == m_shown || background.isNull())
        return;
    const std::array<QRect, 2> areas = Areas();
    if (m_drawn[0].isNull())
        for (std::size_t i = 0; i < areas.size(); ++i)
            m_drawn[i] = background.copy(areas[i]);
    QPainter painter(&background);
    for (std::size_t i = 0; i < areas.size(); ++i)
        painter.drawImage(areas[i].topLeft(), m_drawn[i]);
    if (layout != layouts::Layout::FrenchAzerty) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        DrawLetters(painter, layouts::TableOf(layout));
    }
    m_shown = layout;
}

} // namespace homerow
