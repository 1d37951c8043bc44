// The program icon: an orange key cap bearing a "T", drawn large enough to be smooth, then reduced to the
// sixteen colours of a classic icon, one of which is see-through. The desktop's icons are the same key cap drawn
// at each size in full colour, its outlines kept one pixel wide.

#include "AssetGen.h"
#include "Quantise.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace assetgen {

namespace {

// The key cap, designed on a 32-pixel grid, drawn at `size` pixels.
QImage DrawKeyCap(int size)
{
    QImage canvas(size, size, QImage::Format_ARGB32);
    canvas.fill(Qt::transparent);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal scale = size / 32.0;
    p.scale(scale, scale);
    // Outlines stay one pixel wide at every size, so small icons keep their edges and large ones stay fine.
    const qreal line = 1.0 / scale;

    QLinearGradient skirt(0, 2, 0, 31);
    skirt.setColorAt(0, QColor(250, 165, 35));
    skirt.setColorAt(1, QColor(185, 85, 10));
    p.setBrush(skirt);
    p.setPen(QPen(QColor(85, 35, 5), line));
    p.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 5, 5);

    QLinearGradient top(0, 3, 0, 25);
    top.setColorAt(0, QColor(255, 245, 165));
    top.setColorAt(1, QColor(252, 205, 65));
    p.setBrush(top);
    p.setPen(QPen(QColor(215, 125, 20), line));
    p.drawRoundedRect(QRectF(5.5, 3.5, 21, 20), 3.5, 3.5);

    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(20);
    font.setBold(true);
    QPainterPath letter;
    letter.addText(0, 0, font, QStringLiteral("T"));
    const QRectF bounds = letter.boundingRect();
    letter.translate(16 - bounds.center().x(), 13.5 - bounds.center().y());
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 50, 10));
    p.drawPath(letter);
    return canvas;
}

} // namespace

QImage DrawIcon()
{
    const QImage drawn = DrawKeyCap(32);
    constexpr int Opaque = 128; // the icon's mask has one bit: half-covered pixels count as painted

    ColourCounts counts;
    counts.Add(drawn, Opaque);
    QVector<QRgb> palette{qRgba(0, 0, 0, 0)};
    for (QRgb colour : MedianCut(counts, 15))
        palette.push_back(colour);
    NearestColour nearest(palette, 1);

    QImage icon(32, 32, QImage::Format_Indexed8);
    icon.setColorTable(palette);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const QRgb pixel = drawn.pixel(x, y);
            icon.setPixel(x, y, qAlpha(pixel) < Opaque ? 0 : static_cast<uint>(nearest(pixel)));
        }
    return icon;
}

QImage DrawDesktopIcon(int size)
{
    return DrawKeyCap(size);
}

} // namespace assetgen
