// The keyboard picture "Tapotis.bmp": a French AZERTY PC keyboard, ivory key caps on an orange case; and the same
// keyboard with the legends of each other French-speaking layout on its main block.
//
// Everything is drawn in SURFACE coordinates (the program draws the picture at (-1, -1), so the surface point
// (x, y) is the picture's pixel (x + 1, y + 1)). A key of the main block whose key-map centre is (x, y) has its
// cap on the pixels x - 7 .. x + 10 and y - 7 .. y + 11, just inside the 19 x 20 outline the program draws from
// (x - 8, y - 8) to (x + 11, y + 12); between two caps at least seven pixels of the orange case show. Every legend
// keeps off the centre pixel itself, which stays cap-coloured.

#include "AssetGen.h"
#include "guide/KeyMap.h"
#include "platform/text/Cp1252.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace assetgen {

namespace {

constexpr int PictureWidth = 634;
constexpr int PictureHeight = 250;

// ---- Colours ----------------------------------------------------------------------------------------------------

const QColor CaseOrange(236, 122, 24);
const QColor CaseLight(252, 170, 84);
const QColor CaseDark(168, 74, 8);
const QColor CaseShadow(200, 96, 14);
const QColor CaseDeep(214, 104, 16);
const QColor Black(0, 0, 0);
const QColor CapEdge(84, 72, 60);
const QColor CapSkirtTop(222, 217, 203);
const QColor CapSkirtBottom(184, 177, 161);
const QColor CapFaceTop(250, 248, 240);
const QColor CapFaceBottom(240, 236, 224);
const QColor Ink(30, 30, 34);
const QColor AltInk(28, 72, 168);

// ---- Fonts ------------------------------------------------------------------------------------------------------

QFont LegendFont(int pixels, bool bold, bool narrow = false)
{
    QFont font;
    if (narrow)
        font.setFamilies(
            {QStringLiteral("Nimbus Sans Narrow"), QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans")});
    else
        font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans")});
    font.setPixelSize(pixels);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setHintingPreference(QFont::PreferVerticalHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    font.setKerning(true);
    return font;
}

// The ink box of a text drawn with its baseline origin at (0, 0), measured on the rendered pixels (the font
// metrics' own box is only an estimate once the glyphs are hinted).
QRectF InkBox(const QFont &font, const QString &text)
{
    static QHash<QString, QRectF> cache;
    const QString key = font.key() + QLatin1Char('|') + text;
    const auto found = cache.constFind(key);
    if (found != cache.constEnd())
        return found.value();
    const int size = font.pixelSize();
    const QPoint origin(size, 2 * size);
    QImage scratch(size * (static_cast<int>(text.size()) + 2), 3 * size, QImage::Format_ARGB32_Premultiplied);
    scratch.fill(Qt::transparent);
    QPainter painter(&scratch);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(origin, text);
    painter.end();
    int left = scratch.width(), top = scratch.height(), right = -1, bottom = -1;
    for (int y = 0; y < scratch.height(); ++y)
        for (int x = 0; x < scratch.width(); ++x)
            if (qAlpha(scratch.pixel(x, y)) >= 64) {
                left = std::min(left, x);
                top = std::min(top, y);
                right = std::max(right, x);
                bottom = std::max(bottom, y);
            }
    const QRectF box =
        right < 0 ? QRectF() : QRectF(left - origin.x(), top - origin.y(), right - left + 1, bottom - top + 1);
    cache.insert(key, box);
    return box;
}

// Draws text so that its ink is centred on (cx, cy), on whole pixels.
void TextCentred(QPainter &painter, const QFont &font, const QString &text, QPointF centre, const QColor &colour)
{
    const QRectF ink = InkBox(font, text);
    const QPointF origin(std::round(centre.x() - ink.center().x()), std::round(centre.y() - ink.center().y()));
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(origin, text);
}

// Draws text so that its ink's left edge is at x and its ink is centred vertically on cy.
void TextLeft(QPainter &painter, const QFont &font, const QString &text, qreal x, qreal cy, const QColor &colour)
{
    const QRectF ink = InkBox(font, text);
    const QPointF origin(std::round(x - ink.left()), std::round(cy - ink.center().y()));
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(origin, text);
}

// The largest narrow font (up to `pixels`) whose ink of `text` fits in `width`.
QFont FittingFont(const QString &text, int pixels, qreal width, bool bold)
{
    for (int size = pixels; size > 5; --size)
        for (bool narrow : {false, true}) {
            const QFont font = LegendFont(size, bold, narrow);
            if (InkBox(font, text).width() <= width)
                return font;
        }
    return LegendFont(6, bold, true);
}

// ---- Symbols ----------------------------------------------------------------------------------------------------

void FillPath(QPainter &painter, const QPainterPath &path, const QColor &colour)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(path);
}

void StrokePath(QPainter &painter, const QPainterPath &path, const QColor &colour, qreal width)
{
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.drawPath(path);
}

// A left arrow with its tip at `tip`, `length` long, a head `head` wide.
QPainterPath LeftArrow(QPointF tip, qreal length, qreal head, qreal shaft)
{
    QPainterPath path;
    path.moveTo(tip);
    path.lineTo(tip.x() + head * 0.9, tip.y() - head / 2);
    path.lineTo(tip.x() + head * 0.9, tip.y() - shaft / 2);
    path.lineTo(tip.x() + length, tip.y() - shaft / 2);
    path.lineTo(tip.x() + length, tip.y() + shaft / 2);
    path.lineTo(tip.x() + head * 0.9, tip.y() + shaft / 2);
    path.lineTo(tip.x() + head * 0.9, tip.y() + head / 2);
    path.closeSubpath();
    return path;
}

QPainterPath Mirrored(const QPainterPath &path, qreal axisX)
{
    QTransform flip(-1, 0, 0, 1, 2 * axisX, 0);
    return flip.map(path);
}

// The outlined Shift arrow (an up arrow with a hollow body), its top at `top`, centred on cx.
QPainterPath ShiftArrow(qreal cx, qreal top, qreal width, qreal height)
{
    QPainterPath path;
    const qreal stem = width * 0.5;
    const qreal headHeight = height * 0.55;
    path.moveTo(cx, top);
    path.lineTo(cx + width / 2, top + headHeight);
    path.lineTo(cx + stem / 2, top + headHeight);
    path.lineTo(cx + stem / 2, top + height);
    path.lineTo(cx - stem / 2, top + height);
    path.lineTo(cx - stem / 2, top + headHeight);
    path.lineTo(cx - width / 2, top + headHeight);
    path.closeSubpath();
    return path;
}

// The Enter arrow: a hook coming down on the right, then pointing left.
QPainterPath EnterArrow(qreal right, qreal top, qreal width, qreal height)
{
    QPainterPath path;
    const qreal shaft = 1.6;
    const qreal head = 6;
    const qreal tipY = top + height - head / 2;
    path.moveTo(right - width, tipY);
    path.lineTo(right - width + head * 0.9, tipY - head / 2);
    path.lineTo(right - width + head * 0.9, tipY - shaft / 2);
    path.lineTo(right - shaft, tipY - shaft / 2);
    path.lineTo(right - shaft, top);
    path.lineTo(right, top);
    path.lineTo(right, tipY + shaft / 2);
    path.lineTo(right - width + head * 0.9, tipY + shaft / 2);
    path.lineTo(right - width + head * 0.9, tipY + head / 2);
    path.closeSubpath();
    return path;
}

QPainterPath Triangle(QPointF a, QPointF b, QPointF c)
{
    QPainterPath path;
    path.moveTo(a);
    path.lineTo(b);
    path.lineTo(c);
    path.closeSubpath();
    return path;
}

// A small four-pane window flag.
void WindowsLogo(QPainter &painter, QPointF centre)
{
    const qreal s = 3.5;
    const qreal g = 1;
    const QColor panes[4] = {QColor(200, 40, 30), QColor(40, 150, 50), QColor(30, 90, 190), QColor(230, 170, 20)};
    const QPointF corners[4] = {{-s - g / 2, -s - g / 2}, {g / 2, -s - g / 2}, {-s - g / 2, g / 2}, {g / 2, g / 2}};
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        painter.setBrush(panes[i]);
        painter.drawRect(QRectF(centre + corners[i], QSizeF(s, s)));
    }
}

// The menu key's sign: a little menu with a pointer.
void MenuSign(QPainter &painter, QPointF centre)
{
    const QRectF box(std::round(centre.x()) - 5, std::round(centre.y()) - 5, 9, 10);
    painter.setPen(QPen(Ink, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box.adjusted(0.5, 0.5, -0.5, -0.5));
    for (int i = 0; i < 3; ++i)
        painter.fillRect(QRectF(box.left() + 2, box.top() + 2 + 2 * i, 5, 1), Ink);
}

// ---- Keys -------------------------------------------------------------------------------------------------------

const QPoint NoCentre(-1000, -1000); // a key the key map does not name

// Draws a key's legend; given the key's cap (for the ISO Enter: its upper part).
using LegendPainter = std::function<void(QPainter &, const QRectF &cap)>;

struct Key {
    QRectF Cap;               // whole pixels: [left, right) x [top, bottom), surface coordinates
    QRectF Lower;             // the ISO Enter's lower part, joined to Cap; empty for other keys
    QPoint Centre = NoCentre; // the key map's centre, kept free of legend ink
    LegendPainter Legend;
    bool Letter = false; // a letter key: its legend would rather move sideways than up or down
};

// The top face of a cap: the cap's left side and front show as a skirt (the keys are seen a little from the
// front left), its right side only as the outline.
QRectF FaceOf(const QRectF &cap)
{
    return cap.adjusted(2, 1, -1, -2);
}

// The middle of the key-centre pixel of a one-unit key (surface point (x, y) for the cap x - 7 .. x + 10).
QPointF AnchorOf(const QRectF &cap)
{
    return cap.topLeft() + QPointF(7.5, 7.5);
}

QPainterPath RoundedRect(const QRectF &r, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

QPainterPath CapShape(const Key &key, qreal inset, qreal radius, qreal bottomInset)
{
    QPainterPath path = RoundedRect(key.Cap.adjusted(inset, inset, -inset, -bottomInset), radius);
    if (!key.Lower.isEmpty()) {
        path = path.united(RoundedRect(key.Lower.adjusted(inset, inset, -inset, -bottomInset), radius));
        path = path.simplified();
    }
    return path;
}

void PaintCapShadow(QPainter &painter, const Key &key)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(CaseShadow);
    painter.drawPath(CapShape(key, 0, 3, 0).translated(1, 1));
}

void PaintCap(QPainter &painter, const Key &key)
{
    const QRectF whole = key.Lower.isEmpty() ? key.Cap : key.Cap.united(key.Lower);
    painter.setPen(Qt::NoPen);
    painter.setBrush(CapEdge);
    painter.drawPath(CapShape(key, 0, 3, 0));

    QLinearGradient skirt(whole.topLeft(), whole.bottomLeft());
    skirt.setColorAt(0, CapSkirtTop);
    skirt.setColorAt(1, CapSkirtBottom);
    painter.setBrush(skirt);
    painter.drawPath(CapShape(key, 1, 2.2, 1));

    // The top face, a little lighter at its top.
    QPainterPath face = RoundedRect(FaceOf(key.Cap), 2);
    if (!key.Lower.isEmpty())
        face = face.united(RoundedRect(FaceOf(key.Lower), 2)).simplified();
    QLinearGradient faceShade(whole.topLeft(), whole.bottomLeft());
    faceShade.setColorAt(0, CapFaceTop);
    faceShade.setColorAt(1, CapFaceBottom);
    painter.setBrush(faceShade);
    painter.drawPath(face);
}

void PaintKey(QPainter &painter, const Key &key, QPointF legendShift)
{
    PaintCap(painter, key);
    if (key.Legend) {
        painter.save();
        painter.translate(legendShift);
        key.Legend(painter, key.Cap);
        painter.restore();
    }
}

// ---- Legends ----------------------------------------------------------------------------------------------------

QString Latin1(unsigned char c)
{
    return QString(QChar(static_cast<char16_t>(c)));
}

// A letter key: the capital letter, large. It sits a little right of and below the key centre, where the centre
// pixel falls outside the ink of nearly every letter (the few others move a pixel sideways).
LegendPainter LetterLegend(QString letter)
{
    return [letter](QPainter &painter, const QRectF &cap) {
        TextCentred(painter, LegendFont(11, true), letter, AnchorOf(cap) + QPointF(4, 2), Ink);
    };
}

// A letter key that has an AltGr character too: the capital where LetterLegend puts it, the AltGr character small
// and blue in the top-left corner, clear of the letter and of the key centre.
LegendPainter LetterAltGrLegend(QString letter, QString altGr)
{
    return [letter, altGr](QPainter &painter, const QRectF &cap) {
        const QPointF anchor = AnchorOf(cap);
        TextCentred(painter, LegendFont(11, true), letter, anchor + QPointF(4, 2), Ink);
        const QFont font = FittingFont(altGr, 8, 6, false);
        TextCentred(painter, font, altGr, anchor + QPointF(-3.5, -3), AltInk);
    };
}

// A key with its Shift character above its plain character, in a column just left of the key centre, and perhaps
// an AltGr character bottom right, in blue.
LegendPainter PairLegend(QString shifted, QString plain, QString altGr = QString())
{
    return [shifted, plain, altGr](QPainter &painter, const QRectF &cap) {
        const QPointF anchor = AnchorOf(cap);
        const QFont font = LegendFont(9, true);
        const qreal column = anchor.x() - 3;
        if (!shifted.isEmpty()) {
            // The upper character stands level with the centre pixel: its ink ends left of it.
            QFont upper = font;
            if (InkBox(upper, shifted).width() > 6)
                upper = LegendFont(8, true);
            const qreal width = InkBox(upper, shifted).width();
            const qreal middle = std::min(column, anchor.x() - 0.5 - width / 2);
            TextCentred(painter, upper, shifted, QPointF(middle, anchor.y() - 2.5), Ink);
        }
        TextCentred(painter, font, plain, QPointF(column, anchor.y() + 5.5), Ink);
        if (!altGr.isEmpty())
            TextCentred(painter, LegendFont(9, false), altGr, anchor + QPointF(5.5, 5.5), AltInk);
    };
}

// Words, one or two lines, centred on the face, in the largest size that fits.
LegendPainter WordLegend(QStringList lines, int pixels = 8, bool bold = false)
{
    return [lines, pixels, bold](QPainter &painter, const QRectF &cap) {
        const QRectF face = FaceOf(cap);
        const qreal lineHeight = pixels * 0.95;
        const qreal top = face.center().y() - lineHeight * (lines.size() - 1) / 2;
        for (int i = 0; i < lines.size(); ++i) {
            const QFont font = FittingFont(lines.at(i), pixels, face.width() - 2.5, bold);
            TextCentred(painter, font, lines.at(i), QPointF(face.center().x(), top + i * lineHeight), Ink);
        }
    };
}

// A modifier's name low on the key, on its outer side, like the printed ones.
LegendPainter CornerLegend(QString name, bool right)
{
    return [name, right](QPainter &painter, const QRectF &cap) {
        const QRectF face = FaceOf(cap);
        const QFont font = LegendFont(9, false);
        const QRectF ink = InkBox(font, name);
        const qreal x = right ? face.right() - 2.5 - ink.width() : face.left() + 2.5;
        TextLeft(painter, font, name, x, face.bottom() - 2.5 - ink.height() / 2, Ink);
    };
}

// ---- The layout -------------------------------------------------------------------------------------------------

QRectF StandardCap(keymap::KeyPoint centre)
{
    return QRectF(centre.x - 7, centre.y - 7, 18, 19);
}

QRectF RowCap(int left, int right, int rowY)
{
    return QRectF(left, rowY - 7, right - left + 1, 19);
}

// The AltGr characters of the digit row (Windows French layout).
QString AltGrOf(unsigned char plain)
{
    switch (plain) {
    case 0xE9: return QStringLiteral("~");
    case '"': return QStringLiteral("#");
    case '\'': return QStringLiteral("{");
    case '(': return QStringLiteral("[");
    case '-': return QStringLiteral("|");
    case 0xE8: return QStringLiteral("`");
    case '_': return QStringLiteral("\\");
    case 0xE7: return QStringLiteral("^");
    case 0xE0: return QStringLiteral("@");
    case ')': return QStringLiteral("]");
    case '=': return QStringLiteral("}");
    default: return QString();
    }
}

constexpr std::uint8_t SpaceScan = 0x39;

// The spacing form of a dead key's accent, by the combining accent of the letters it makes.
QString SpacingAccent(QChar combining)
{
    switch (combining.unicode()) {
    case 0x0300: return QStringLiteral("`");
    case 0x0301: return QStringLiteral("\u00B4");
    case 0x0302: return QStringLiteral("^");
    case 0x0303: return QStringLiteral("~");
    case 0x0308: return QStringLiteral("\u00A8");
    case 0x030A: return QStringLiteral("\u02DA");
    case 0x030C: return QStringLiteral("\u02C7");
    case 0x0327: return QStringLiteral("\u00B8");
    default: return QString();
    }
}

// What a key's cap shows at a level: the character it types, or for a dead key its accent, read off the
// characters the table types through it; nothing for a blank (a no-break space) or a level without a character.
QString ShownAt(const layouts::TypingTable &table, layouts::Stroke stroke)
{
    if (const unsigned char ch = layouts::CharacterAt(table, stroke); ch != 0) {
        const QChar shown = cp1252::ToUnicode(ch);
        return shown.isPrint() && !shown.isSpace() ? QString(shown) : QString();
    }
    for (std::size_t ch = 1; ch < table.size(); ++ch) {
        if (!(table[ch].Dead == stroke) || table[ch].Dead.Key == 0)
            continue;
        const QString letter =
            QString(cp1252::ToUnicode(static_cast<unsigned char>(ch))).normalized(QString::NormalizationForm_D);
        if (letter.size() == 2)
            return SpacingAccent(letter.at(1));
    }
    return QString();
}

void AddNamedMainKeys(std::vector<Key> &keys);

std::vector<Key> MainBlock()
{
    std::vector<Key> keys;
    for (const keymap::KeyRow &row : keymap::KeyRows()) {
        Key key;
        key.Cap = StandardCap(row.Centre);
        key.Centre = QPoint(row.Centre.x, row.Centre.y);
        const auto plain = static_cast<unsigned char>(row.Characters[0]);
        const auto shifted = static_cast<unsigned char>(row.Characters[1]);
        key.Letter = plain >= 'a' && plain <= 'z';
        if (key.Letter)
            key.Legend = LetterLegend(Latin1(shifted));
        else if (shifted == 0)
            key.Legend = [](QPainter &painter, const QRectF &cap) { // the square key: only its plain character
                TextCentred(painter, LegendFont(14, true), Latin1(0xB2), AnchorOf(cap) + QPointF(-2.5, -3), Ink);
            };
        else
            key.Legend = PairLegend(Latin1(shifted), Latin1(plain), AltGrOf(plain));
        keys.push_back(key);
    }

    // The less-than key between the left Shift and W.
    Key lessGreater;
    lessGreater.Cap = StandardCap({63, 177});
    lessGreater.Legend = PairLegend(QStringLiteral(">"), QStringLiteral("<"));
    keys.push_back(lessGreater);
    AddNamedMainKeys(keys);
    return keys;
}

// The main block of a layout other than the French one: the same caps, each character key with the legends its
// scan code has in the layout's typing table, and the same named keys.
std::vector<Key> LayoutMainBlock(const layouts::TypingTable &table)
{
    std::vector<Key> keys;
    for (const keymap::PhysicalKey &physical : keymap::PhysicalKeys()) {
        if (physical.Scan == SpaceScan)
            continue;
        Key key;
        key.Cap = StandardCap(physical.Centre);
        key.Centre = QPoint(physical.Centre.x, physical.Centre.y);
        const QString plain = ShownAt(table, {physical.Scan, 0});
        const QString shifted = ShownAt(table, {physical.Scan, layouts::ShiftLevel});
        const QString altGr = ShownAt(table, {physical.Scan, layouts::AltGrLevel});
        key.Letter = plain.size() == 1 && plain.at(0).isLower() && shifted == plain.toUpper();
        if (key.Letter)
            key.Legend = altGr.isEmpty() ? LetterLegend(shifted) : LetterAltGrLegend(shifted, altGr);
        else if (!plain.isEmpty() || !shifted.isEmpty() || !altGr.isEmpty())
            key.Legend = PairLegend(shifted, plain, altGr);
        keys.push_back(key);
    }
    AddNamedMainKeys(keys);
    return keys;
}

// The keys of the main block that type no character (Backspace, Tab, Enter, the modifiers...), the same on every
// layout's picture.
void AddNamedMainKeys(std::vector<Key> &keys)
{
    auto named = [&](QRectF cap, QPoint centre, LegendPainter legend) {
        Key key;
        key.Cap = cap;
        key.Centre = centre;
        key.Legend = std::move(legend);
        keys.push_back(key);
    };

    // Backspace: a long left arrow.
    named(RowCap(369, 422, 97), QPoint(394, 97), [](QPainter &painter, const QRectF &cap) {
        const QRectF face = FaceOf(cap);
        FillPath(painter, LeftArrow(QPointF(face.left() + 3, face.center().y()), 19, 8, 2), Ink);
    });

    // Tab: an arrow to the bar on the left above an arrow to the bar on the right.
    named(RowCap(23, 55, 124), NoCentre, [](QPainter &painter, const QRectF &cap) {
        const QRectF face = FaceOf(cap);
        const qreal x = face.left() + 3;
        const qreal y1 = face.top() + 3.5;
        const qreal y2 = face.top() + 10.5;
        QPainterPath upper = LeftArrow(QPointF(x + 1.5, y1), 14, 6, 1.6);
        upper.addRect(QRectF(x, y1 - 3, 1.5, 6));
        QPainterPath lower = Mirrored(LeftArrow(QPointF(x + 1.5, y2), 14, 6, 1.6), x + 8.25);
        lower.addRect(QRectF(x + 15, y2 - 3, 1.5, 6));
        FillPath(painter, upper, Ink);
        FillPath(painter, lower, Ink);
    });

    // Caps lock: "Verr. maj" above a small hollow down arrow.
    named(RowCap(23, 62, 151), NoCentre, [](QPainter &painter, const QRectF &cap) {
        const QRectF face = FaceOf(cap);
        const QFont font = FittingFont(QStringLiteral("Verr. maj"), 8, face.width() - 2, false);
        TextLeft(painter, font, QStringLiteral("Verr. maj"), face.left() + 1.5, face.top() + 4.5, Ink);
        QPainterPath arrow = ShiftArrow(face.left() + 5, face.top() + 8, 7, 6);
        arrow = QTransform(1, 0, 0, -1, 0, 2 * (face.top() + 11)).map(arrow);
        StrokePath(painter, arrow, Ink, 1.1);
    });

    // The Enter key, an inverted L over the two letter rows.
    {
        Key enter;
        enter.Cap = QRectF(383, 117, 40, 19);
        enter.Lower = QRectF(390, 117, 33, 46);
        enter.Centre = QPoint(400, 137);
        enter.Legend = [](QPainter &painter, const QRectF &cap) {
            const QRectF face = FaceOf(cap);
            const QFont font = LegendFont(8, false);
            TextCentred(painter, font, QStringLiteral("Entrée"), QPointF(face.center().x() + 1, face.top() + 4.5), Ink);
            FillPath(painter, EnterArrow(face.right() - 5, face.bottom() + 8, 14, 11), Ink);
        };
        keys.push_back(enter);
    }

    // The Shift keys: the hollow up arrow, on the left of the key like the real ones.
    named(RowCap(23, 48, 177), QPoint(34, 177), [](QPainter &painter, const QRectF &cap) {
        const QRectF face = FaceOf(cap);
        StrokePath(painter, ShiftArrow(face.left() + 4.5, face.top() + 2.5, 8, 10), Ink, 1.1);
    });
    named(RowCap(348, 422, 177), QPoint(378, 177), [](QPainter &painter, const QRectF &cap) {
        const QRectF face = FaceOf(cap);
        StrokePath(painter, ShiftArrow(face.left() + 6, face.top() + 2, 8, 10), Ink, 1.1);
        TextLeft(painter, LegendFont(8, false), QStringLiteral("Maj"), face.left() + 42, face.top() + 7.5, Ink);
    });

    // The bottom row.
    named(RowCap(23, 54, 203), QPoint(37, 203), CornerLegend(QStringLiteral("Ctrl"), false));
    named(RowCap(62, 84, 203), NoCentre,
          [](QPainter &painter, const QRectF &cap) { WindowsLogo(painter, FaceOf(cap).center()); });
    named(RowCap(92, 125, 203), QPoint(107, 203), CornerLegend(QStringLiteral("Alt"), false));
    named(RowCap(133, 270, 203), QPoint(200, 202), LegendPainter());
    named(RowCap(278, 311, 203), NoCentre, CornerLegend(QStringLiteral("Alt Gr"), true));
    named(RowCap(319, 341, 203), NoCentre,
          [](QPainter &painter, const QRectF &cap) { WindowsLogo(painter, FaceOf(cap).center()); });
    named(RowCap(349, 371, 203), NoCentre,
          [](QPainter &painter, const QRectF &cap) { MenuSign(painter, FaceOf(cap).center()); });
    named(RowCap(379, 422, 203), NoCentre, CornerLegend(QStringLiteral("Ctrl"), true));
}

constexpr int FunctionTop = 59;
constexpr int FunctionHeight = 18;

std::vector<Key> FunctionRow()
{
    std::vector<Key> keys;
    auto add = [&](int left, LegendPainter legend) {
        Key key;
        key.Cap = QRectF(left, FunctionTop, 19, FunctionHeight);
        key.Legend = std::move(legend);
        keys.push_back(key);
    };
    add(23, WordLegend({QStringLiteral("Échap")}, 8));
    const int groups[3] = {77, 200, 323};
    int number = 1;
    for (int group : groups)
        for (int i = 0; i < 4; ++i, ++number)
            add(group + 27 * i, WordLegend({QStringLiteral("F%1").arg(number)}, 9));
    return keys;
}

constexpr int EditLeft = 433;
constexpr int EditPitch = 26;
constexpr int EditWidth = 20;
constexpr int PadLeft = 517;
constexpr int SmallPitch = 25;

std::vector<Key> EditingBlock()
{
    std::vector<Key> keys;
    auto add = [&](int column, QRectF rows, LegendPainter legend) {
        Key key;
        key.Cap = QRectF(EditLeft + EditPitch * column, rows.top(), EditWidth, rows.height());
        key.Legend = std::move(legend);
        keys.push_back(key);
    };
    const QRectF fnRow(0, FunctionTop, 0, FunctionHeight);
    add(0, fnRow, WordLegend({QStringLiteral("Impr"), QStringLiteral("écran")}, 7));
    add(1, fnRow, WordLegend({QStringLiteral("Arrêt"), QStringLiteral("défil")}, 7));
    add(2, fnRow, WordLegend({QStringLiteral("Pause")}, 7));
    const QRectF row1 = RowCap(0, 0, 97);
    const QRectF row2 = RowCap(0, 0, 124);
    add(0, row1, WordLegend({QStringLiteral("Inser")}, 8, true));
    add(1, row1, WordLegend({QStringLiteral("Origine")}, 8, true));
    add(2, row1, WordLegend({QStringLiteral("Pg"), QStringLiteral("préc")}, 8, true));
    add(0, row2, WordLegend({QStringLiteral("Suppr")}, 8, true));
    add(1, row2, WordLegend({QStringLiteral("Fin")}, 8, true));
    add(2, row2, WordLegend({QStringLiteral("Pg"), QStringLiteral("suiv")}, 8, true));

    auto arrow = [](int direction) {
        return [direction](QPainter &painter, const QRectF &cap) {
            const QRectF face = FaceOf(cap);
            const QPointF c = face.center();
            QPainterPath path = Triangle(QPointF(0, -4), QPointF(4.5, 3), QPointF(-4.5, 3));
            QTransform turn;
            turn.translate(c.x(), c.y());
            turn.rotate(90.0 * direction);
            FillPath(painter, turn.map(path), Ink);
        };
    };
    add(1, RowCap(0, 0, 177), arrow(0));
    add(0, RowCap(0, 0, 203), arrow(3));
    add(1, RowCap(0, 0, 203), arrow(2));
    add(2, RowCap(0, 0, 203), arrow(1));
    return keys;
}

std::vector<Key> NumericPad()
{
    std::vector<Key> keys;
    auto add = [&](int column, int columns, int rowY, int rows, LegendPainter legend) {
        Key key;
        const QRectF first = RowCap(0, 0, rowY);
        key.Cap = QRectF(PadLeft + SmallPitch * column, first.top(), 18 + SmallPitch * (columns - 1),
                         first.height() + (rows - 1) * 27 - (rows > 1 && rowY >= 177 ? 1 : 0));
        key.Legend = std::move(legend);
        keys.push_back(key);
    };
    auto digit = [](QString number) {
        return [number](QPainter &painter, const QRectF &cap) {
            const QRectF face = FaceOf(cap);
            TextCentred(painter, LegendFont(10, true), number, QPointF(face.center().x(), face.top() + 6.5), Ink);
        };
    };
    auto sign = [](QString text) {
        return [text](QPainter &painter, const QRectF &cap) {
            const QRectF face = FaceOf(cap);
            TextCentred(painter, LegendFont(13, true), text, QPointF(face.center().x(), face.top() + 6.5), Ink);
        };
    };
    add(0, 1, 97, 1, WordLegend({QStringLiteral("Verr"), QStringLiteral("num")}, 8));
    add(1, 1, 97, 1, sign(QStringLiteral("/")));
    add(2, 1, 97, 1, sign(QStringLiteral("*")));
    add(3, 1, 97, 1, sign(QStringLiteral("-")));
    add(0, 1, 124, 1, digit(QStringLiteral("7")));
    add(1, 1, 124, 1, digit(QStringLiteral("8")));
    add(2, 1, 124, 1, digit(QStringLiteral("9")));
    add(3, 1, 124, 2, sign(QStringLiteral("+")));
    add(0, 1, 151, 1, digit(QStringLiteral("4")));
    add(1, 1, 151, 1, digit(QStringLiteral("5")));
    add(2, 1, 151, 1, digit(QStringLiteral("6")));
    add(0, 1, 177, 1, digit(QStringLiteral("1")));
    add(1, 1, 177, 1, digit(QStringLiteral("2")));
    add(2, 1, 177, 1, digit(QStringLiteral("3")));
    add(3, 1, 177, 2, [](QPainter &painter, const QRectF &cap) {
        const QRectF face = FaceOf(cap);
        FillPath(painter, EnterArrow(face.right() - 3, face.top() + 14, 11, 12), Ink);
    });
    add(0, 2, 203, 1, digit(QStringLiteral("0")));
    add(2, 1, 203, 1, sign(QStringLiteral(".")));
    return keys;
}

// ---- Keeping the key centres clear ------------------------------------------------------------------------------

int Distance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

// Renders one key alone, its bounds' top-left at (8, 8) of a small picture.
QImage RenderKey(const Key &key, bool withLegend, QPointF shift)
{
    const QRectF whole = key.Lower.isEmpty() ? key.Cap : key.Cap.united(key.Lower);
    QImage image(static_cast<int>(whole.width()) + 16, static_cast<int>(whole.height()) + 16, QImage::Format_RGB32);
    image.fill(CaseOrange);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(8 - whole.left(), 8 - whole.top());
    if (withLegend)
        PaintKey(painter, key, shift);
    else
        PaintCap(painter, key);
    return image;
}

// The nudge of a key's legend (a few pixels at most) that keeps the key centre bare: the centre pixel must stay
// within 16 levels of the bare cap; then its neighbours as bare as may be, with the smallest nudge. The legends are
// laid out so that nearly all keys need none; this keeps the rule whatever the fonts turn out to be.
QPointF LegendShift(const Key &key)
{
    if (!key.Legend || key.Centre == NoCentre)
        return QPointF(0, 0);
    const QRectF whole = key.Lower.isEmpty() ? key.Cap : key.Cap.united(key.Lower);
    const QImage bare = RenderKey(key, false, QPointF());
    const int cx = key.Centre.x() - static_cast<int>(whole.left()) + 8;
    const int cy = key.Centre.y() - static_cast<int>(whole.top()) + 8;
    QPointF best(0, 0);
    int bestCost = 1 << 30;
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -3; dx <= 3; ++dx) {
            if (std::abs(dx) + std::abs(dy) > 3)
                continue;
            const QImage drawn = RenderKey(key, true, QPointF(dx, dy));
            const int centre = Distance(drawn.pixel(cx, cy), bare.pixel(cx, cy));
            int around = 0;
            for (int ny = -1; ny <= 1; ++ny)
                for (int nx = -1; nx <= 1; ++nx)
                    around += Distance(drawn.pixel(cx + nx, cy + ny), bare.pixel(cx + nx, cy + ny));
            // Vertical moves of a letter break the line of the row: they cost much more.
            const int moveCost = key.Letter ? 60 * dx * dx + 400 * dy * dy : 60 * (dx * dx + dy * dy);
            const int cost = (centre > 16 ? 100000 : 0) + around / 8 + moveCost;
            if (cost < bestCost) {
                bestCost = cost;
                best = QPointF(dx, dy);
            }
        }
    return best;
}

// ---- The case ---------------------------------------------------------------------------------------------------

void PaintCase(QPainter &painter)
{
    // Surface coordinates: the picture spans (-1, -1) .. (633, 249).
    const QRectF all(-1, -1, PictureWidth, PictureHeight);
    painter.fillRect(all, Black);
    const QRectF body = all.adjusted(1, 1, -1, -1);
    painter.setPen(Qt::NoPen);
    painter.setBrush(CaseDark);
    painter.drawRoundedRect(body, 9, 9);
    painter.setBrush(CaseLight);
    painter.drawRoundedRect(body.adjusted(0, 0, -2, -2), 8, 8);
    painter.setBrush(CaseOrange);
    painter.drawRoundedRect(body.adjusted(2, 2, -2, -2), 7, 7);

    // The top strip: a slightly deeper band with a black slot and the name plate.
    QLinearGradient band(0, 2, 0, 50);
    band.setColorAt(0, CaseOrange);
    band.setColorAt(1, CaseDeep);
    painter.setBrush(band);
    painter.drawRoundedRect(QRectF(8, 6, 616, 40), 6, 6);
    painter.setBrush(CaseLight);
    painter.drawRect(QRectF(12, 46, 608, 1));
    painter.setBrush(CaseDark);
    painter.drawRect(QRectF(12, 45, 608, 1));

    // The name plate, clear of the opacity stepper that the window lays over the strip's left end.
    painter.setBrush(Black);
    painter.drawRoundedRect(QRectF(52, 15, 96, 22), 4, 4);
    QFont brand = LegendFont(15, true);
    brand.setItalic(true);
    brand.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    TextCentred(painter, brand, QStringLiteral("Tapotis"), QPointF(100, 26), CaseLight);

    // A long black slot along the top.
    painter.setBrush(Black);
    painter.drawRoundedRect(QRectF(172, 22, 240, 8), 4, 4);
    painter.setBrush(QColor(60, 30, 4));
    painter.drawRoundedRect(QRectF(173, 28, 238, 2), 1, 1);

    // The indicator window above the numeric pad.
    painter.setBrush(Black);
    painter.drawRoundedRect(QRectF(PadLeft, FunctionTop, 93, FunctionHeight), 3, 3);
    // Three lights: numeric lock ("1"), caps lock ("A") and scroll lock (an arrow down).
    for (int i = 0; i < 3; ++i) {
        const qreal x = PadLeft + 17 + 29.5 * i;
        QRadialGradient led(QPointF(x - 0.5, FunctionTop + 5.5), 3);
        led.setColorAt(0, QColor(170, 255, 160));
        led.setColorAt(1, QColor(20, 120, 30));
        painter.setPen(Qt::NoPen);
        painter.setBrush(led);
        painter.drawEllipse(QPointF(x, FunctionTop + 6), 2.5, 2.5);
        const QPointF sign(x, FunctionTop + 13);
        if (i < 2) {
            TextCentred(painter, LegendFont(7, true), i == 0 ? QStringLiteral("1") : QStringLiteral("A"), sign,
                        CaseLight);
        } else {
            QPainterPath arrow = Triangle(sign + QPointF(-2.5, 0.5), sign + QPointF(2.5, 0.5), sign + QPointF(0, 3.5));
            arrow.addRect(QRectF(sign.x() - 0.75, sign.y() - 3.5, 1.5, 4.2));
            FillPath(painter, arrow, CaseLight);
        }
    }
}

} // namespace

namespace {

QImage DrawKeyboardWith(std::vector<Key> keys)
{
    for (const std::vector<Key> &block : {FunctionRow(), EditingBlock(), NumericPad()})
        keys.insert(keys.end(), block.begin(), block.end());

    QImage picture(PictureWidth, PictureHeight, QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(1, 1); // surface coordinates
    PaintCase(painter);
    for (const Key &key : keys)
        PaintCapShadow(painter, key);
    for (const Key &key : keys)
        PaintKey(painter, key, LegendShift(key));
    painter.end();
    return picture;
}

} // namespace

QImage DrawKeyboard()
{
    return DrawKeyboardWith(MainBlock());
}

QImage DrawKeyboard(layouts::Layout layout)
{
    // The French picture keeps its own legends (the AltGr characters of the Windows layout).
    if (layout == layouts::Layout::FrenchAzerty)
        return DrawKeyboard();
    return DrawKeyboardWith(LayoutMainBlock(layouts::TableOf(layout)));
}

} // namespace assetgen
