// The main window's background: an orange frame around a warm yellow panel, flowers in the two upper corners,
// and the painted boxes on which the window's controls sit, each drawn around its control's rectangle.

#include "AssetGen.h"

#include <algorithm>
#include <cmath>

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "guide/HomeRowHands.h"
#include "guide/KeyMap.h"
#include "platform/input/KeyboardLayouts.h"

namespace assetgen {

namespace {

const QColor Orange(236, 122, 24);
const QColor DeepOrange(196, 84, 10);
const QColor Yellow(255, 214, 92);
const QColor Cream(255, 244, 196);

QFont PixelFont(const QString &family, int pixels, bool bold)
{
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// A box that seems pressed into the panel: dark rim above and to the left, light rim below and to the right.
void Recess(QPainter &p, const QRectF &box, qreal radius, const QColor &fill)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 56, 0, 110));
    p.drawRoundedRect(box.translated(-1, -1), radius, radius);
    p.setBrush(QColor(255, 255, 230, 160));
    p.drawRoundedRect(box.translated(1, 1), radius, radius);
    p.setBrush(fill);
    p.drawRoundedRect(box, radius, radius);
}

void Frame(QPainter &p)
{
    QLinearGradient outer(0, 0, 800, 600);
    outer.setColorAt(0, QColor(248, 150, 40));
    outer.setColorAt(0.5, Orange);
    outer.setColorAt(1, DeepOrange);
    p.fillRect(0, 0, 800, 600, outer);

    // A yellow band, then the panel itself.
    QPainterPath band;
    band.addRoundedRect(QRectF(6, 6, 788, 588), 18, 18);
    p.fillPath(band, Yellow);
    QLinearGradient panel(0, 12, 0, 588);
    panel.setColorAt(0, Cream);
    panel.setColorAt(0.45, QColor(255, 232, 150));
    panel.setColorAt(1, QColor(255, 200, 96));
    QPainterPath inner;
    inner.addRoundedRect(QRectF(12, 12, 776, 576), 14, 14);
    p.fillPath(inner, panel);
    p.setPen(QPen(DeepOrange, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(inner);
}

void Petal(QPainter &p, QPointF centre, qreal angle, qreal length, qreal width, const QColor &light, const QColor &dark)
{
    p.save();
    p.translate(centre);
    p.rotate(angle);
    QPainterPath petal;
    petal.moveTo(0, 0);
    petal.cubicTo(width, -length * 0.3, width * 0.8, -length, 0, -length);
    petal.cubicTo(-width * 0.8, -length, -width, -length * 0.3, 0, 0);
    QLinearGradient shade(0, 0, 0, -length);
    shade.setColorAt(0, dark);
    shade.setColorAt(1, light);
    p.setBrush(shade);
    p.setPen(QPen(dark.darker(130), 1));
    p.drawPath(petal);
    p.restore();
}

void Leaf(QPainter &p, QPointF base, qreal angle, qreal length)
{
    p.save();
    p.translate(base);
    p.rotate(angle);
    QPainterPath leaf;
    leaf.moveTo(0, 0);
    leaf.quadTo(length * 0.35, -length * 0.5, 0, -length);
    leaf.quadTo(-length * 0.35, -length * 0.5, 0, 0);
    QLinearGradient shade(-length * 0.3, 0, length * 0.3, 0);
    shade.setColorAt(0, QColor(60, 140, 40));
    shade.setColorAt(1, QColor(130, 196, 70));
    p.setBrush(shade);
    p.setPen(QPen(QColor(40, 100, 30), 1));
    p.drawPath(leaf);
    p.setPen(QPen(QColor(40, 100, 30, 160), 1));
    p.drawLine(QPointF(0, 0), QPointF(0, -length * 0.9));
    p.restore();
}

void Flower(QPainter &p, QPointF centre, qreal size, int petals, const QColor &light, const QColor &dark, qreal turn)
{
    for (int i = 0; i < petals; ++i)
        Petal(p, centre, turn + 360.0 * i / petals, size, size * 0.42, light, dark);
    QRadialGradient heart(centre - QPointF(size * 0.08, size * 0.08), size * 0.3);
    heart.setColorAt(0, QColor(255, 240, 120));
    heart.setColorAt(1, QColor(220, 140, 20));
    p.setBrush(heart);
    p.setPen(QPen(QColor(170, 96, 10), 1));
    p.drawEllipse(centre, size * 0.26, size * 0.26);
}

// A bunch of flowers tucked into a corner; `mirror` draws the right-hand corner.
void Bouquet(QPainter &p, bool mirror)
{
    p.save();
    if (mirror) {
        p.translate(800, 0);
        p.scale(-1, 1);
    }
    Leaf(p, QPointF(70, 70), 120, 60);
    Leaf(p, QPointF(60, 80), 160, 54);
    Leaf(p, QPointF(110, 40), 100, 50);
    Leaf(p, QPointF(40, 100), 200, 44);
    Flower(p, QPointF(44, 42), 34, 6, QColor(255, 250, 250), QColor(236, 170, 190), 10);
    Flower(p, QPointF(112, 30), 24, 5, QColor(255, 120, 120), QColor(196, 30, 40), -8);
    Flower(p, QPointF(30, 112), 22, 5, QColor(250, 180, 255), QColor(170, 70, 190), 20);
    Flower(p, QPointF(150, 60), 13, 5, QColor(255, 255, 255), QColor(240, 190, 80), 30);
    Flower(p, QPointF(84, 92), 15, 5, QColor(255, 170, 90), QColor(220, 90, 20), 0);
    p.restore();
}

void CounterBox(QPainter &p, const QRect &label, const QString &caption)
{
    const QRectF box(label.left() - 11, label.top() - 32, label.width() + 22, label.height() + 42);
    Recess(p, box, 8, QColor(252, 176, 64));
    p.setPen(QColor(90, 40, 0));
    p.setFont(PixelFont(QStringLiteral("Liberation Sans"), 12, true));
    p.drawText(QRectF(box.left(), box.top() + 4, box.width(), 20), Qt::AlignCenter, caption);
    Recess(p, QRectF(label).adjusted(-3, -3, 3, 3), 4, QColor(255, 250, 226));
}

void ButtonSlot(QPainter &p, const QRect &button)
{
    Recess(p, QRectF(button).adjusted(-3, -3, 3, 3), 6, QColor(214, 104, 20));
}

// A small hand drawn beside the keyboard; its discs are drawn over it afterwards.
void HomeRowHand(QPainter &p, int item, QPointF origin)
{
    const QImage hand = DrawHand(item).convertToFormat(QImage::Format_ARGB32);
    QImage cut = hand;
    for (int y = 0; y < cut.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(cut.scanLine(y));
        for (int x = 0; x < cut.width(); ++x)
            if (line[x] == qRgb(255, 255, 255))
                line[x] = qRgba(0, 0, 0, 0);
    }
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRectF(origin, QSizeF(cut.width() * homerow::Scale, cut.height() * homerow::Scale)), cut);
    p.restore();
}

} // namespace

QImage DrawBackground()
{
    QImage picture(800, 600, QImage::Format_RGB32);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    Frame(p);
    Bouquet(p, false);
    Bouquet(p, true);

    // The title block: animation, rule and the learner's name.
    Recess(p, QRectF(304, 8, 192, 96), 10, Qt::black);
    p.setPen(QPen(QColor(200, 140, 60), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(306.5, 10.5, 187, 91), 8, 8);

    // The target line and the edit box.
    Recess(p, QRectF(42, 134, 717, 44), 8, Qt::black);
    Recess(p, QRectF(42, 207, 717, 46), 8, QColor(150, 150, 150));

    CounterBox(p, QRect(23, 330, 44, 18), QStringLiteral("Justes"));
    CounterBox(p, QRect(733, 330, 44, 18), QStringLiteral("Erreurs"));

    // The keyboard, under its drawing surface, in its frame.
    Recess(p, QRectF(80, 282, 640, 256), 6, Qt::black);
    p.drawImage(QPoint(83, 285), DrawKeyboard(), QRect(0, 0, 634, 250));

    // The small hands, their fingertips on the French AZERTY's home row and their thumbs on the space bar.
    HomeRowHand(p, keymap::MainG, homerow::LeftHandAt);
    HomeRowHand(p, keymap::MainD, homerow::RightHandAt);
    homerow::DrawDiscs(p, layouts::TableOf(layouts::Layout::FrenchAzerty));

    // The chronometer slot and the button slots of the bottom row.
    Recess(p, QRectF(318, 549, 165, 28), 14, Qt::black);
    for (int left : {21, 71, 121, 221, 271, 551, 601, 651, 701, 751})
        ButtonSlot(p, QRect(left, 551, 28, 28));
    ButtonSlot(p, QRect(171, 551, 29, 29));
    return picture;
}

} // namespace assetgen
