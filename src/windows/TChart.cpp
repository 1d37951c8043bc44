#include "windows/TChart.h"

#include <QMouseEvent>
#include <QPainter>

TChart::TChart(QWidget *parent) : QChartView(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setRenderHint(QPainter::Antialiasing);
    setDragMode(QGraphicsView::NoDrag);
    setRubberBand(QChartView::NoRubberBand);
}

void TChart::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() == Qt::LeftButton && OnClick)
        OnClick();
}

void TChart::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
    if (OnDblClick)
        OnDblClick();
}

void TChart::drawForeground(QPainter *painter, const QRectF &rect)
{
    QChartView::drawForeground(painter, rect);
    if (Foot.Text.isEmpty() || !chart())
        return;
    const QRectF area = chart()->rect();
    painter->save();
    painter->setFont(Foot.Font);
    painter->setPen(Foot.Colour);
    const qreal height = QFontMetricsF(Foot.Font).height();
    painter->drawText(QRectF(area.left(), area.bottom() - height - 2, area.width(), height), Qt::AlignCenter,
                      Foot.Text);
    painter->restore();
}
