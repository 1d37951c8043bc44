// The twelve hand pictures (MainG.bmp ... AuriculaireD.bmp): a brown hand seen from the back, fingers up, on pure
// white (the program's transparent colour); in a finger picture the finger to use is light orange.
//
// The left hand is built in its own picture frame from the five fingertip points the key map implies (a finger
// picture goes with its top-left corner at key centre + FingerOffset, so its fingertip is the picture point
// -FingerOffset). The right hand is built the same way from the mirrored right-hand tips and then mirrored, so
// the two hands are mirror images and every tip lies where the key map wants it.
//
// Drawing: four times oversampled with QPainter (smooth shading), then brought down to the picture size with
// a hard silhouette: a pixel is hand when at least half of it is covered, and then takes the average colour of
// the covered part only, so no edge pixel mixes with white and no light halo shows over the keyboard. The hand
// is outlined in dark brown. One palette of 256 colours, made from all twelve pictures (median cut), serves them
// all; its entry 255 is the white background and no hand pixel ever maps to it.

#include "AssetGen.h"
#include "guide/KeyMap.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <vector>

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace assetgen {

namespace {

constexpr int Width = keymap::FingerPictureWidth;   // 196
constexpr int Height = keymap::FingerPictureHeight; // 189
constexpr int Over = 4;                             // oversampling
constexpr int WhiteIndex = 255;

// ---- Colours ----------------------------------------------------------------------------------------------------

struct Skin {
    QColor Base;
    QColor Shade;
    QColor Light;
};

const Skin Brown{QColor(146, 88, 50), QColor(94, 50, 24), QColor(194, 134, 88)};
const Skin Orange{QColor(255, 186, 108), QColor(234, 136, 56), QColor(255, 224, 176)};
const QColor Outline(52, 26, 10);
const QColor Crease(70, 36, 14);
const QColor NailBase(214, 160, 128);
const QColor NailLight(240, 206, 180);

QColor WithAlpha(QColor colour, int alpha)
{
    colour.setAlpha(alpha);
    return colour;
}

// ---- Geometry ---------------------------------------------------------------------------------------------------

QPointF Unit(QPointF v)
{
    const qreal length = std::hypot(v.x(), v.y());
    return length > 0 ? v / length : QPointF(0, -1);
}

QPointF Normal(QPointF u) // u turned a quarter to the left (screen coordinates: towards -x for an upward u)
{
    return QPointF(u.y(), -u.x());
}

// A closed Catmull-Rom spline through the points.
QPainterPath SmoothClosed(const std::vector<QPointF> &points)
{
    QPainterPath path;
    const std::size_t n = points.size();
    path.moveTo(points[0]);
    for (std::size_t i = 0; i < n; ++i) {
        const QPointF &p0 = points[(i + n - 1) % n];
        const QPointF &p1 = points[i];
        const QPointF &p2 = points[(i + 1) % n];
        const QPointF &p3 = points[(i + 2) % n];
        path.cubicTo(p1 + (p2 - p0) / 6.0, p2 - (p3 - p1) / 6.0, p2);
    }
    path.closeSubpath();
    return path;
}

// One digit: an axis from a point deep in the palm through its joints to the top end of its pad, with a width at
// every axis point; its end is rounded so that the outline's farthest point along the last segment is the tip.
struct Digit {
    std::vector<QPointF> Axis; // from the base to the centre of the rounded end
    std::vector<qreal> Widths; // one per axis point
    QPointF Tip;               // the top end of the pad
    QPointF Knuckle;           // the knuckle where the digit leaves the palm
    QPointF Direction;         // of the last segment, towards the tip
    qreal Length = 0;          // knuckle to tip
    QPainterPath Shape;
};

// A finger from its knuckle to its tip, widths at the knuckle and near the tip.
Digit MakeFinger(QPointF knuckle, QPointF tip, qreal baseWidth, qreal tipWidth)
{
    Digit digit;
    const QPointF u = Unit(tip - knuckle);
    const qreal length = std::hypot(tip.x() - knuckle.x(), tip.y() - knuckle.y());
    const qreal r = tipWidth / 2;
    const QPointF end = tip - u * r;
    digit.Tip = tip;
    digit.Knuckle = knuckle;
    digit.Direction = u;
    digit.Length = length;
    // Along the finger: deep in the palm, the knuckle, the middle joint (a little wider), the last joint, the end.
    const qreal ts[] = {-0.22, 0.0, 0.25, 0.46, 0.62, 0.76, 0.88};
    for (qreal t : ts) {
        const qreal along = std::min(t * length, length - r);
        qreal w = baseWidth + (tipWidth - baseWidth) * std::clamp(t / 0.9, 0.0, 1.0);
        if (t < 0)
            w += 6;
        if (std::abs(t - 0.46) < 0.01)
            w += 1.2;
        if (std::abs(t - 0.76) < 0.01)
            w += 0.6;
        digit.Axis.push_back(knuckle + u * along);
        digit.Widths.push_back(w);
    }
    digit.Axis.push_back(end);
    digit.Widths.push_back(tipWidth);
    return digit;
}

// The outline of a digit: left side up, around the rounded end, right side down.
QPainterPath DigitShape(const Digit &digit)
{
    std::vector<QPointF> left;
    std::vector<QPointF> right;
    const std::size_t n = digit.Axis.size();
    for (std::size_t i = 0; i < n; ++i) {
        const QPointF before = digit.Axis[i > 0 ? i - 1 : 0];
        const QPointF after = digit.Axis[i + 1 < n ? i + 1 : n - 1];
        const QPointF normal = Normal(Unit(after - before));
        left.push_back(digit.Axis[i] + normal * (digit.Widths[i] / 2));
        right.push_back(digit.Axis[i] - normal * (digit.Widths[i] / 2));
    }
    const QPointF u = Unit(digit.Axis[n - 1] - digit.Axis[n - 2]);
    const QPointF nrm = Normal(u);
    const qreal r = digit.Widths[n - 1] / 2;
    std::vector<QPointF> points(left.begin(), left.end() - 1);
    for (int k = 0; k <= 6; ++k) {
        const qreal a = M_PI / 2 - M_PI * k / 6; // from the left side over the end to the right side
        points.push_back(digit.Axis[n - 1] + nrm * (r * std::sin(a)) + u * (r * std::cos(a)));
    }
    for (std::size_t i = n - 1; i-- > 0;)
        points.push_back(right[i]);
    return SmoothClosed(points);
}

// The whole hand, in the left hand's frame.
struct Hand {
    std::array<Digit, 5> Digits; // thumb, index, middle, ring, little
    QPainterPath Palm;
    QPainterPath Silhouette;
};

enum DigitIndex { Thumb = 0, Index, Middle, Ring, Little };

// tips: the top ends of the pads of thumb, index, middle, ring and little finger, in continuous coordinates.
Hand MakeHand(const std::array<QPointF, 5> &tips)
{
    Hand hand;
    // The knuckles: a line falling from the index to the little finger.
    hand.Digits[Index] = MakeFinger(QPointF(118, 99), tips[Index], 17.5, 15.0);
    hand.Digits[Middle] = MakeFinger(QPointF(96, 109), tips[Middle], 18.0, 15.5);
    hand.Digits[Ring] = MakeFinger(QPointF(76, 119), tips[Ring], 16.5, 14.0);
    hand.Digits[Little] = MakeFinger(QPointF(58, 129), tips[Little], 14.5, 12.5);

    // The thumb: from the base of the palm near the wrist, through its knuckle, up and out to the right.
    {
        Digit &thumb = hand.Digits[Thumb];
        const QPointF tip = tips[Thumb];
        const QPointF mcp(155, 120);
        const QPointF u = Unit(tip - mcp);
        const qreal r = 8.5;
        const QPointF end = tip - u * r;
        const qreal length = std::hypot(end.x() - mcp.x(), end.y() - mcp.y());
        thumb.Tip = tip;
        thumb.Knuckle = mcp;
        thumb.Direction = u;
        thumb.Length = length + r;
        thumb.Axis = {QPointF(122, 180),         QPointF(138, 150),         mcp,
                      mcp + u * (length * 0.45), mcp + u * (length * 0.75), end};
        thumb.Widths = {46, 35, 24, 21.5, 20, 17.5};
    }

    // The back of the hand, from the knuckles down to the wrist (beyond the bottom edge).
    hand.Palm = SmoothClosed({
        QPointF(124, 94),
        QPointF(131, 104),
        QPointF(140, 116),
        QPointF(150, 128),
        QPointF(152, 146),
        QPointF(146, 166),
        QPointF(138, 182),
        QPointF(136, 196),
        QPointF(68, 196),
        QPointF(63, 178),
        QPointF(54, 158),
        QPointF(49, 140),
        QPointF(51, 126),
        QPointF(62, 118),
        QPointF(78, 108),
        QPointF(96, 99),
        QPointF(112, 92),
    });

    QPainterPath silhouette = hand.Palm;
    for (Digit &digit : hand.Digits) {
        digit.Shape = DigitShape(digit);
        silhouette = silhouette.united(digit.Shape);
    }
    hand.Silhouette = silhouette.simplified();
    return hand;
}

// ---- Painting ---------------------------------------------------------------------------------------------------

QImage NewLayer()
{
    QImage layer(Width * Over, Height * Over, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    return layer;
}

void Begin(QPainter &painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(Over, Over);
}

// Keeps the layer only where the digit stands out of the palm: transparent at the knuckle, whole a little above.
void FadeIntoPalm(QImage &layer, const Digit &digit, qreal from, qreal to)
{
    QPainter painter(&layer);
    Begin(painter);
    painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    QLinearGradient fade(digit.Knuckle + digit.Direction * from, digit.Knuckle + digit.Direction * to);
    fade.setColorAt(0, QColor(0, 0, 0, 0));
    fade.setColorAt(1, QColor(0, 0, 0, 255));
    painter.fillRect(QRectF(-20, -20, Width + 40, Height + 40), fade);
}

void Composite(QImage &target, const QImage &layer)
{
    QPainter painter(&target);
    painter.drawImage(0, 0, layer);
}

// The digit's colour with the round shading of a cylinder lit from the upper left.
void PaintDigitBody(QImage &target, const Hand &hand, const Digit &digit, const Skin &skin, bool fade)
{
    QImage layer = NewLayer();
    {
        QPainter painter(&layer);
        Begin(painter);
        painter.setClipPath(hand.Silhouette);
        painter.setPen(Qt::NoPen);
        painter.setBrush(skin.Base);
        painter.drawPath(digit.Shape);
        // Across the digit: shade on both sides, a highlight left of the middle.
        const QPointF n = Normal(digit.Direction);
        const QPointF middle = digit.Knuckle + digit.Direction * (digit.Length * 0.5);
        const qreal half = 9.5;
        QLinearGradient across(middle + n * half, middle - n * half);
        across.setColorAt(0.0, WithAlpha(skin.Shade, 200));
        across.setColorAt(0.18, WithAlpha(skin.Shade, 40));
        across.setColorAt(0.36, WithAlpha(skin.Light, 150));
        across.setColorAt(0.52, WithAlpha(skin.Light, 0));
        across.setColorAt(0.80, WithAlpha(skin.Shade, 70));
        across.setColorAt(1.0, WithAlpha(skin.Shade, 220));
        painter.setBrush(across);
        painter.drawPath(digit.Shape);
    }
    if (fade)
        FadeIntoPalm(layer, digit, -2, 9);
    Composite(target, layer);
}

// Wrinkles over a joint: short dark arcs across the digit.
void PaintCreases(QPainter &painter, const Digit &digit, qreal t, int count, qreal width)
{
    const QPointF u = digit.Direction;
    const QPointF n = Normal(u);
    const QPointF centre = digit.Knuckle + u * (digit.Length * t);
    for (int i = 0; i < count; ++i) {
        const qreal from = std::abs(i - (count - 1) / 2.0);
        const QPointF c = centre + u * ((i - (count - 1) / 2.0) * 1.7) + n * (0.6 * (i % 2 ? 1 : -1));
        const qreal half = width * (0.30 - 0.07 * from);
        QPainterPath arc;
        arc.moveTo(c + n * half - u * 0.6);
        arc.quadTo(c + u * 1.2, c - n * half - u * 0.6);
        painter.setPen(QPen(WithAlpha(Crease, from < 0.6 ? 120 : 70), 0.7, Qt::SolidLine, Qt::RoundCap));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(arc);
    }
}

// A nail near the tip, seen from the back.
void PaintNail(QPainter &painter, const Digit &digit, qreal length, qreal width)
{
    const QPointF u = digit.Direction;
    const QPointF n = Normal(u);
    const QPointF top = digit.Tip - u * 1.6;
    const QPointF bottom = top - u * length;
    const qreal half = width / 2;
    QPainterPath nail;
    nail.moveTo(bottom + n * half * 0.9);
    nail.cubicTo(bottom + n * half * 0.9 - u * 1.6, bottom - n * half * 0.9 - u * 1.6, bottom - n * half * 0.9);
    nail.lineTo(top - n * half - u * (half * 0.55));
    nail.cubicTo(top - n * half * 0.6 + u * 0.3, top + n * half * 0.6 + u * 0.3, top + n * half - u * (half * 0.55));
    nail.closeSubpath();
    QLinearGradient shade(bottom + n * half, bottom - n * half);
    shade.setColorAt(0, NailLight);
    shade.setColorAt(0.6, NailBase);
    shade.setColorAt(1, NailBase.darker(118));
    painter.setBrush(shade);
    painter.setPen(QPen(WithAlpha(Crease, 120), 0.6));
    painter.drawPath(nail);
    // The lighter free edge at the end of the nail.
    QPainterPath edge;
    edge.moveTo(top - n * half * 0.75 - u * (half * 0.5));
    edge.quadTo(top + u * 0.1, top + n * half * 0.75 - u * (half * 0.5));
    painter.setPen(QPen(WithAlpha(QColor(250, 232, 214), 200), 0.8, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(edge);
}

// Draws one hand in the left hand's frame, `marked` digit (or -1) in orange; returns the oversampled picture.
QImage PaintHand(const Hand &hand, int marked)
{
    QImage picture = NewLayer();
    {
        // The palm: base colour, lighter in the middle of the back of the hand, darker towards its edges.
        QPainter painter(&picture);
        Begin(painter);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Brown.Base);
        painter.drawPath(hand.Silhouette);
        painter.setClipPath(hand.Silhouette);
        QRadialGradient back(QPointF(100, 140), 62, QPointF(104, 128));
        back.setColorAt(0, WithAlpha(Brown.Light, 150));
        back.setColorAt(0.6, WithAlpha(Brown.Light, 40));
        back.setColorAt(1, WithAlpha(Brown.Light, 0));
        painter.setBrush(back);
        painter.drawPath(hand.Palm);
        // Tendons fanning from the knuckles to the wrist.
        for (int d = Index; d <= Little; ++d) {
            const QPointF k = hand.Digits[d].Knuckle;
            const QPointF wrist(100 - (d - 2.5) * 9, 200);
            QLinearGradient along(k, wrist);
            along.setColorAt(0, WithAlpha(Brown.Light, 60));
            along.setColorAt(0.55, WithAlpha(Brown.Light, 0));
            painter.setPen(QPen(QBrush(along), 2.4, Qt::SolidLine, Qt::RoundCap));
            QPainterPath tendon;
            tendon.moveTo(k + hand.Digits[d].Direction * -4);
            tendon.quadTo((k + wrist) / 2 + QPointF(3, 0), wrist);
            painter.drawPath(tendon);
        }
        painter.setPen(Qt::NoPen);
    }

    // The digits, the far ones first.
    const int order[5] = {Little, Ring, Middle, Index, Thumb};
    for (int d : order) {
        const Skin &skin = d == marked ? Orange : Brown;
        PaintDigitBody(picture, hand, hand.Digits[d], skin, true);
    }

    {
        QPainter painter(&picture);
        Begin(painter);
        painter.setClipPath(hand.Silhouette);
        // The knuckles stand out as soft light bumps.
        for (int d = Index; d <= Little; ++d) {
            const Digit &digit = hand.Digits[d];
            const QPointF k = digit.Knuckle + digit.Direction * 1.5;
            const Skin &skin = d == marked ? Orange : Brown;
            QRadialGradient bump(k, 7);
            bump.setColorAt(0, WithAlpha(skin.Light, 170));
            bump.setColorAt(1, WithAlpha(skin.Light, 0));
            painter.setPen(Qt::NoPen);
            painter.setBrush(bump);
            painter.drawEllipse(k, 7.0, 7.0);
        }
        {
            const Digit &thumb = hand.Digits[Thumb];
            const Skin &skin = marked == Thumb ? Orange : Brown;
            QRadialGradient bump(thumb.Knuckle, 8);
            bump.setColorAt(0, WithAlpha(skin.Light, 150));
            bump.setColorAt(1, WithAlpha(skin.Light, 0));
            painter.setBrush(bump);
            painter.drawEllipse(thumb.Knuckle, 8.0, 8.0);
        }
        // Wrinkles over the joints and the nails.
        for (int d = Index; d <= Little; ++d) {
            const Digit &digit = hand.Digits[d];
            const qreal w = digit.Widths[3];
            PaintCreases(painter, digit, 0.46, 3, w);
            PaintCreases(painter, digit, 0.745, 2, w * 0.9);
            PaintNail(painter, digit, digit.Length * 0.17, digit.Widths.back() * 0.62);
        }
        const Digit &thumb = hand.Digits[Thumb];
        PaintCreases(painter, thumb, 0.5, 3, 20);
        PaintNail(painter, thumb, 11, 11);

        // The edge of the hand a little darker (roundness), then the outline.
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(WithAlpha(Brown.Shade, 70), 6));
        painter.drawPath(hand.Silhouette);
        painter.setPen(QPen(WithAlpha(Brown.Shade, 90), 3));
        painter.drawPath(hand.Silhouette);
        painter.setClipping(false);
        painter.setPen(QPen(Outline, 1.3));
        painter.drawPath(hand.Silhouette);
    }
    return picture;
}

// Brings the oversampled picture down: whole pixels of hand (at least half covered, averaged over the covered
// part) on pure white.
QImage Reduce(const QImage &large, const QPainterPath &silhouette)
{
    // The coverage comes from the silhouette alone, so the outline's outer half does not widen the hand.
    QImage mask(large.size(), QImage::Format_Grayscale8);
    mask.fill(0);
    {
        QPainter painter(&mask);
        Begin(painter);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawPath(silhouette);
    }
    QImage small(Width, Height, QImage::Format_RGB32);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            int covered = 0;
            qreal r = 0, g = 0, b = 0, weight = 0;
            for (int sy = 0; sy < Over; ++sy) {
                const QRgb *row = reinterpret_cast<const QRgb *>(large.constScanLine(y * Over + sy));
                const uchar *maskRow = mask.constScanLine(y * Over + sy);
                for (int sx = 0; sx < Over; ++sx) {
                    const int m = maskRow[x * Over + sx];
                    covered += m;
                    const QRgb p = row[x * Over + sx];
                    const int a = qAlpha(p);
                    if (m > 0 && a > 0) {
                        // Premultiplied: weigh by the mask, divide by alpha afterwards.
                        r += qRed(p) * m / 255.0;
                        g += qGreen(p) * m / 255.0;
                        b += qBlue(p) * m / 255.0;
                        weight += a * m / 255.0;
                    }
                }
            }
            if (covered * 2 < 255 * Over * Over || weight <= 0) {
                small.setPixel(x, y, qRgb(255, 255, 255));
                continue;
            }
            auto channel = [&](qreal v) {
                return std::clamp(static_cast<int>(std::lround(v * 255.0 / weight)), 0, 254);
            };
            small.setPixel(x, y, qRgb(channel(r), channel(g), channel(b)));
        }
    return small;
}

// ---- The palette ------------------------------------------------------------------------------------------------

struct Box {
    std::vector<std::pair<QRgb, int>> Colours; // colour, count
};

int Channel(QRgb c, int k)
{
    return k == 0 ? qRed(c) : k == 1 ? qGreen(c) : qBlue(c);
}

// Median cut over the counted colours into at most `size` colours (each the weighted mean of its box).
QVector<QRgb> MedianCut(const std::map<QRgb, int> &histogram, int size)
{
    std::vector<Box> boxes(1);
    for (const auto &entry : histogram)
        boxes[0].Colours.emplace_back(entry.first, entry.second);
    while (static_cast<int>(boxes.size()) < size) {
        // Split the box with the widest channel range weighted by its population.
        int best = -1;
        double bestScore = 0;
        int bestChannel = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].Colours.size() < 2)
                continue;
            long long population = 0;
            for (const auto &c : boxes[i].Colours)
                population += c.second;
            for (int k = 0; k < 3; ++k) {
                int lo = 255, hi = 0;
                for (const auto &c : boxes[i].Colours) {
                    lo = std::min(lo, Channel(c.first, k));
                    hi = std::max(hi, Channel(c.first, k));
                }
                const double score = (hi - lo) * std::sqrt(static_cast<double>(population));
                if (score > bestScore) {
                    bestScore = score;
                    best = static_cast<int>(i);
                    bestChannel = k;
                }
            }
        }
        if (best < 0)
            break;
        Box &box = boxes[static_cast<std::size_t>(best)];
        std::sort(box.Colours.begin(), box.Colours.end(), [&](const auto &a, const auto &b) {
            const int ca = Channel(a.first, bestChannel);
            const int cb = Channel(b.first, bestChannel);
            return ca != cb ? ca < cb : a.first < b.first;
        });
        long long total = 0;
        for (const auto &c : box.Colours)
            total += c.second;
        long long running = 0;
        std::size_t split = 1;
        for (std::size_t i = 0; i + 1 < box.Colours.size(); ++i) {
            running += box.Colours[i].second;
            split = i + 1;
            if (running * 2 >= total)
                break;
        }
        Box upper;
        upper.Colours.assign(box.Colours.begin() + static_cast<std::ptrdiff_t>(split), box.Colours.end());
        box.Colours.resize(split);
        boxes.push_back(std::move(upper));
    }
    QVector<QRgb> palette;
    for (const Box &box : boxes) {
        double r = 0, g = 0, b = 0, n = 0;
        for (const auto &c : box.Colours) {
            r += qRed(c.first) * c.second;
            g += qGreen(c.first) * c.second;
            b += qBlue(c.first) * c.second;
            n += c.second;
        }
        palette.push_back(qRgb(static_cast<int>(std::lround(r / n)), static_cast<int>(std::lround(g / n)),
                               static_cast<int>(std::lround(b / n))));
    }
    return palette;
}

int Nearest(const QVector<QRgb> &palette, int count, QRgb c)
{
    int best = 0;
    int bestDistance = 1 << 30;
    for (int i = 0; i < count; ++i) {
        const int dr = qRed(c) - qRed(palette[i]);
        const int dg = qGreen(c) - qGreen(palette[i]);
        const int db = qBlue(c) - qBlue(palette[i]);
        const int distance = 2 * dr * dr + 4 * dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

struct HandSet {
    std::array<QImage, 12> Pictures; // Format_Indexed8
};

std::array<QPointF, 5> TipsOf(bool right)
{
    // thumb, index, middle, ring, little: the picture point -FingerOffset(item), in the left hand's frame.
    const int items[2][5] = {
        {keymap::PouceG, keymap::IndexG, keymap::MajeurG, keymap::AnnuaireG, keymap::AuriculaireG},
        {keymap::PouceD, keymap::IndexD, keymap::MajeurD, keymap::AnnuaireD, keymap::AuriculaireD}};
    std::array<QPointF, 5> tips{};
    for (int d = 0; d < 5; ++d) {
        const keymap::Placement offset = keymap::FingerOffset(items[right ? 1 : 0][d]);
        int x = -offset.dx;
        const int y = -offset.dy;
        if (right)
            x = Width - 1 - x; // into the left hand's frame
        // The pad's top end: the middle of the pixel's column, the top of its row.
        tips[static_cast<std::size_t>(d)] = QPointF(x + 0.5, y);
    }
    // The thumbs' tips lie past the picture's side; the drawn thumb reaches a little beyond the edge.
    tips[Thumb].setX(Width + 1.5);
    tips[Thumb].setY(tips[Thumb].y() - 1.0);
    return tips;
}

const HandSet &Hands()
{
    static const HandSet set = [] {
        std::array<QImage, 12> rgb;
        for (int side = 0; side < 2; ++side) {
            const Hand hand = MakeHand(TipsOf(side == 1));
            // Pictures of this side: whole hand, thumb, index, middle, ring, little.
            const int marks[6] = {-1, Thumb, Index, Middle, Ring, Little};
            for (int k = 0; k < 6; ++k) {
                QImage picture = Reduce(PaintHand(hand, marks[k]), hand.Silhouette);
                if (side == 1)
                    picture = picture.mirrored(true, false);
                rgb[static_cast<std::size_t>(2 * k + side)] = picture;
            }
        }
        std::map<QRgb, int> histogram;
        for (const QImage &picture : rgb)
            for (int y = 0; y < Height; ++y)
                for (int x = 0; x < Width; ++x) {
                    const QRgb c = picture.pixel(x, y) | 0xFF000000u;
                    if (c != qRgb(255, 255, 255))
                        ++histogram[c];
                }
        QVector<QRgb> palette = MedianCut(histogram, WhiteIndex);
        const int used = static_cast<int>(palette.size());
        for (QRgb &c : palette)
            if (c == qRgb(255, 255, 255))
                c = qRgb(254, 254, 254);
        while (palette.size() < WhiteIndex)
            palette.push_back(qRgb(0, 0, 0));
        palette.push_back(qRgb(255, 255, 255));

        HandSet result;
        std::map<QRgb, int> memo;
        for (std::size_t i = 0; i < rgb.size(); ++i) {
            QImage indexed(Width, Height, QImage::Format_Indexed8);
            indexed.setColorTable(palette);
            for (int y = 0; y < Height; ++y) {
                uchar *line = indexed.scanLine(y);
                for (int x = 0; x < Width; ++x) {
                    const QRgb c = rgb[i].pixel(x, y) | 0xFF000000u;
                    if (c == qRgb(255, 255, 255)) {
                        line[x] = WhiteIndex;
                        continue;
                    }
                    auto found = memo.find(c);
                    if (found == memo.end())
                        found = memo.emplace(c, Nearest(palette, used, c)).first;
                    line[x] = static_cast<uchar>(found->second);
                }
            }
            result.Pictures[i] = indexed;
        }
        return result;
    }();
    return set;
}

} // namespace

QImage DrawHand(int item)
{
    if (item < keymap::MainG || item > keymap::AuriculaireD)
        throw std::runtime_error("DrawHand: no such hand picture");
    return Hands().Pictures[static_cast<std::size_t>(item)];
}

} // namespace assetgen
