#include "platform/controls/TRxGIFAnimator.h"

#include <algorithm>

#include <QBuffer>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>

#include "platform/dialogs/ErrorBox.h"
#include "platform/text/TutorError.h"

TRxGIFAnimator::TRxGIFAnimator(QWidget *parent, const Settings &settings) : QWidget(parent), m_settings(settings)
{
    setAttribute(Qt::WA_TranslucentBackground);
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] { NextFrame(); });
}

namespace {

// The delay of each image of a GIF, in milliseconds, read from its graphic control blocks (Qt's reader turns a
// delay of 0 into one of its own). Stops quietly where the file is cut short.
std::vector<int> FrameDelays(const QByteArray &gif)
{
    std::vector<int> delays;
    const auto byte = [&gif](qsizetype at) { return at < gif.size() ? static_cast<quint8>(gif[at]) : -1; };
    // Skips a chain of data sub-blocks; returns the position after its terminator, or -1.
    const auto skipSubBlocks = [&](qsizetype at) -> qsizetype {
        for (;;) {
            const int length = byte(at);
            if (length < 0)
                return -1;
            if (length == 0)
                return at + 1;
            at += length + 1;
        }
    };
    if (gif.size() < 13)
        return delays;
    qsizetype at = 13;
    if (byte(10) & 0x80)
        at += 3 * (1 << ((byte(10) & 7) + 1));
    int pendingDelay = 0;
    while (at >= 0 && at < gif.size()) {
        const int block = byte(at);
        if (block == 0x21) {
            if (byte(at + 1) == 0xF9 && byte(at + 2) >= 4 && byte(at + 5) >= 0)
                pendingDelay = (byte(at + 4) | byte(at + 5) << 8) * 10;
            at = skipSubBlocks(at + 2);
        } else if (block == 0x2C) {
            const int flags = byte(at + 9);
            if (flags < 0)
                break;
            at += 10;
            if (flags & 0x80)
                at += 3 * (1 << ((flags & 7) + 1));
            at = skipSubBlocks(at + 1);
            delays.push_back(pendingDelay);
            pendingDelay = 0;
        } else {
            break;
        }
    }
    return delays;
}

} // namespace

std::vector<TRxGIFAnimator::Frame> TRxGIFAnimator::DecodeFrames(const QByteArray &gif)
{
    const std::vector<int> delays = FrameDelays(gif);
    QByteArray bytes = gif;
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "GIF");
    std::vector<Frame> frames;
    // Qt's reader hands out each frame composed over what the previous frames and their disposals left.
    for (;;) {
        QImage image;
        if (!reader.read(&image))
            break;
        const std::size_t index = frames.size();
        const int delay = std::clamp(index < delays.size() ? delays[index] : 0, MinimumDelayMs, MaximumDelayMs);
        frames.push_back({image.convertToFormat(QImage::Format_ARGB32_Premultiplied), delay});
    }
    if (frames.empty())
        throw TutorError(QStringLiteral("Animation illisible : %1").arg(reader.errorString()));
    return frames;
}

void TRxGIFAnimator::SetAnimation(const QByteArray &gif)
{
    std::vector<Frame> frames = DecodeFrames(gif);
    m_gif = gif;
    m_frames = std::move(frames);
    m_index = std::clamp(m_settings.FrameIndex, 0, static_cast<int>(m_frames.size()) - 1);
    if (m_settings.AutoSize)
        resize(m_frames.front().Image.size());
    if (isVisible())
        StartFrameTimer();
    update();
}

const QImage &TRxGIFAnimator::CurrentFrame() const
{
    static const QImage none;
    return m_frames.empty() ? none : m_frames[static_cast<std::size_t>(m_index)].Image;
}

void TRxGIFAnimator::StartFrameTimer()
{
    if (!m_settings.Animate || m_frames.size() < 2)
        return;
    m_timer.start(m_frames[static_cast<std::size_t>(m_index)].DelayMs);
}

void TRxGIFAnimator::NextFrame()
{
    m_index = (m_index + 1) % static_cast<int>(m_frames.size());
    update();
    StartFrameTimer();
}

void TRxGIFAnimator::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_timer.isActive())
        StartFrameTimer();
}

void TRxGIFAnimator::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_timer.stop();
}

void TRxGIFAnimator::paintEvent(QPaintEvent *)
{
    const QImage &frame = CurrentFrame();
    if (frame.isNull())
        return;
    QPainter painter(this);
    QPoint origin(0, 0);
    if (m_settings.Center)
        origin = QPoint((width() - frame.width()) / 2, (height() - frame.height()) / 2);
    painter.drawImage(origin, frame);
}

void TRxGIFAnimator::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void TRxGIFAnimator::mouseReleaseEvent(QMouseEvent *event)
{
    // A click is a left press and release over the control.
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click && OnClick)
        errorbox::Guarded(this, OnClick);
}
