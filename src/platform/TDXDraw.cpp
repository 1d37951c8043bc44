#include "platform/TDXDraw.h"

#include <QFontMetrics>
#include <QPaintEvent>

#include "platform/Colour.h"
#include "platform/Cp1252.h"
#include "platform/Fonts.h"

QPainter &DrawCanvas::Painter()
{
    if (!m_painter)
        m_painter = std::make_unique<QPainter>(&m_surface);
    return *m_painter;
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

void DrawCanvas::TextOut(int x, int y, std::string_view text)
{
    QPainter &painter = Painter();
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
    if (picture.isNull())
        return;
    Painter().drawImage(QPoint(x, y), picture);
}

TDXDraw::TDXDraw(QWidget *parent, QSize surfaceSize) : QWidget(parent), m_size(surfaceSize)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    Initialize();
}

void TDXDraw::Initialize()
{
    if (m_canvas)
        m_canvas->Release();
    m_back = QImage(m_size, QImage::Format_RGB32);
    m_back.fill(Qt::black);
    m_front = m_back.copy();
    m_canvas = std::make_unique<DrawCanvas>(m_back);
}

void TDXDraw::Fill(std::uint32_t colour)
{
    if (!CanDraw())
        return;
    m_canvas->Release();
    m_back.fill(FromColourValue(colour));
}

void TDXDraw::Flip()
{
    if (!CanDraw())
        return;
    m_front = m_back.copy();
    update();
}

void TDXDraw::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::black);
    painter.drawImage(QPoint(0, 0), m_front);
}
