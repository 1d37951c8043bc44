#include "platform/TRxGIFAnimator.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>

#include "platform/TutorError.h"

TRxGIFAnimator::TRxGIFAnimator(QWidget *parent, const Settings &settings) : QWidget(parent), m_settings(settings)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void TRxGIFAnimator::SetAnimation(const QByteArray &gif)
{
    QByteArray bytes = gif;
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "GIF");
    QImage frame;
    for (int index = 0; index <= m_settings.FrameIndex; ++index) {
        QImage next;
        if (!reader.read(&next))
            break;
        frame = next;
    }
    if (frame.isNull())
        throw TutorError(QStringLiteral("Animation illisible : %1").arg(reader.errorString()));
    m_gif = gif;
    m_frame = frame;
    if (m_settings.AutoSize)
        resize(m_frame.size());
    update();
}

void TRxGIFAnimator::paintEvent(QPaintEvent *)
{
    if (m_frame.isNull())
        return;
    QPainter painter(this);
    QPoint origin(0, 0);
    if (m_settings.Center)
        origin = QPoint((width() - m_frame.width()) / 2, (height() - m_frame.height()) / 2);
    painter.drawImage(origin, m_frame);
}
