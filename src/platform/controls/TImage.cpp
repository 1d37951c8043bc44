#include "platform/controls/TImage.h"

#include <QPaintEvent>
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

void TImage::paintEvent(QPaintEvent *event)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    // Only the parts to repaint are drawn, each copied straight from the picture: the small repaints of a control
    // in front, often in two or three pieces, then cost their own size rather than a pass over the whole picture.
    for (const QRect &part : event->region()) {
        const QRect shown = part & m_picture.rect();
        if (!shown.isEmpty())
            painter.drawImage(shown.topLeft(), m_picture, shown);
    }
}
