#include "platform/controls/TImage.h"

#include <QPainter>

TImage::TImage(QWidget *parent) : QWidget(parent)
{
}

void TImage::SetPicture(const QImage &picture)
{
    m_picture = picture;
    update();
}

void TImage::paintEvent(QPaintEvent *)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), m_picture);
}
