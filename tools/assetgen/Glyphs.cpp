// The button glyphs: small pictures drawn on transparent canvases, then flattened for a button that treats the
// colour of its bottom-left pixel as see-through. Partly covered pixels are blended with the button face, so the
// key colour never bleeds into an edge.

#include "AssetGen.h"

#include <cmath>
#include <functional>
#include <map>
#include <stdexcept>

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace assetgen {

namespace {

constexpr double Pi = 3.14159265358979323846;
const QRgb KeyColour = qRgb(255, 0, 255);
const QColor ButtonFace(240, 240, 240);

QImage Canvas(int size)
{
    QImage canvas(size, size, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    return canvas;
}

QImage Flatten(const QImage &drawn)
{
    const QImage premultiplied = drawn.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage glyph(drawn.size(), QImage::Format_RGB32);
    for (int y = 0; y < drawn.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(premultiplied.constScanLine(y));
        auto *out = reinterpret_cast<QRgb *>(glyph.scanLine(y));
        for (int x = 0; x < drawn.width(); ++x) {
            const int alpha = qAlpha(in[x]);
            if (alpha == 0) {
                out[x] = KeyColour;
                continue;
            }
            auto over = [&](int channel, int face) { return std::min(255, channel + (255 - alpha) * face / 255); };
            QRgb c = qRgb(over(qRed(in[x]), ButtonFace.red()), over(qGreen(in[x]), ButtonFace.green()),
                          over(qBlue(in[x]), ButtonFace.blue()));
            if (c == KeyColour)
                c = qRgb(254, 0, 254);
            out[x] = c;
        }
    }
    glyph.setPixel(0, glyph.height() - 1, KeyColour);
    return glyph;
}

QPen Outline(const QColor &colour, qreal width = 1.0)
{
    QPen pen(colour, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

// A gold medal hanging from a blue-white-red ribbon whose top edge is at ribbonTop.
void Medal(QPainter &p, QPointF centre, qreal radius, qreal ribbonTop)
{
    const qreal half = std::max(2.0, radius * 0.62);
    const qreal bottom = centre.y();
    const QColor stripes[3] = {QColor(30, 70, 200), QColor(250, 250, 250), QColor(215, 30, 40)};
    const qreal third = 2 * half / 3;
    for (int i = 0; i < 3; ++i) {
        const qreal left = centre.x() - half + i * third;
        p.fillRect(QRectF(left, ribbonTop, third, bottom - ribbonTop), stripes[i]);
    }
    p.setPen(Outline(QColor(40, 40, 70), 0.7));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(centre.x() - half, ribbonTop, 2 * half, bottom - ribbonTop));

    QRadialGradient gold(centre.x() - radius * 0.35, centre.y() - radius * 0.4, radius * 1.5);
    gold.setColorAt(0.0, QColor(255, 250, 200));
    gold.setColorAt(0.35, QColor(250, 205, 60));
    gold.setColorAt(0.8, QColor(210, 145, 20));
    gold.setColorAt(1.0, QColor(160, 100, 10));
    p.setBrush(gold);
    p.setPen(Outline(QColor(115, 70, 5), 0.9));
    p.drawEllipse(centre, radius, radius);
    if (radius >= 5) {
        p.setBrush(Qt::NoBrush);
        p.setPen(Outline(QColor(185, 125, 20), 0.7));
        p.drawEllipse(centre, radius * 0.62, radius * 0.62);
    }
}

QImage Medals(int count)
{
    QImage canvas = Canvas(22);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    switch (count) {
    case 1: Medal(p, {11, 13.5}, 7, 0.5); break;
    case 2:
        Medal(p, {6.2, 14.8}, 5.3, 1.5);
        Medal(p, {15.8, 14.8}, 5.3, 1.5);
        break;
    case 3:
        Medal(p, {5.0, 16.2}, 4.5, 4.5);
        Medal(p, {17.0, 16.2}, 4.5, 4.5);
        Medal(p, {11.0, 12.5}, 5.3, 0.5);
        break;
    default:
        Medal(p, {5.8, 6.5}, 4.4, 0.5);
        Medal(p, {16.2, 6.5}, 4.4, 0.5);
        Medal(p, {5.8, 16.6}, 4.4, 10.5);
        Medal(p, {16.2, 16.6}, 4.4, 10.5);
        break;
    }
    return canvas;
}

// A ladybird seen from above, for the game.
QImage Ladybird()
{
    QImage canvas = Canvas(24);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(20, 20, 25);

    p.setPen(Outline(ink, 1.0));
    for (int side : {-1, 1}) {
        p.drawLine(QPointF(12 + side * 5, 9.5), QPointF(12 + side * 9, 7.5));
        p.drawLine(QPointF(12 + side * 6.5, 13.5), QPointF(12 + side * 10.5, 13.5));
        p.drawLine(QPointF(12 + side * 5.5, 17.5), QPointF(12 + side * 9.5, 20.5));
        p.drawLine(QPointF(12 + side * 1.5, 3.5), QPointF(12 + side * 3.5, 0.8));
    }

    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(QPointF(12, 6.2), 4.2, 3.4);
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(QPointF(10.2, 5.4), 1.0, 1.0);
    p.drawEllipse(QPointF(13.8, 5.4), 1.0, 1.0);

    QRadialGradient shell(9.5, 10.5, 10);
    shell.setColorAt(0.0, QColor(255, 120, 90));
    shell.setColorAt(0.45, QColor(225, 30, 25));
    shell.setColorAt(1.0, QColor(150, 10, 10));
    p.setBrush(shell);
    p.setPen(Outline(ink, 1.0));
    p.drawEllipse(QPointF(12, 14.2), 7.6, 7.6);
    p.drawLine(QPointF(12, 7.2), QPointF(12, 21.6));

    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    const QPointF spots[] = {{8.6, 11.4}, {15.4, 11.4}, {7.8, 16.2}, {16.2, 16.2}, {10.0, 19.2}, {14.0, 19.2}};
    for (const QPointF &spot : spots)
        p.drawEllipse(spot, 1.5, 1.5);
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawEllipse(QPointF(8.4, 8.9), 1.3, 0.8);
    return canvas;
}

QImage Loudspeaker()
{
    QImage canvas = Canvas(22);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(25, 25, 35);

    QLinearGradient body(0, 7, 0, 15);
    body.setColorAt(0, QColor(150, 150, 165));
    body.setColorAt(1, QColor(70, 70, 85));
    p.setBrush(body);
    p.setPen(Outline(ink, 1.0));
    p.drawRect(QRectF(2.5, 7.5, 4.5, 7));

    QLinearGradient cone(7, 0, 13, 0);
    cone.setColorAt(0, QColor(90, 90, 105));
    cone.setColorAt(1, QColor(185, 185, 200));
    p.setBrush(cone);
    const QPointF horn[] = {{7, 7.5}, {12.5, 2.5}, {12.5, 19.5}, {7, 14.5}};
    p.drawPolygon(horn, 4);

    p.setBrush(Qt::NoBrush);
    p.setPen(Outline(QColor(30, 90, 210), 1.6));
    for (qreal r : {3.8, 7.0}) {
        const QRectF bounds(12.5 - r, 11 - r, 2 * r, 2 * r);
        p.drawArc(bounds, -45 * 16, 90 * 16);
    }
    return canvas;
}

// A monitor whose screen shows a green sound wave.
QImage SpeakingScreen()
{
    QImage canvas = Canvas(20);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(55, 55, 65);

    p.setPen(Outline(ink, 1.0));
    p.setBrush(QColor(170, 170, 180));
    p.drawRect(QRectF(7.5, 14.5, 5, 2));
    p.drawRoundedRect(QRectF(4.5, 16.5, 11, 2), 1, 1);

    QLinearGradient bezel(0, 1, 0, 15);
    bezel.setColorAt(0, QColor(225, 225, 232));
    bezel.setColorAt(1, QColor(160, 160, 172));
    p.setBrush(bezel);
    p.drawRoundedRect(QRectF(0.5, 0.5, 19, 14.5), 1.8, 1.8);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(12, 36, 24));
    p.drawRect(QRectF(2.5, 2.5, 15, 10.5));

    QPainterPath wave;
    for (int i = 0; i <= 60; ++i) {
        const qreal x = 3.0 + 14.0 * i / 60.0;
        const qreal envelope = std::sin(Pi * i / 60.0);
        const qreal y = 7.75 - 3.6 * envelope * std::sin(2 * Pi * 2.5 * i / 60.0);
        if (i == 0)
            wave.moveTo(x, y);
        else
            wave.lineTo(x, y);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(Outline(QColor(70, 240, 100), 1.2));
    p.drawPath(wave);
    return canvas;
}

// An open right hand, palm towards us, fingers spread.
QImage OpenHand()
{
    QImage canvas = Canvas(18);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(120, 60, 25);
    QLinearGradient skin(0, 0, 18, 18);
    skin.setColorAt(0, QColor(255, 228, 195));
    skin.setColorAt(1, QColor(242, 180, 130));

    // Fingers are rounded bars hinged at the palm, fanned out a little.
    struct Finger {
        QPointF Base;
        qreal Length, Width, Angle;
    };
    const Finger fingers[] = {{{1.8, 12.8}, 6.2, 3.0, -58},
                              {{6.2, 9.5}, 8.0, 2.6, -12},
                              {{9.1, 9.0}, 8.6, 2.6, -2},
                              {{11.9, 9.3}, 8.0, 2.6, 8},
                              {{14.3, 10.2}, 6.2, 2.3, 20}};
    p.setBrush(skin);
    p.setPen(Outline(ink, 1.0));
    QPainterPath hand;
    hand.addRoundedRect(QRectF(4.5, 8.6, 10.8, 8.9), 3.0, 3.0);
    for (const Finger &f : fingers) {
        QTransform place;
        place.translate(f.Base.x(), f.Base.y());
        place.rotate(f.Angle);
        QPainterPath bar;
        bar.addRoundedRect(QRectF(-f.Width / 2, -f.Length, f.Width, f.Length + 2.5), f.Width / 2, f.Width / 2);
        QPainterPath placed = place.map(bar);
        if (&f == &fingers[0])
            placed.translate(3.5, 2.6);
        hand = hand.united(placed);
    }
    p.drawPath(hand);
    p.setPen(Outline(QColor(195, 120, 75), 0.7));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(7, 10.5, 6, 5), 200 * 16, 130 * 16);
    return canvas;
}

QImage BookStack()
{
    QImage canvas = Canvas(22);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(40, 30, 30);

    struct Book {
        QRectF Spine;
        QColor Colour;
    };
    const Book books[] = {{QRectF(1.5, 15.5, 19, 5.5), QColor(200, 40, 40)},
                          {QRectF(3.0, 10.0, 16.5, 5.5), QColor(40, 90, 200)},
                          {QRectF(1.8, 4.5, 17.0, 5.5), QColor(40, 150, 70)}};
    for (const Book &book : books) {
        const QRectF &r = book.Spine;
        // The page edges show on the right, cream, behind the spine's rounded end.
        p.setPen(Outline(ink, 0.8));
        p.setBrush(QColor(250, 240, 210));
        p.drawRect(QRectF(r.right() - 3, r.top() + 0.8, 2.8, r.height() - 1.6));
        QLinearGradient shade(0, r.top(), 0, r.bottom());
        shade.setColorAt(0, book.Colour.lighter(150));
        shade.setColorAt(0.5, book.Colour);
        shade.setColorAt(1, book.Colour.darker(160));
        p.setBrush(shade);
        p.drawRoundedRect(QRectF(r.left(), r.top(), r.width() - 2.6, r.height()), 1.2, 1.2);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(245, 205, 70));
        p.drawRect(QRectF(r.left() + 2.5, r.top() + 0.5, 1.2, r.height() - 1));
        p.drawRect(QRectF(r.right() - 7.5, r.top() + 0.5, 1.2, r.height() - 1));
    }
    return canvas;
}

// A door standing ajar on a dark room.
QImage Door()
{
    QImage canvas = Canvas(22);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(45, 25, 10);

    p.setPen(Outline(ink, 1.0));
    p.setBrush(QColor(150, 150, 160));
    p.drawRect(QRectF(3.5, 0.5, 15, 21));
    p.setBrush(QColor(25, 20, 35));
    p.drawRect(QRectF(5.5, 2.5, 11, 19));

    QLinearGradient wood(5, 0, 14, 0);
    wood.setColorAt(0, QColor(120, 65, 25));
    wood.setColorAt(1, QColor(205, 130, 60));
    p.setBrush(wood);
    const QPointF leaf[] = {{5.5, 2.5}, {13.5, 1.0}, {13.5, 21.5}, {5.5, 21.5}};
    p.drawPolygon(leaf, 4);

    p.setBrush(Qt::NoBrush);
    p.setPen(Outline(QColor(100, 55, 20), 0.8));
    const QPointF upperPanel[] = {{7.2, 4.6}, {11.8, 3.6}, {11.8, 10.2}, {7.2, 10.4}};
    const QPointF lowerPanel[] = {{7.2, 12.8}, {11.8, 12.8}, {11.8, 19.6}, {7.2, 19.6}};
    p.drawPolygon(upperPanel, 4);
    p.drawPolygon(lowerPanel, 4);

    p.setPen(Outline(QColor(120, 80, 0), 0.6));
    p.setBrush(QColor(250, 210, 60));
    p.drawEllipse(QPointF(12.2, 11.6), 1.1, 1.1);
    return canvas;
}

// A path of steps climbing to a flag: the course, one lesson after the other.
QImage Steps()
{
    QImage canvas = Canvas(22);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(45, 25, 10);

    // Four steps, each a little higher and lighter than the one before.
    for (int step = 0; step < 4; ++step) {
        const double left = 0.5 + step * 5.0;
        const double top = 17.5 - step * 4.0;
        QLinearGradient stone(left, top, left, 21.5);
        stone.setColorAt(0, QColor(250, 215 - step * 10, 110 + step * 25));
        stone.setColorAt(1, QColor(170, 110, 40));
        p.setPen(Outline(ink, 1.0));
        p.setBrush(stone);
        p.drawRect(QRectF(left, top, 5.0, 21.5 - top));
    }
    // The flag on the top step.
    p.setPen(Outline(ink, 1.0));
    p.drawLine(QPointF(18.5, 5.5), QPointF(18.5, 0.8));
    p.setPen(Outline(QColor(120, 0, 0), 0.6));
    p.setBrush(QColor(225, 30, 30));
    const QPointF flag[] = {{18.5, 0.8}, {13.0, 2.2}, {18.5, 3.8}};
    p.drawPolygon(flag, 3);
    return canvas;
}

// Four key caps in a square, tinted like a heat map from green (a sure key) to red (a weak one): the learner's
// figures key by key. The red cap carries a letter so that the square reads as keys, not as tiles.
QImage KeyHeatMap()
{
    QImage canvas = Canvas(22);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QColor ink(45, 25, 10);

    struct Cap {
        QPointF TopLeft;
        QColor Colour;
    };
    const Cap caps[] = {{{0.5, 0.5}, QColor(60, 185, 60)},
                        {{11.5, 0.5}, QColor(250, 215, 40)},
                        {{0.5, 11.5}, QColor(250, 140, 30)},
                        {{11.5, 11.5}, QColor(220, 35, 30)}};
    const qreal side = 10.0;
    for (const Cap &cap : caps) {
        // The cap's skirt, darker, shows below and beside its lighter top face.
        const QRectF body(cap.TopLeft, QSizeF(side, side));
        p.setPen(Outline(ink, 1.0));
        p.setBrush(cap.Colour.darker(135));
        p.drawRoundedRect(body, 2.0, 2.0);
        const QRectF face = body.adjusted(1.5, 1.0, -1.5, -2.5);
        QLinearGradient shade(0, face.top(), 0, face.bottom());
        shade.setColorAt(0, cap.Colour.lighter(135));
        shade.setColorAt(1, cap.Colour);
        p.setPen(Qt::NoPen);
        p.setBrush(shade);
        p.drawRoundedRect(face, 1.2, 1.2);
    }

    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(8);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(255, 255, 255));
    p.drawText(QRectF(13.0, 12.0, 7.0, 6.5), Qt::AlignCenter, QStringLiteral("A"));
    return canvas;
}

// A sheet of paper with its corner folded down and a few lines written on it, a pencil lying across it: the
// learner's own text, to type.
QImage SheetAndPencil()
{
    QImage canvas = Canvas(22);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(40, 45, 70);

    // The sheet, its top-right corner cut off where it folds down.
    const qreal left = 1.5, top = 0.5, right = 16.5, bottom = 21.5, fold = 5.0;
    QLinearGradient paper(left, top, right, bottom);
    paper.setColorAt(0, QColor(255, 255, 255));
    paper.setColorAt(1, QColor(215, 222, 235));
    p.setPen(Outline(ink, 1.0));
    p.setBrush(paper);
    const QPointF sheet[] = {{left, top}, {right - fold, top}, {right, top + fold}, {right, bottom}, {left, bottom}};
    p.drawPolygon(sheet, 5);
    p.setBrush(QColor(185, 195, 215));
    const QPointF flap[] = {{right - fold, top}, {right - fold, top + fold}, {right, top + fold}};
    p.drawPolygon(flap, 3);

    // The lines of writing, the first a short title, each on a row of whole pixels so that it stays sharp.
    p.setPen(QPen(QColor(50, 80, 170), 1.0, Qt::SolidLine, Qt::FlatCap));
    const qreal ends[] = {9.0, 14.0, 14.0, 12.0, 14.0, 9.0};
    for (int i = 0; i < 6; ++i)
        p.drawLine(QPointF(4.0, 4.5 + 3 * i), QPointF(ends[i], 4.5 + 3 * i));

    // The pencil, its point towards the bottom left, drawn along its own axis.
    p.translate(7.5, 20.5);
    p.rotate(-45);
    const qreal half = 2.1;
    p.setPen(Outline(ink, 0.9));
    QLinearGradient wood(0, -half, 0, half);
    wood.setColorAt(0, QColor(255, 225, 170));
    wood.setColorAt(1, QColor(215, 160, 95));
    p.setBrush(wood);
    const QPointF cone[] = {{0, 0}, {4.5, -half}, {4.5, half}};
    p.drawPolygon(cone, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(35, 35, 40));
    const QPointF lead[] = {{0, 0}, {1.6, -0.75}, {1.6, 0.75}};
    p.drawPolygon(lead, 3);

    QLinearGradient body(0, -half, 0, half);
    body.setColorAt(0, QColor(255, 235, 110));
    body.setColorAt(0.5, QColor(250, 195, 30));
    body.setColorAt(1, QColor(200, 130, 10));
    p.setPen(Outline(ink, 0.9));
    p.setBrush(body);
    p.drawRect(QRectF(4.5, -half, 8.5, 2 * half));
    p.setBrush(QColor(175, 180, 190));
    p.drawRect(QRectF(13.0, -half, 1.6, 2 * half));
    p.setBrush(QColor(240, 120, 140));
    p.drawRoundedRect(QRectF(14.6, -half, 2.2, 2 * half), 0.8, 0.8);
    return canvas;
}

} // namespace

QImage DrawGlyph(const QString &button)
{
    static const std::map<QString, std::function<QImage()>> makers = {
        {QStringLiteral("BoutonFacile"), [] { return Medals(1); }},
        {QStringLiteral("BoutonMoyen"), [] { return Medals(2); }},
        {QStringLiteral("BoutonDifficile"), [] { return Medals(3); }},
        {QStringLiteral("BoutonDicteesVocales"), [] { return Medals(4); }},
        {QStringLiteral("BoutonJeu"), Ladybird},
        {QStringLiteral("BoutonSon"), Loudspeaker},
        {QStringLiteral("BoutonPrononcer"), SpeakingScreen},
        {QStringLiteral("BoutonAuto"), OpenHand},
        {QStringLiteral("BoutonAide"), BookStack},
        {QStringLiteral("BoutonQuitter"), Door},
        {QStringLiteral("BoutonParcours"), Steps},
        {QStringLiteral("BoutonTouches"), KeyHeatMap},
        {QStringLiteral("BoutonMonTexte"), SheetAndPencil},
    };
    const auto maker = makers.find(button);
    if (maker == makers.end())
        throw std::runtime_error("no glyph for the button " + button.toStdString());
    return Flatten(maker->second());
}

} // namespace assetgen
