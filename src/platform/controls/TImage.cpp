#include "platform/controls/TImage.h"

#include <QPainter>

TImage::TImage(QWidget *parent) : QWidget(parent)
{
}

void TImage::SetPicture(const QImage &picture)
{
    m_picture = picture;
    UpdateOpaque();
    update();
}

void TImage::UpdateOpaque()
{
    // A window background with a picture over it all, like the main window's, is then not painted at each
    // repaint of a see-through control in front of it.
    const bool opaque = !m_picture.hasAlphaChannel() && m_picture.rect().contains(rect());
    setAttribute(Qt::WA_OpaquePaintEvent, opaque);
}

void TImage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    UpdateOpaque();
}

void TImage::paintEvent(QPaintEvent *)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), m_picture);
}
