#include "platform/controls/TRxGIFAnimator.h"

#include <algorithm>
#include <cstring>

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>

#include "platform/dialogs/ErrorBox.h"
#include "platform/text/TutorError.h"

// The one timer that plays every picture shown. Each picture's frames fall due on one steady clock, the first at a
// whole step of 10 ms (a GIF counts its delays in hundredths of a second) and each next one a delay after the one
// before, not after the timer's lateness: the pictures of a window whose frames fall due together change in one
// wake-up and one repaint, and none drifts from its pace or from the others.
class FrameClock : public QObject
{
public:
    static FrameClock &Get()
    {
        if (!Existing())
            Existing() = new FrameClock(QCoreApplication::instance());
        return *Existing();
    }
    // Goes with the application, so a picture outliving it has no clock to leave.
    static QPointer<FrameClock> &Existing()
    {
        static QPointer<FrameClock> clock;
        return clock;
    }

    qint64 Now() const { return m_clock.elapsed(); }
    static qint64 StepAfter(qint64 ms) { return (ms + StepMs - 1) / StepMs * StepMs; }

    void Add(TRxGIFAnimator *picture)
    {
        if (std::find(m_pictures.begin(), m_pictures.end(), picture) == m_pictures.end())
            m_pictures.push_back(picture);
        Rearm();
    }
    void Remove(TRxGIFAnimator *picture)
    {
        m_pictures.erase(std::remove(m_pictures.begin(), m_pictures.end(), picture), m_pictures.end());
        Rearm();
    }

    static constexpr int StepMs = 10;

private:
    explicit FrameClock(QObject *parent) : QObject(parent)
    {
        m_clock.start();
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, [this] { Tick(); });
    }

    void Tick()
    {
        const qint64 now = Now();
        // Their repaints, asked for in one turn of the event loop, come together. A picture may stop on its turn.
        const std::vector<TRxGIFAnimator *> pictures = m_pictures;
        for (TRxGIFAnimator *picture : pictures)
            if (picture->m_due >= 0 && picture->m_due <= now)
                picture->FrameDue(picture->m_due, now);
        Rearm();
    }

    void Rearm()
    {
        qint64 next = -1;
        for (const TRxGIFAnimator *picture : m_pictures)
            if (picture->m_due >= 0 && (next < 0 || picture->m_due < next))
                next = picture->m_due;
        if (next < 0)
            m_timer.stop();
        else
            m_timer.start(static_cast<int>(std::max<qint64>(next - Now(), 0)));
    }

    QElapsedTimer m_clock;
    QTimer m_timer;
    std::vector<TRxGIFAnimator *> m_pictures;
};

TRxGIFAnimator::TRxGIFAnimator(QWidget *parent, const Settings &settings) : QWidget(parent), m_settings(settings)
{
    setAttribute(Qt::WA_TranslucentBackground);
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

// The smallest rectangle holding every pixel that differs between two frames of one picture, both 32-bit.
QRect ChangedArea(const QImage &before, const QImage &after)
{
    if (before.size() != after.size() || before.depth() != 32 || after.depth() != 32)
        return before.rect() | after.rect();
    const int width = after.width();
    const std::size_t rowBytes = static_cast<std::size_t>(width) * sizeof(QRgb);
    int top = -1, bottom = -1, left = width, right = -1;
    for (int y = 0; y < after.height(); ++y) {
        const auto *was = reinterpret_cast<const QRgb *>(before.constScanLine(y));
        const auto *is = reinterpret_cast<const QRgb *>(after.constScanLine(y));
        if (std::memcmp(was, is, rowBytes) == 0)
            continue;
        if (top < 0)
            top = y;
        bottom = y;
        int x = 0;
        while (x < left && was[x] == is[x])
            ++x;
        left = x;
        x = width - 1;
        while (x > right && was[x] == is[x])
            --x;
        right = x;
    }
    return top < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

} // namespace

TRxGIFAnimator::~TRxGIFAnimator()
{
    if (FrameClock *clock = FrameClock::Existing())
        clock->Remove(this);
}

int TRxGIFAnimator::FrameDelay(int index) const
{
    const int delay = index >= 0 && static_cast<std::size_t>(index) < m_delays.size() ? m_delays[index] : 0;
    return std::clamp(delay, MinimumDelayMs, MaximumDelayMs);
}

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
        frames.push_back({image, delay});
    }
    if (frames.empty())
        throw TutorError(QStringLiteral("Animation illisible : %1").arg(reader.errorString()));
    return frames;
}

void TRxGIFAnimator::SetAnimation(const QByteArray &gif)
{
    // The frames up to the design frame are read before anything changes, so that a picture that cannot be read
    // leaves the control as it was. Each frame is composed over those before it, hence the reading from the first.
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(gif);
    auto reader = std::make_unique<QImageReader>(buffer.get(), "GIF");
    const int design = std::max(m_settings.FrameIndex, 0);
    QImage frame;
    QSize size;
    int index = -1;
    for (QImage image; index < design && reader->read(&image);) {
        ++index;
        if (index == 0)
            size = image.size();
        frame = std::move(image);
    }
    if (index < 0)
        throw TutorError(QStringLiteral("Animation illisible : %1").arg(reader->errorString()));

    m_gif = gif;
    m_delays = FrameDelays(gif);
    // A file cut short before the design frame shows its last readable frame, and loops over those.
    m_count = index < design ? index + 1 : std::max(static_cast<int>(m_delays.size()), index + 1);
    m_reader = std::move(reader);
    m_buffer = std::move(buffer);
    m_frame = std::move(frame);
    m_index = index;
    m_changes = {};
    m_keptBytes = 0;
    m_wrapped = false;
    if (m_settings.AutoSize)
        resize(size);
    if (isVisible())
        Play();
    update();
}

void TRxGIFAnimator::Rewind()
{
    m_reader.reset();
    m_buffer = std::make_unique<QBuffer>();
    m_buffer->setData(m_gif);
    m_reader = std::make_unique<QImageReader>(m_buffer.get(), "GIF");
}

void TRxGIFAnimator::ShowNextFrame()
{
    if (m_frame.isNull())
        return;
    if (!m_reader) {
        // Each frame is the one before with its change laid over it, pixel for pixel.
        const int next = (m_index + 1) % m_count;
        const Change &change = m_changes[next];
        const std::size_t rowBytes = static_cast<std::size_t>(change.Area.width()) * sizeof(QRgb);
        for (int y = 0; y < change.Area.height(); ++y)
            std::memcpy(m_frame.scanLine(change.Area.top() + y) + change.Area.left() * sizeof(QRgb),
                        change.Pixels.constScanLine(y), rowBytes);
        m_index = next;
        if (!change.Area.isEmpty())
            update(change.Area.translated(Origin()));
        return;
    }
    // The frame stays as the reader hands it out, not premultiplied: a GIF's transparency is all or nothing,
    // which a painter draws the same either way.
    QImage frame;
    if (m_reader->read(&frame)) {
        ++m_index;
        m_count = std::max(m_count, m_index + 1);
    } else {
        // The loop ends where the frames that can be read end, which a file cut short puts before its last block.
        m_count = m_index + 1;
        m_wrapped = true;
        Rewind();
        if (!m_reader->read(&frame))
            return;
        m_index = 0;
    }
    // Only what changed is repainted, with what lies behind it: many frames move a small part of the picture,
    // some none at all.
    const QRect changed = ChangedArea(m_frame, frame);
    m_frame = std::move(frame);
    KeepChange(m_index, changed);
    if (!changed.isEmpty())
        update(changed.translated(Origin()));
}

void TRxGIFAnimator::KeepChange(int index, const QRect &area)
{
    if (m_keptBytes < 0)
        return;
    if (m_frame.depth() != 32) {
        m_keptBytes = -1;
        return;
    }
    if (static_cast<std::size_t>(index) >= m_changes.size())
        m_changes.resize(index + 1);
    Change &change = m_changes[index];
    if (!change.Kept) {
        change.Kept = true;
        change.Area = area;
        if (!area.isEmpty())
            change.Pixels = m_frame.copy(area);
        m_keptBytes += change.Pixels.sizeInBytes();
        if (m_keptBytes > MaximumKeptBytes) {
            // Too many pixels change for keeping them to be worth it: the frames go on being decoded.
            m_changes = {};
            m_keptBytes = -1;
            return;
        }
    }
    if (!m_wrapped || static_cast<std::size_t>(m_count) > m_changes.size())
        return;
    for (int i = 0; i < m_count; ++i)
        if (!m_changes[i].Kept)
            return;
    m_changes.resize(m_count);
    m_reader.reset();
    m_buffer.reset();
}

QPoint TRxGIFAnimator::Origin() const
{
    if (!m_settings.Center)
        return QPoint(0, 0);
    return QPoint((width() - m_frame.width()) / 2, (height() - m_frame.height()) / 2);
}

void TRxGIFAnimator::Play()
{
    if (!m_settings.Animate || m_count < 2)
        return;
    FrameClock &clock = FrameClock::Get();
    // The first frame shows at least its delay, until the clock's next step.
    m_due = FrameClock::StepAfter(clock.Now() + FrameDelay(m_index));
    clock.Add(this);
}

void TRxGIFAnimator::Stop()
{
    m_due = -1;
    if (FrameClock *clock = FrameClock::Existing())
        clock->Remove(this);
}

void TRxGIFAnimator::FrameDue(qint64 due, qint64 now)
{
    ShowNextFrame();
    if (m_count < 2) {
        Stop();
        return;
    }
    // A frame shown late by more than a moment (a busy machine, a long handler) does not shorten the next one.
    constexpr qint64 MomentMs = 1;
    const int delay = FrameDelay(m_index);
    m_due = now - due <= MomentMs ? due + delay : FrameClock::StepAfter(now + delay);
}

void TRxGIFAnimator::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!Animating())
        Play();
}

void TRxGIFAnimator::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    Stop();
}

void TRxGIFAnimator::paintEvent(QPaintEvent *)
{
    if (m_frame.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(Origin(), m_frame);
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
