#include "platform/drawing/TDXDraw.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include <QFontMetrics>
#include <QPaintEvent>
#include <QTextLayout>

#include "platform/drawing/AlphaBlend.h"
#include "platform/drawing/Colour.h"
#include "platform/drawing/Fonts.h"
#include "platform/text/Cp1252.h"

QPainter &DrawCanvas::Painter(bool coversAll)
{
    ++m_owner.m_changes;
    if (!m_painter) {
        m_owner.PrepareBack(coversAll);
        m_painter = std::make_unique<QPainter>(&m_owner.m_back);
    }
    return *m_painter;
}

bool DrawCanvas::CanPaint() const
{
    return m_owner.CanDraw();
}

void DrawCanvas::Release()
{
    m_painter.reset();
}

const QFont &DrawCanvas::CurrentFont()
{
    if (!m_font || m_font->Name != Font.Name || m_font->Size != Font.Size) {
        QFont font(Font.Name);
        font.setPixelSize(PointsToPixels(Font.Size));
        const QFontMetricsF metrics(font);
        // The font's own bounds for its glyphs' bearings, half a character height for the kerning, which moves
        // a glyph by a small fraction of that, and a pixel for the smoothing of the edges.
        const qreal bearing = std::max({qreal(0), -metrics.minLeftBearing(), -metrics.minRightBearing()});
        m_font = std::make_unique<FontInUse>(
            FontInUse{Font.Name, Font.Size, font, static_cast<int>(std::ceil(bearing + metrics.height() / 2)) + 1});
    }
    return m_font->Made;
}

int DrawCanvas::Width(const QString &text, const QFont &font)
{
    if (text == m_measuredText && font == m_measuredFont)
        return m_measuredWidth;
    // The typed beginning of the line laid out last: its characters but the last few stand where the whole line
    // has them, and the last few are measured alone.
    if (m_laidOut && m_laidOut->PerCharacter && m_laidOut->Font == font && m_laidOut->Text.startsWith(text)) {
        const qsizetype from = std::max<qsizetype>(0, text.size() - 3);
        m_measuredWidth = text.size() == m_laidOut->Text.size()
                              ? m_laidOut->Width
                              : qRound(m_laidOut->Edges[static_cast<std::size_t>(from)] +
                                       QFontMetricsF(font).horizontalAdvance(text.mid(from)));
    } else {
        m_measuredWidth = QFontMetrics(font).horizontalAdvance(text);
    }
    m_measuredText = text;
    m_measuredFont = font;
    return m_measuredWidth;
}

int DrawCanvas::TextWidth(std::string_view text)
{
    return Width(cp1252::ToUnicode(text), CurrentFont());
}

int DrawCanvas::TextReach()
{
    CurrentFont();
    return m_font->Reach;
}

const DrawCanvas::LaidOutText &DrawCanvas::LaidOut(const QString &text, const QFont &font)
{
    // A beginning of the text laid out last sits where it sits in that text: its glyphs shape the same, only
    // the last one's kerning with the next character differs, which moves nothing of its own.
    if (m_laidOut && m_laidOut->Font == font && m_laidOut->Text.startsWith(text))
        return *m_laidOut;
    auto laidOut = std::make_unique<LaidOutText>();
    laidOut->Text = text;
    laidOut->Font = font;
    laidOut->Width = QFontMetrics(font).horizontalAdvance(text);
    QTextLayout layout(text, font);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    const bool plain = std::none_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20; });
    if (plain && line.isValid() && runs.size() == 1 && runs.front().glyphIndexes().size() == text.size()) {
        laidOut->Glyphs = runs.front();
        QList<QPointF> positions = laidOut->Glyphs.positions();
        laidOut->Edges.reserve(static_cast<std::size_t>(text.size()) + 1);
        bool inOrder = true;
        for (qsizetype i = 0; i < positions.size(); ++i) {
            laidOut->Edges.push_back(line.cursorToX(static_cast<int>(i)));
            inOrder = inOrder && std::abs(positions[i].x() - laidOut->Edges.back()) < 1;
            positions[i].ry() -= line.ascent();
        }
        laidOut->Edges.push_back(line.cursorToX(static_cast<int>(text.size())));
        laidOut->Glyphs.setPositions(positions);
        laidOut->PerCharacter = inOrder;
    }
    m_laidOut = std::move(laidOut);
    return *m_laidOut;
}

std::string_view DrawCanvas::CoveringPart(std::string_view text, int width)
{
    // A line of the usual length is measured and drawn whole: the text shows exactly as it always has.
    constexpr std::size_t Short = 1024;
    if (text.size() <= Short)
        return text;
    const QFontMetrics metrics(CurrentFont());
    for (std::size_t length = Short; length < text.size(); length *= 2) {
        const std::string_view part = text.substr(0, length);
        if (metrics.horizontalAdvance(cp1252::ToUnicode(part)) > width)
            return part;
    }
    return text;
}

void DrawCanvas::TextOut(int x, int y, std::string_view text)
{
    if (!CanPaint())
        return;
    QPainter &painter = Painter();
    text = CoveringPart(text, painter.device()->width() - std::min(x, 0));
    const QFont font = CurrentFont();
    const QFontMetrics metrics(font);
    const QString unicode = cp1252::ToUnicode(text);
    if (Brush.Solid)
        painter.fillRect(QRect(x, y, metrics.horizontalAdvance(unicode), metrics.height()),
                         FromColourValue(Brush.Color));
    painter.setFont(font);
    painter.setPen(FromColourValue(Font.Color));
    painter.drawText(QPoint(x, y + metrics.ascent()), unicode);
}

void DrawCanvas::TextOut(int x, int y, std::string_view text, const QRect &area)
{
    if (!CanPaint())
        return;
    const QRect within = area.intersected(QRect(QPoint(0, 0), m_owner.m_size));
    if (within.isEmpty())
        return;
    QPainter &painter = Painter();
    text = CoveringPart(text, painter.device()->width() - std::min(x, 0));
    const QFont &font = CurrentFont();
    const QString unicode = cp1252::ToUnicode(text);
    const LaidOutText &laidOut = LaidOut(unicode, font);
    painter.setClipRect(within);
    if (!laidOut.PerCharacter) {
        TextOut(x, y, text);
        painter.setClipping(false);
        return;
    }
    const QFontMetrics metrics(font);
    if (Brush.Solid)
        painter.fillRect(QRect(x, y, unicode == laidOut.Text ? laidOut.Width : Width(unicode, font), metrics.height()),
                         FromColourValue(Brush.Color));
    // The characters whose pixels may reach the area, where the whole text places them.
    const int reach = TextReach();
    const auto count = static_cast<std::size_t>(unicode.size());
    std::size_t first = 0;
    while (first < count && x + laidOut.Edges[first + 1] + reach < within.left())
        ++first;
    std::size_t last = first;
    while (last < count && x + laidOut.Edges[last] - reach <= within.right() + 1)
        ++last;
    if (last > first) {
        const auto from = static_cast<qsizetype>(first);
        const auto length = static_cast<qsizetype>(last - first);
        QGlyphRun nearby = laidOut.Glyphs;
        nearby.setGlyphIndexes(laidOut.Glyphs.glyphIndexes().mid(from, length));
        nearby.setPositions(laidOut.Glyphs.positions().mid(from, length));
        painter.setPen(FromColourValue(Font.Color));
        painter.drawGlyphRun(QPointF(x, y + metrics.ascent()), nearby);
    }
    painter.setClipping(false);
}

void DrawCanvas::Draw(int x, int y, const QImage &picture)
{
    if (!CanPaint() || picture.isNull())
        return;
    const bool coversAll =
        !picture.hasAlphaChannel() && QRect(QPoint(x, y), picture.size()).contains(QRect(QPoint(0, 0), m_owner.m_size));
    Painter(coversAll).drawImage(QPoint(x, y), picture);
}

void DrawCanvas::UsePenAndBrush(QPainter &painter) const
{
    QPen pen(FromColourValue(Pen.Color));
    pen.setWidth(Pen.Width < 1 ? 1 : Pen.Width);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Brush.Solid ? QBrush(FromColourValue(Brush.Color)) : QBrush(Qt::NoBrush));
    painter.setRenderHint(QPainter::Antialiasing, false);
}

bool DrawCanvas::ShapeKey::operator==(const ShapeKey &other) const
{
    return Kind == other.Kind && Width == other.Width && Height == other.Height && CornerWidth == other.CornerWidth &&
           CornerHeight == other.CornerHeight && ShapePen.Color == other.ShapePen.Color &&
           ShapePen.Width == other.ShapePen.Width && ShapeBrush.Color == other.ShapeBrush.Color &&
           ShapeBrush.Solid == other.ShapeBrush.Solid;
}

// The rectangle's right and bottom edges lie outside the shape, so the outline runs along the last column and
// row inside it. The pen reaches past the rectangle by up to its width, which the picture leaves room for.
void DrawCanvas::DrawShape(const ShapeKey &key, int left, int top)
{
    if (!CanPaint() || key.Width < 1 || key.Height < 1)
        return;
    const int margin = key.ShapePen.Width < 1 ? 1 : key.ShapePen.Width;
    auto found = std::find_if(m_shapes.begin(), m_shapes.end(), [&](const auto &entry) { return entry.first == key; });
    if (found == m_shapes.end()) {
        QImage picture(key.Width + 2 * margin, key.Height + 2 * margin, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        UsePenAndBrush(painter);
        const QRectF box(margin, margin, key.Width - 1, key.Height - 1);
        if (key.Kind == Shape::Ellipse)
            painter.drawEllipse(box);
        else
            painter.drawRoundedRect(box, key.CornerWidth / 2.0, key.CornerHeight / 2.0, Qt::AbsoluteSize);
        painter.end();
        if (m_shapes.size() >= 16)
            m_shapes.erase(m_shapes.begin());
        m_shapes.emplace_back(key, picture);
        found = m_shapes.end() - 1;
    }
    Painter().drawImage(QPoint(left - margin, top - margin), found->second);
}

void DrawCanvas::Ellipse(int left, int top, int right, int bottom)
{
    DrawShape({Shape::Ellipse, right - left, bottom - top, 0, 0, Pen, Brush}, left, top);
}

void DrawCanvas::RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    DrawShape({Shape::RoundRect, right - left, bottom - top, cornerWidth, cornerHeight, Pen, Brush}, left, top);
}

TDXDraw::TDXDraw(QWidget *parent, QSize surfaceSize)
    : QWidget(parent), m_size(surfaceSize), m_canvas(std::make_unique<DrawCanvas>(*this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    Initialize();
}

void TDXDraw::Initialize()
{
    ++m_changes;
    m_canvas->Release();
    m_back = QImage(m_size, QImage::Format_RGB32);
    m_back.fill(Qt::black);
    m_front = m_back.copy();
    m_backStale = false;
}

void TDXDraw::Finalize()
{
    ++m_changes;
    m_canvas->Release();
    m_back = QImage();
    m_backStale = false;
}

void TDXDraw::PrepareBack(bool coversAll)
{
    if (!m_backStale)
        return;
    m_backStale = false;
    if (!coversAll)
        std::memcpy(m_back.bits(), m_front.constBits(), static_cast<std::size_t>(m_back.sizeInBytes()));
}

void TDXDraw::DrawAlpha(int x, int y, const TDXImageList::Item &item, int alpha)
{
    DrawAlpha(x, y, item, alpha, item.Picture.rect());
}

void TDXDraw::DrawAlpha(int x, int y, const TDXImageList::Item &item, int alpha, const QRect &within)
{
    if (!CanDraw() || alpha <= 0 || item.Picture.isNull())
        return;
    const QRect target = within.intersected(item.Picture.rect()).translated(x, y).intersected(m_back.rect());
    if (target.isEmpty())
        return;
    ++m_changes;
    m_canvas->Release();
    PrepareBack(false);
    const std::uint32_t key = item.TransparentRgb();
    const int destinationStride = static_cast<int>(m_back.bytesPerLine() / 4);
    auto *destination = reinterpret_cast<std::uint32_t *>(m_back.bits()) +
                        static_cast<std::ptrdiff_t>(target.top()) * destinationStride + target.left();
    if (item.Picture.format() == QImage::Format_Indexed8) {
        // The picture's own palette, read in place (the drawing ignores its alpha byte); a short one is padded
        // with black, as a conversion reads the missing entries.
        const QList<QRgb> colours = item.Picture.colorTable();
        std::array<std::uint32_t, 256> padded{};
        const std::uint32_t *palette = colours.constData();
        if (colours.size() < 256) {
            std::copy(colours.begin(), colours.end(), padded.begin());
            palette = padded.data();
        }
        const auto sourceStride = static_cast<int>(item.Picture.bytesPerLine());
        const std::uint8_t *source = item.Picture.constBits() +
                                     static_cast<std::ptrdiff_t>(target.top() - y) * sourceStride + (target.left() - x);
        AlphaDrawRows(destination, destinationStride, source, sourceStride, palette, target.width(), target.height(),
                      key, alpha);
        return;
    }
    const QImage picture = item.Picture.format() == QImage::Format_RGB32
                               ? item.Picture
                               : item.Picture.convertToFormat(QImage::Format_RGB32);
    const int sourceStride = static_cast<int>(picture.bytesPerLine() / 4);
    const auto *source = reinterpret_cast<const std::uint32_t *>(picture.constBits()) +
                         static_cast<std::ptrdiff_t>(target.top() - y) * sourceStride + (target.left() - x);
    AlphaDrawRows(destination, destinationStride, source, sourceStride, target.width(), target.height(), key, alpha);
}

void TDXDraw::Fill(std::uint32_t colour)
{
    if (!CanDraw())
        return;
    ++m_changes;
    m_canvas->Release();
    PrepareBack(true);
    m_back.fill(FromColourValue(colour));
}

QRect TDXDraw::StartDrawingIn(const QRect &area)
{
    const QRect target = area.intersected(QRect(QPoint(0, 0), m_size));
    if (!CanDraw() || target.isEmpty())
        return {};
    ++m_changes;
    m_canvas->Release();
    PrepareBack(target.size() == m_size);
    return target;
}

void TDXDraw::Fill(std::uint32_t colour, const QRect &area)
{
    const QRect target = StartDrawingIn(area);
    if (target.isEmpty())
        return;
    // The pixel the whole fill would give.
    const QRgb pixel = FromColourValue(colour).rgb();
    for (int y = target.top(); y <= target.bottom(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(m_back.scanLine(y));
        std::fill(row + target.left(), row + target.right() + 1, pixel);
    }
}

namespace {

// Copies the rectangle, already clipped to both pictures, between two pictures of the same size and format.
void CopyRectangle(QImage &to, const QImage &from, const QRect &rectangle)
{
    const qsizetype stride = to.bytesPerLine();
    const qsizetype start = rectangle.top() * stride + rectangle.left() * 4;
    uchar *destination = to.bits() + start;
    const uchar *source = from.constBits() + start;
    const auto bytes = static_cast<std::size_t>(rectangle.width()) * 4;
    for (int row = 0; row < rectangle.height(); ++row, destination += stride, source += stride)
        std::memcpy(destination, source, bytes);
}

} // namespace

void TDXDraw::CopyArea(const QImage &picture, const QRect &area)
{
    const QRect target = StartDrawingIn(area);
    if (target.isEmpty())
        return;
    if (picture.size() == m_size && picture.format() == m_back.format())
        CopyRectangle(m_back, picture, target);
    else
        QPainter(&m_back).drawImage(target.topLeft(), picture, target);
}

void TDXDraw::Flip()
{
    if (!CanDraw())
        return;
    m_canvas->Release();
    // Nothing drawn since the last present: what is shown is already the surface.
    if (!m_backStale) {
        m_front.swap(m_back);
        m_backStale = true;
        ++m_changes;
    }
    update();
}

bool TDXDraw::HasNewDrawing()
{
    if (!CanDraw())
        return false;
    m_canvas->Release();
    return !m_backStale;
}

void TDXDraw::Flip(const std::vector<QRect> &areas)
{
    if (!HasNewDrawing())
        return;
    for (const QRect &area : areas) {
        const QRect target = area.intersected(m_back.rect());
        if (target.isEmpty())
            continue;
        CopyRectangle(m_front, m_back, target);
        ++m_changes;
        update(target);
    }
}

void TDXDraw::FlipChanged(const std::vector<QRect> &changed)
{
    if (!HasNewDrawing())
        return;
    m_front.swap(m_back);
    m_backStale = true;
    ++m_changes;
    for (const QRect &area : changed)
        update(area);
}

void TDXDraw::ResumeFromPrevious()
{
    if (!CanDraw() || !m_backStale)
        return;
    m_canvas->Release();
    m_backStale = false;
    ++m_changes;
}

void TDXDraw::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::black);
    const QRect shown = event->rect().intersected(m_front.rect());
    painter.drawImage(shown.topLeft(), m_front, shown);
}
