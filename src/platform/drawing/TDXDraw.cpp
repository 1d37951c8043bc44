#include "platform/drawing/TDXDraw.h"

#include <algorithm>
#include <cstring>

#include <QFontMetrics>
#include <QPaintEvent>

#include "platform/drawing/AlphaBlend.h"
#include "platform/drawing/Colour.h"
#include "platform/drawing/Fonts.h"
#include "platform/text/Cp1252.h"

QPainter &DrawCanvas::Painter(bool coversAll)
{
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

QFont DrawCanvas::CurrentFont() const
{
    QFont font(Font.Name);
    font.setPixelSize(PointsToPixels(Font.Size));
    return font;
}

int DrawCanvas::TextWidth(std::string_view text)
{
    return QFontMetrics(CurrentFont()).horizontalAdvance(cp1252::ToUnicode(text));
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
    m_canvas->Release();
    m_back = QImage(m_size, QImage::Format_RGB32);
    m_back.fill(Qt::black);
    m_front = m_back.copy();
    m_backStale = false;
}

void TDXDraw::Finalize()
{
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
    if (!CanDraw() || alpha <= 0 || item.Picture.isNull())
        return;
    m_canvas->Release();
    PrepareBack(false);
    const QImage picture = item.Picture.format() == QImage::Format_RGB32
                               ? item.Picture
                               : item.Picture.convertToFormat(QImage::Format_RGB32);
    const QRect target = QRect(QPoint(x, y), picture.size()).intersected(m_back.rect());
    if (target.isEmpty())
        return;
    const std::uint32_t red = item.TransparentColor & 0xFF;
    const std::uint32_t green = (item.TransparentColor >> 8) & 0xFF;
    const std::uint32_t blue = (item.TransparentColor >> 16) & 0xFF;
    const int sourceStride = static_cast<int>(picture.bytesPerLine() / 4);
    const int destinationStride = static_cast<int>(m_back.bytesPerLine() / 4);
    const auto *source = reinterpret_cast<const std::uint32_t *>(picture.constBits()) +
                         static_cast<std::ptrdiff_t>(target.top() - y) * sourceStride + (target.left() - x);
    auto *destination = reinterpret_cast<std::uint32_t *>(m_back.bits()) +
                        static_cast<std::ptrdiff_t>(target.top()) * destinationStride + target.left();
    AlphaDrawRows(destination, destinationStride, source, sourceStride, target.width(), target.height(),
                  (red << 16) | (green << 8) | blue, alpha);
}

void TDXDraw::Fill(std::uint32_t colour)
{
    if (!CanDraw())
        return;
    m_canvas->Release();
    PrepareBack(true);
    m_back.fill(FromColourValue(colour));
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
    }
    update();
}

void TDXDraw::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::black);
    painter.drawImage(QPoint(0, 0), m_front);
}
