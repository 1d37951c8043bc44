#include "platform/controls/TShape.h"

#include <QPainter>

#include "platform/drawing/Colour.h"

TShape::TShape(QWidget *parent, std::uint32_t brushColour) : QWidget(parent), m_brush(brushColour)
{
}

void TShape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(FromColourValue(m_brush));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
