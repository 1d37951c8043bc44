#include "platform/controls/TScroller.h"

#include <algorithm>

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QStyleOptionButton>

#include "platform/dialogs/ErrorBox.h"

TScroller::TScroller(QWidget *parent, int minimum, int maximum, int position, int step)
    : QWidget(parent), m_min(minimum), m_max(maximum), m_position(position), m_step(step)
{
    setCursor(Qt::PointingHandCursor);
}

void TScroller::Move(int delta)
{
    const int next = std::clamp(m_position + delta, m_min, m_max);
    if (next == m_position)
        return;
    m_position = next;
    update();
    if (OnClick)
        errorbox::Guarded(this, OnClick);
}

void TScroller::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    Move(event->position().x() < width() / 2.0 ? -m_step : m_step);
}

void TScroller::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int half = width() / 2;
    const QRect halves[2] = {QRect(0, 0, half, height()), QRect(half, 0, width() - half, height())};
    const bool enabled[2] = {m_position > m_min, m_position < m_max};
    for (int i = 0; i < 2; ++i) {
        QStyleOptionButton option;
        option.initFrom(this);
        option.rect = halves[i];
        option.state = QStyle::State_Raised | (enabled[i] ? QStyle::State_Enabled : QStyle::State_None);
        style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);
        const QRect r = halves[i].adjusted(3, 3, -3, -3);
        const int midY = r.center().y();
        QPolygon arrow;
        if (i == 0)
            arrow << QPoint(r.left() + 1, midY) << QPoint(r.right() - 1, r.top()) << QPoint(r.right() - 1, r.bottom());
        else
            arrow << QPoint(r.right() - 1, midY) << QPoint(r.left() + 1, r.top()) << QPoint(r.left() + 1, r.bottom());
        painter.setPen(Qt::NoPen);
        painter.setBrush(enabled[i] ? palette().color(QPalette::WindowText) : palette().color(QPalette::Mid));
        painter.drawPolygon(arrow);
    }
}
