// The three animations: the copper title of the main window, the hummingbird that flaps beside the lesson, and
// the splash shown at start-up. Each frame is painted in true colour, then every frame is put on the
// animation's one shared palette.

#include "AssetGen.h"
#include "Quantise.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTransform>

namespace assetgen {

namespace {

constexpr double Pi = 3.14159265358979323846;

QImage TransparentCanvas(int width, int height)
{
    QImage canvas(width, height, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    return canvas;
}

// Puts true-colour frames on a palette. Pixels covered less than alphaThreshold become the transparent index
// (when there is one); the others keep their premultiplied colour, which is the colour over black.
std::vector<GifFrame> Index(const std::vector<QImage> &frames, const QVector<QRgb> &palette, int transparentIndex,
                            int alphaThreshold, const std::vector<int> &delays, double dither = 0)
{
    NearestColour nearest(palette, transparentIndex == 0 ? 1 : 0);
    std::vector<GifFrame> out;
    for (std::size_t f = 0; f < frames.size(); ++f) {
        const QImage argb = frames[f].convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QImage indexed(argb.size(), QImage::Format_Indexed8);
        indexed.setColorTable(palette);
        for (int y = 0; y < argb.height(); ++y) {
            const auto *in = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
            uchar *line = indexed.scanLine(y);
            for (int x = 0; x < argb.width(); ++x) {
                if (transparentIndex >= 0 && qAlpha(in[x]) < alphaThreshold) {
                    line[x] = static_cast<uchar>(transparentIndex);
                    continue;
                }
                QRgb c = in[x];
                if (dither > 0) {
                    const int offset = static_cast<int>(std::lround(BayerOffset(x, y) * dither));
                    auto shift = [offset](int v) { return std::clamp(v + offset, 0, 255); };
                    c = qRgb(shift(qRed(c)), shift(qGreen(c)), shift(qBlue(c)));
                }
                line[x] = static_cast<uchar>(nearest(c));
            }
        }
        out.push_back({indexed, delays[f]});
    }
    return out;
}

// A single-channel float picture, for the relief of the splash title.
struct Field {
    int Width = 0;
    int Height = 0;
    std::vector<float> Values;

    Field(int width, int height) : Width(width), Height(height), Values(static_cast<std::size_t>(width * height), 0.f)
    {
    }
    float &At(int x, int y) { return Values[static_cast<std::size_t>(y * Width + x)]; }
    float Get(int x, int y) const
    {
        x = std::clamp(x, 0, Width - 1);
        y = std::clamp(y, 0, Height - 1);
        return Values[static_cast<std::size_t>(y * Width + x)];
    }
};

Field BoxBlur(const Field &in, int radius)
{
    Field across(in.Width, in.Height);
    for (int y = 0; y < in.Height; ++y)
        for (int x = 0; x < in.Width; ++x) {
            float sum = 0;
            for (int d = -radius; d <= radius; ++d)
                sum += in.Get(x + d, y);
            across.At(x, y) = sum / float(2 * radius + 1);
        }
    Field out(in.Width, in.Height);
    for (int y = 0; y < in.Height; ++y)
        for (int x = 0; x < in.Width; ++x) {
            float sum = 0;
            for (int d = -radius; d <= radius; ++d)
                sum += across.Get(x, y + d);
            out.At(x, y) = sum / float(2 * radius + 1);
        }
    return out;
}

Field Coverage(const QImage &mask)
{
    const QImage argb = mask.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    Field field(argb.width(), argb.height());
    for (int y = 0; y < argb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            field.At(x, y) = float(qAlpha(line[x])) / 255.f;
    }
    return field;
}

// ---- The copper title -----------------------------------------------------------------------------------------

QLinearGradient Copper(qreal top, qreal baseline)
{
    QLinearGradient copper(0, top, 0, baseline);
    copper.setColorAt(0.00, QColor(255, 228, 185));
    copper.setColorAt(0.20, QColor(238, 165, 100));
    copper.setColorAt(0.44, QColor(178, 88, 40));
    copper.setColorAt(0.52, QColor(105, 42, 18));
    copper.setColorAt(0.58, QColor(205, 118, 62));
    copper.setColorAt(0.78, QColor(248, 188, 122));
    copper.setColorAt(0.90, QColor(225, 145, 80));
    copper.setColorAt(1.00, QColor(150, 70, 32));
    return copper;
}

void Sparkle(QPainter &p, QPointF centre, qreal size)
{
    QPainterPath star;
    star.moveTo(centre.x(), centre.y() - size);
    star.quadTo(centre, QPointF(centre.x() + size, centre.y()));
    star.quadTo(centre, QPointF(centre.x(), centre.y() + size));
    star.quadTo(centre, QPointF(centre.x() - size, centre.y()));
    star.quadTo(centre, QPointF(centre.x(), centre.y() - size));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 248, 225));
    p.drawPath(star);
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(centre, size * 0.18, size * 0.18);
}

} // namespace

GifAnimation TitleAnimation()
{
    constexpr int Width = 178;
    constexpr int Height = 80;
    constexpr int FrameCount = 26;
    constexpr qreal Bob = 6;   // how high a letter jumps
    constexpr qreal Depth = 3; // the extruded edge below and right of each letter
    const QString title = QStringLiteral("Tapotis2002");

    QFont font(QStringLiteral("Liberation Serif"));
    font.setPixelSize(50);
    font.setBold(true);
    const QFontMetricsF metrics(font);
    std::vector<QPainterPath> letters;
    QRectF bounds;
    for (int i = 0; i < title.size(); ++i) {
        QPainterPath letter;
        letter.addText(metrics.horizontalAdvance(title.left(i)), 0, font, title.mid(i, 1));
        bounds = bounds.united(letter.boundingRect());
        letters.push_back(letter);
    }
    // Squeeze the line sideways to the box; keep it centred in the rows the window shows (8 .. 72).
    const qreal squeeze = std::min<qreal>(1.0, (Width - 8 - Depth) / bounds.width());
    const qreal baseline = 40.5 - (bounds.top() - Bob + bounds.bottom() + Depth) / 2;
    QTransform fit;
    fit.translate(Width / 2.0 - Depth / 2, baseline);
    fit.scale(squeeze, 1);
    fit.translate(-bounds.center().x(), 0);
    std::vector<qreal> centres;
    for (QPainterPath &letter : letters) {
        letter = fit.map(letter);
        centres.push_back(letter.boundingRect().center().x());
    }
    const qreal capTop = baseline - metrics.capHeight();

    std::vector<QImage> pictures;
    for (int f = 0; f < FrameCount; ++f) {
        QImage canvas = TransparentCanvas(Width, Height);
        QPainter p(&canvas);
        p.setRenderHint(QPainter::Antialiasing);

        // A ripple runs along the word, letter after letter; the glint rides on the letter at its crest.
        const qreal crest = f - 3.5;
        qreal glintX = -1000;
        if (crest >= -0.5 && crest <= title.size() - 0.5) {
            const int low = std::clamp(static_cast<int>(std::floor(crest)), 0, int(title.size()) - 1);
            const int high = std::min(low + 1, int(title.size()) - 1);
            const qreal t = std::clamp(crest - low, 0.0, 1.0);
            glintX = centres[std::size_t(low)] * (1 - t) + centres[std::size_t(high)] * t;
        }
        for (std::size_t i = 0; i < letters.size(); ++i) {
            const qreal phase = f - 1.0 - qreal(i);
            const qreal lift = (phase > 0 && phase < 5) ? Bob * std::sin(Pi * phase / 5) : 0;
            const QPainterPath letter = letters[i].translated(0, -lift);

            for (int k = int(Depth); k >= 1; --k) {
                p.setPen(QPen(QColor(40, 14, 4), 1.4));
                p.setBrush(QColor(150, 66, 26));
                p.drawPath(letter.translated(k * 0.8, k * 1.0));
            }
            p.setPen(QPen(QColor(45, 16, 5), 1.6));
            p.setBrush(Copper(capTop - lift, baseline - lift));
            p.drawPath(letter);

            if (glintX > -100) {
                p.save();
                p.setClipPath(letter);
                QLinearGradient glint(glintX - 7, 0, glintX + 7, -6);
                glint.setColorAt(0.0, QColor(255, 236, 190, 0));
                glint.setColorAt(0.5, QColor(255, 244, 215, 215));
                glint.setColorAt(1.0, QColor(255, 236, 190, 0));
                p.fillRect(QRectF(0, 0, Width, Height), glint);
                p.restore();
            }
        }
        if (f >= 23) {
            const QRectF first = letters.back().boundingRect();
            const qreal size = f == 24 ? 7 : 4;
            Sparkle(p, QPointF(first.right() - 2, first.top() + 2), size);
        }
        p.end();
        pictures.push_back(canvas);
    }

    constexpr int Covered = 40;
    ColourCounts counts;
    for (const QImage &picture : pictures)
        counts.Add(picture, Covered);
    // Index 0 is the transparent black the window shows through; the premultiplied pixels are already over black.
    QVector<QRgb> palette{qRgb(0, 0, 0)};
    for (QRgb colour : MedianCut(counts, 31))
        palette.push_back(colour);
    while (palette.size() < 32)
        palette.push_back(qRgb(0, 0, 0));

    GifAnimation animation;
    animation.Width = Width;
    animation.Height = Height;
    animation.Palette = palette;
    animation.TransparentIndex = 0;
    animation.RestoreToBackground = true;
    animation.LoopMarker = false;
    animation.Frames = Index(pictures, palette, 0, Covered, std::vector<int>(FrameCount, 100));
    return animation;
}

// ---- The hummingbird ------------------------------------------------------------------------------------------

namespace {

enum BirdInk { Clear, Ink, DarkGreen, Green, Blue, Wing, Throat, White };

const QVector<QRgb> BirdPalette{qRgb(255, 200, 64), qRgb(22, 28, 44),    qRgb(18, 118, 72), qRgb(96, 204, 84),
                                qRgb(38, 118, 222), qRgb(196, 228, 246), qRgb(226, 32, 72), qRgb(252, 252, 252)};

QColor Bird(BirdInk ink)
{
    return QColor(BirdPalette.at(ink));
}

struct WingPose {
    qreal Angle;  // degrees, 0 pointing forward (right), -90 straight up
    qreal Length; // in pixels, shorter when the wing swings towards us
};

// The bird faces right, hovering with its body tilted; drawn at `scale` times the animation's size.
QImage PaintHummingbird(const WingPose &near, qreal lift, int scale)
{
    QImage canvas = TransparentCanvas(51 * scale, 45 * scale);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    p.translate(0, lift);
    const QPen outline(Bird(Ink), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    const QPointF shoulder(25.5, 21.5);

    auto wingPath = [&](const WingPose &pose) {
        QPainterPath wing;
        const qreal l = pose.Length;
        wing.moveTo(0, -1.8);
        wing.cubicTo(l * 0.35, -4.2, l * 0.8, -3.8, l, -0.6);
        wing.cubicTo(l * 0.85, 1.6, l * 0.4, 3.0, 0, 2.2);
        wing.closeSubpath();
        QTransform place;
        place.translate(shoulder.x(), shoulder.y());
        place.rotate(pose.Angle);
        return place.map(wing);
    };

    // The far wing peeks out behind the body, a beat behind the near one.
    p.setPen(outline);
    p.setBrush(Bird(Blue));
    p.drawPath(wingPath({near.Angle + 18, near.Length * 0.8}));

    // Tail: a fan of dark feathers below and behind.
    QPainterPath tail;
    tail.moveTo(19, 27);
    tail.lineTo(9.5, 37.5);
    tail.lineTo(12, 39);
    tail.lineTo(14.5, 38.5);
    tail.lineTo(17, 40.5);
    tail.lineTo(23, 30);
    tail.closeSubpath();
    p.setBrush(Bird(DarkGreen));
    p.drawPath(tail);

    // Body: an egg tilted down towards the tail, green above, pale below.
    QPainterPath body;
    body.addEllipse(QPointF(0, 0), 10.5, 6.2);
    QTransform tilt;
    tilt.translate(24.5, 25);
    tilt.rotate(-38);
    body = tilt.map(body);
    p.setBrush(Bird(Green));
    p.drawPath(body);
    p.save();
    p.setClipPath(body);
    p.setPen(Qt::NoPen);
    p.setBrush(Bird(White));
    p.drawEllipse(QPointF(29.5, 29.5), 6.5, 5.0);
    p.setBrush(Bird(DarkGreen));
    p.drawEllipse(QPointF(18.5, 24.0), 4.5, 6.5);
    p.restore();
    p.setBrush(Qt::NoBrush);
    p.setPen(outline);
    p.drawPath(body);

    // Beak first, so the head's outline closes over its base; it must stay a full pixel wide once reduced.
    QPainterPath beak;
    beak.moveTo(35.5, 13.6);
    beak.lineTo(49.8, 15.9);
    beak.lineTo(49.8, 16.7);
    beak.lineTo(35.5, 15.8);
    beak.closeSubpath();
    p.setBrush(Bird(Ink));
    p.drawPath(beak);

    p.setBrush(Bird(Green));
    p.drawEllipse(QPointF(32, 15), 5.2, 4.8);
    p.setPen(Qt::NoPen);
    p.setBrush(Bird(Throat));
    QPainterPath throat;
    throat.moveTo(30, 18.8);
    throat.quadTo(35.5, 18.5, 36.2, 16.5);
    throat.quadTo(36, 22, 31.5, 22.8);
    throat.closeSubpath();
    p.drawPath(throat);
    // A three-pixel eye with one bright pixel, placed on the pixel grid.
    p.setBrush(Bird(Ink));
    p.drawRect(QRectF(32, 13, 3, 2));
    p.drawRect(QRectF(33, 12, 1, 4));
    p.setBrush(Bird(White));
    p.drawRect(QRectF(33, 13, 1, 1));

    p.setPen(outline);
    p.setBrush(Bird(Wing));
    const QPainterPath wing = wingPath(near);
    p.drawPath(wing);
    p.save();
    p.setClipPath(wing);
    p.setPen(QPen(Bird(Blue), 1.0));
    QTransform place;
    place.translate(shoulder.x(), shoulder.y());
    place.rotate(near.Angle);
    p.drawLine(place.map(QLineF(1, 0.3, near.Length * 0.9, -0.6)));
    p.restore();
    return canvas;
}

// Brings a drawing made at `scale` times down to size with one-bit coverage and the bird's eight inks.
QImage Crisp(const QImage &large, int scale, NearestColour &nearest)
{
    const int width = large.width() / scale;
    const int height = large.height() / scale;
    QImage out(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int a = 0, r = 0, g = 0, b = 0;
            for (int dy = 0; dy < scale; ++dy) {
                const auto *line = reinterpret_cast<const QRgb *>(large.constScanLine(y * scale + dy));
                for (int dx = 0; dx < scale; ++dx) {
                    const QRgb c = line[x * scale + dx];
                    a += qAlpha(c);
                    r += qRed(c);
                    g += qGreen(c);
                    b += qBlue(c);
                }
            }
            if (a < 128 * scale * scale) {
                out.setPixel(x, y, qRgba(0, 0, 0, 0));
                continue;
            }
            // Un-premultiply, so edge pixels take the colour of what covers them rather than a darker blend.
            const QRgb colour =
                qRgb(std::min(255, r * 255 / a), std::min(255, g * 255 / a), std::min(255, b * 255 / a));
            out.setPixel(x, y, BirdPalette.at(nearest(colour)));
        }
    return out;
}

} // namespace

GifAnimation HummingbirdAnimation()
{
    // A slow beat that quickens: three leisurely strokes, three brisker, then a flurry.
    const WingPose up{-112, 17}, high{-150, 14}, back{178, 12}, down{140, 16};
    const std::vector<WingPose> poses{up, back, down, up, back, down, high, up, down, high, down, up, back, down};
    const std::vector<int> delays{300, 300, 300, 200, 200, 200, 0, 100, 100, 100, 100, 100, 100, 100};
    constexpr int Scale = 4;

    NearestColour nearest(BirdPalette, 1);
    std::vector<QImage> pictures;
    for (const WingPose &pose : poses) {
        // The body rises a little as the wings push down.
        const qreal lift = pose.Angle > 90 ? -1 : pose.Angle < -100 ? 1 : 0;
        pictures.push_back(Crisp(PaintHummingbird(pose, lift, Scale), Scale, nearest));
    }

    GifAnimation animation;
    animation.Width = 51;
    animation.Height = 45;
    animation.Palette = BirdPalette;
    animation.TransparentIndex = Clear;
    animation.RestoreToBackground = true;
    animation.LoopMarker = true;
    animation.Frames = Index(pictures, BirdPalette, Clear, 128, delays);
    return animation;
}

// ---- The splash -----------------------------------------------------------------------------------------------

namespace {

constexpr int SplashWidth = 256;
constexpr int SplashHeight = 192;
const QString SplashTitle = QStringLiteral("Tapotis2002");

struct Keycap {
    QRectF Place; // in key units on the flat keyboard
    QString Label;
};

std::vector<Keycap> AzertyKeys()
{
    struct Row {
        std::vector<std::pair<QString, qreal>> Keys;
    };
    auto keys = [](const char *labels) {
        std::vector<std::pair<QString, qreal>> row;
        const QString text = QString::fromUtf8(labels);
        for (const QString &label : text.split(QLatin1Char(' ')))
            row.push_back({label, 1.0});
        return row;
    };
    std::vector<std::vector<std::pair<QString, qreal>>> rows;
    rows.push_back(keys("\xc2\xb2 1 2 3 4 5 6 7 8 9 0 \xc2\xb0 +"));
    rows.back().push_back({QString(), 2.0});
    rows.push_back({{QString(), 1.5}});
    for (const auto &key : keys("A Z E R T Y U I O P \xc2\xa8 \xc2\xa3"))
        rows.back().push_back(key);
    rows.back().push_back({QString(), 1.5});
    rows.push_back({{QString(), 1.75}});
    for (const auto &key : keys("Q S D F G H J K L M % \xc2\xb5"))
        rows.back().push_back(key);
    rows.back().push_back({QString(), 1.25});
    rows.push_back({{QString(), 1.25}});
    for (const auto &key : keys("> W X C V B N ? . / \xc2\xa7"))
        rows.back().push_back(key);
    rows.back().push_back({QString(), 2.75});
    rows.push_back({{QString(), 1.5},
                    {QString(), 1.25},
                    {QString(), 1.25},
                    {QString(), 6.0},
                    {QString(), 1.25},
                    {QString(), 1.25},
                    {QString(), 1.25},
                    {QString(), 1.25}});

    std::vector<Keycap> caps;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        qreal x = 0;
        for (const auto &key : rows[r]) {
            caps.push_back({QRectF(x, qreal(r), key.second, 1.0), key.first});
            x += key.second;
        }
    }
    return caps;
}

// The keyboard in perspective, lying on the desk; `lit` is the label of the key being struck (empty: none).
void PaintDeskKeyboard(QPainter &p, const std::vector<Keycap> &caps, const QString &lit)
{
    constexpr qreal Unit = 40;
    constexpr qreal Margin = 0.4 * Unit;
    const QRectF flat(-Margin, -Margin, 15 * Unit + 2 * Margin, 5 * Unit + 2 * Margin);
    const QPolygonF desk{QPointF(42, 73), QPointF(214, 73), QPointF(250, 156), QPointF(6, 156)};
    const QPolygonF corners{flat.topLeft(), flat.topRight(), flat.bottomRight(), flat.bottomLeft()};
    QTransform view;
    QTransform::quadToQuad(corners, desk, view);

    p.save();
    // A soft shadow on the desk, then the case's front edge, then the case top.
    QRadialGradient shadow(128, 164, 130);
    shadow.setColorAt(0.0, QColor(90, 40, 0, 110));
    shadow.setColorAt(1.0, QColor(90, 40, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.drawEllipse(QPointF(128, 162), 132, 12);
    const QPointF edge[] = {{6, 156}, {250, 156}, {248, 164}, {8, 164}};
    QLinearGradient front(0, 156, 0, 164);
    front.setColorAt(0, QColor(52, 55, 68));
    front.setColorAt(1, QColor(26, 28, 36));
    p.setBrush(front);
    p.setPen(QPen(QColor(18, 18, 26), 0.8));
    p.drawPolygon(edge, 4);

    p.setTransform(view, true);
    QLinearGradient caseTop(0, flat.top(), 0, flat.bottom());
    caseTop.setColorAt(0, QColor(92, 98, 118));
    caseTop.setColorAt(1, QColor(58, 62, 78));
    p.setBrush(caseTop);
    p.setPen(QPen(QColor(20, 20, 30), 2.5));
    p.drawRoundedRect(flat, 14, 14);

    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(21);
    font.setBold(true);
    auto paintKey = [&](const Keycap &cap, bool struck) {
        const QRectF place(cap.Place.x() * Unit, cap.Place.y() * Unit, cap.Place.width() * Unit, Unit);
        const QRectF skirt = place.adjusted(2.5, 2.5, -2.5, -2.5);
        // A struck key sinks: its top moves towards the front and shows less skirt.
        const QRectF top = struck ? skirt.adjusted(4, 6, -4, -3) : skirt.adjusted(4, 2, -4, -8);
        p.setPen(QPen(QColor(30, 30, 40), 2.0));
        p.setBrush(struck ? QColor(205, 110, 10) : QColor(150, 152, 165));
        p.drawRoundedRect(skirt, 6, 6);
        QLinearGradient face(0, top.top(), 0, top.bottom());
        if (struck) {
            face.setColorAt(0, QColor(255, 236, 120));
            face.setColorAt(1, QColor(255, 170, 20));
        } else {
            face.setColorAt(0, QColor(252, 252, 255));
            face.setColorAt(1, QColor(218, 220, 230));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(face);
        p.drawRoundedRect(top, 5, 5);
        if (!cap.Label.isEmpty()) {
            p.setPen(struck ? QColor(110, 30, 0) : QColor(45, 48, 62));
            p.setFont(font);
            p.drawText(top, Qt::AlignCenter, cap.Label);
        }
    };
    const Keycap *struck = nullptr;
    for (const Keycap &cap : caps) {
        if (!lit.isEmpty() && cap.Label.compare(lit, Qt::CaseInsensitive) == 0)
            struck = &cap;
        paintKey(cap, false);
    }
    if (struck) {
        // The struck key shines on its neighbours, then is drawn again, pressed, over its own light.
        const QPointF centre((struck->Place.center().x()) * Unit, (struck->Place.center().y()) * Unit);
        QRadialGradient halo(centre, Unit * 1.4);
        halo.setColorAt(0.0, QColor(255, 235, 130, 200));
        halo.setColorAt(0.5, QColor(255, 210, 80, 110));
        halo.setColorAt(1.0, QColor(255, 200, 60, 0));
        p.setCompositionMode(QPainter::CompositionMode_Screen);
        p.setPen(Qt::NoPen);
        p.setBrush(halo);
        p.drawEllipse(centre, Unit * 1.4, Unit * 1.4);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        paintKey(*struck, true);
    }
    p.restore();
}

// The title's face colour and coverage, lit as a rounded relief, at the splash's size.
struct Relief {
    QImage Face;  // premultiplied
    Field Mask;   // coverage, 0 .. 1
    Field Shadow; // blurred coverage
    Field Rim;    // coverage grown by about a pixel, for the dark edge
};

Relief BlueRelief(const QPainterPath &title)
{
    constexpr int Fine = 3; // work at three times the size and average down, for smooth bevels
    QImage mask = TransparentCanvas(SplashWidth * Fine, SplashHeight * Fine);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(Fine, Fine);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawPath(title);
    }
    const Field coverage = Coverage(mask);
    const Field height = BoxBlur(BoxBlur(BoxBlur(coverage, 3), 3), 2);
    const QRectF bounds = title.boundingRect();

    const float light[3] = {-0.52f, -0.62f, 0.59f};
    const float halfway[3] = {light[0], light[1], light[2] + 1.f};
    const float halfLength = std::sqrt(halfway[0] * halfway[0] + halfway[1] * halfway[1] + halfway[2] * halfway[2]);

    QImage face(SplashWidth, SplashHeight, QImage::Format_ARGB32_Premultiplied);
    face.fill(Qt::transparent);
    Field cover(SplashWidth, SplashHeight);
    for (int y = 0; y < SplashHeight; ++y)
        for (int x = 0; x < SplashWidth; ++x) {
            float sum[3] = {0, 0, 0};
            float weight = 0;
            for (int fy = 0; fy < Fine; ++fy)
                for (int fx = 0; fx < Fine; ++fx) {
                    const int sx = x * Fine + fx;
                    const int sy = y * Fine + fy;
                    const float c = coverage.Get(sx, sy);
                    if (c <= 0)
                        continue;
                    const float steep = 9.f;
                    float n[3] = {-(height.Get(sx + 1, sy) - height.Get(sx - 1, sy)) * steep,
                                  -(height.Get(sx, sy + 1) - height.Get(sx, sy - 1)) * steep, 1.f};
                    const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
                    for (float &v : n)
                        v /= length;
                    const float diffuse = std::max(0.f, n[0] * light[0] + n[1] * light[1] + n[2] * light[2]);
                    const float facing =
                        std::max(0.f, (n[0] * halfway[0] + n[1] * halfway[1] + n[2] * halfway[2]) / halfLength);
                    const float gleam = std::pow(facing, 24.f);
                    // Deep blue at the foot of the letters, brighter at the top.
                    const float t = std::clamp(float((sy / float(Fine) - bounds.top()) / bounds.height()), 0.f, 1.f);
                    const float base[3] = {60.f - 40.f * t, 140.f - 80.f * t, 255.f - 45.f * t};
                    const float shade = 0.28f + 0.95f * diffuse;
                    for (int k = 0; k < 3; ++k)
                        sum[k] += c * std::min(255.f, base[k] * shade + 235.f * gleam);
                    weight += c;
                }
            const float alpha = weight / float(Fine * Fine);
            cover.At(x, y) = alpha;
            if (weight <= 0)
                continue;
            auto channel = [&](int k) { return std::clamp(int(sum[k] / weight * alpha + 0.5f), 0, 255); };
            face.setPixel(x, y, qRgba(channel(0), channel(1), channel(2), std::clamp(int(alpha * 255 + 0.5f), 0, 255)));
        }
    Field shadow = BoxBlur(BoxBlur(cover, 2), 2);
    Field rim = BoxBlur(cover, 1);
    for (float &v : rim.Values)
        v = std::min(1.f, v * 2.6f);
    return {face, cover, shadow, rim};
}

QPainterPath SplashTitlePath()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(48);
    font.setBold(true);
    font.setItalic(true);
    QPainterPath path;
    path.addText(0, 0, font, SplashTitle);
    const QRectF bounds = path.boundingRect();
    const qreal squeeze = std::min<qreal>(1.0, 236.0 / bounds.width());
    QTransform fit;
    fit.translate(SplashWidth / 2.0 - 1, 39);
    fit.scale(squeeze, 1);
    fit.translate(-bounds.center().x(), -(bounds.top() + bounds.bottom()) / 2);
    return fit.map(path);
}

} // namespace

GifAnimation SplashAnimation()
{
    constexpr int FrameCount = 19;
    const QPainterPath title = SplashTitlePath();
    const Relief relief = BlueRelief(title);
    const std::vector<Keycap> caps = AzertyKeys();

    // Where each title letter lies across the splash, so the key under the shine can light up.
    std::vector<std::pair<qreal, qreal>> spans;
    {
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(48);
        font.setBold(true);
        font.setItalic(true);
        const QFontMetricsF metrics(font);
        const QRectF whole = title.boundingRect();
        const qreal total = metrics.horizontalAdvance(SplashTitle);
        for (int i = 0; i < SplashTitle.size(); ++i) {
            const qreal from = metrics.horizontalAdvance(SplashTitle.left(i)) / total;
            const qreal to = metrics.horizontalAdvance(SplashTitle.left(i + 1)) / total;
            spans.push_back({whole.left() + from * whole.width(), whole.left() + to * whole.width()});
        }
    }

    QImage backdrop(SplashWidth, SplashHeight, QImage::Format_ARGB32_Premultiplied);
    {
        QPainter p(&backdrop);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient sky(0, 0, 0, SplashHeight);
        sky.setColorAt(0.0, QColor(255, 250, 222));
        sky.setColorAt(0.45, QColor(255, 222, 140));
        sky.setColorAt(1.0, QColor(246, 160, 52));
        p.fillRect(backdrop.rect(), sky);
        // Faint rays fan out from behind the title.
        const QPointF source(128, 38);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 240, 46));
        for (int ray = 0; ray < 24; ray += 2) {
            const double from = ray * 2 * Pi / 24;
            const double to = (ray + 1) * 2 * Pi / 24;
            const QPointF wedge[] = {source, source + 400 * QPointF(std::cos(from), std::sin(from)),
                                     source + 400 * QPointF(std::cos(to), std::sin(to))};
            p.drawPolygon(wedge, 3);
        }
        QRadialGradient glow(128, 40, 120);
        glow.setColorAt(0.0, QColor(255, 255, 245, 200));
        glow.setColorAt(1.0, QColor(255, 255, 245, 0));
        p.fillRect(backdrop.rect(), glow);
    }
    // The drop shadow of the title falls down and right on the backdrop, with a dark rim close around it.
    for (int y = 0; y < SplashHeight; ++y)
        for (int x = 0; x < SplashWidth; ++x) {
            const float shade = std::min(1.f, 0.45f * relief.Shadow.Get(x - 3, y - 4) + relief.Rim.Get(x, y));
            if (shade <= 0)
                continue;
            const QRgb c = backdrop.pixel(x, y);
            const QRgb ink = qRgb(10, 22, 80);
            auto mix = [shade](int a, int b) { return int(a + (b - a) * shade + 0.5f); };
            backdrop.setPixel(x, y,
                              qRgb(mix(qRed(c), qRed(ink)), mix(qGreen(c), qGreen(ink)), mix(qBlue(c), qBlue(ink))));
        }

    std::vector<QImage> pictures;
    for (int f = 0; f < FrameCount; ++f) {
        QImage frame = backdrop;
        const qreal shineX = -12 + f * (SplashWidth + 24) / qreal(FrameCount - 1);
        QString lit;
        for (std::size_t i = 0; i < spans.size(); ++i)
            if (shineX >= spans[i].first && shineX < spans[i].second)
                lit = SplashTitle.mid(int(i), 1);

        QPainter p(&frame);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);

        QImage face = relief.Face;
        for (int y = 0; y < SplashHeight; ++y)
            for (int x = 0; x < SplashWidth; ++x) {
                const float cover = relief.Mask.Get(x, y);
                if (cover <= 0)
                    continue;
                // The shine is a slanted band of light sweeping left to right.
                const float d = float(x + (y - 40) * 0.45 - shineX);
                const float band = std::exp(-d * d / 40.f) * 0.8f;
                if (band < 0.01f)
                    continue;
                const QRgb c = face.pixel(x, y);
                auto lift = [&](int v) { return std::min(255, int(v + (255 * cover - v) * band + 0.5f)); };
                face.setPixel(x, y, qRgba(lift(qRed(c)), lift(qGreen(c)), lift(qBlue(c)), qAlpha(c)));
            }
        p.drawImage(0, 0, face);

        PaintDeskKeyboard(p, caps, lit);

        QFont font(QStringLiteral("Liberation Serif"));
        font.setPixelSize(17);
        font.setBold(true);
        font.setItalic(true);
        const QString motto = QStringLiteral("Apprendre ") + QChar(0xE0) + QStringLiteral(" taper au clavier");
        QPainterPath words;
        words.addText(0, 0, font, motto);
        const QRectF wordBounds = words.boundingRect();
        words.translate(SplashWidth / 2.0 - wordBounds.center().x(), 184);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 240, 200));
        p.drawPath(words.translated(0.8, 0.8));
        p.setBrush(QColor(95, 35, 5));
        p.drawPath(words);
        p.end();
        pictures.push_back(frame);
    }

    ColourCounts counts;
    for (const QImage &picture : pictures)
        counts.Add(picture);
    QVector<QRgb> palette = MedianCut(counts, 256);
    while (palette.size() < 256)
        palette.push_back(qRgb(0, 0, 0));

    GifAnimation animation;
    animation.Width = SplashWidth;
    animation.Height = SplashHeight;
    animation.Palette = palette;
    animation.TransparentIndex = -1;
    animation.RestoreToBackground = false;
    animation.LoopMarker = false;
    animation.Frames = Index(pictures, palette, -1, 0, std::vector<int>(FrameCount, 100), 3.0);
    return animation;
}

} // namespace assetgen
