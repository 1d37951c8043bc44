#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QByteArray>
#include <QImage>
#include <QWidget>

class QBuffer;
class QImageReader;

// The animated-picture control. It shows a GIF's frames whole (transparency and each frame's disposal already
// applied, so transparent pixels show whatever lies behind the control), starts on its design frame and, while
// it is shown, plays the frames in an endless loop, each for its own delay clamped to 50..10000 ms, with or
// without the file's loop marker; a file cut short loops over the frames that could be read. The picture is
// drawn centred in the control or from its top-left corner, the control sized to the picture when asked. A click
// on it runs OnClick.
// The start decodes no more than the design frame needs, and the first loop decodes each frame from the file when it
// is due. It keeps what each frame changes from the one before; once the loop has gone round, the frames are made
// from those changes and the file is no longer decoded, unless the changes would take more than MaximumKeptBytes.
// A new frame repaints only the part of the picture that changed, if any, and all pictures play on one clock so
// that those changing together repaint once.
class TRxGIFAnimator : public QWidget
{
    Q_OBJECT
public:
    struct Settings {
        bool Animate = true;
        bool Center = false;
        bool AutoSize = false;
        bool Transparent = true;
        int FrameIndex = 0;
    };

    struct Frame {
        QImage Image;
        int DelayMs;
    };

    static constexpr int MinimumDelayMs = 50;
    static constexpr int MaximumDelayMs = 10000;
    // The most a picture keeps of its frames' changes, in bytes of pixels.
    static constexpr qsizetype MaximumKeptBytes = 1 << 20;

    TRxGIFAnimator(QWidget *parent, const Settings &settings);
    ~TRxGIFAnimator() override;

    const Settings &Options() const { return m_settings; }

    // The GIF file; a picture that cannot be read fails with a TutorError.
    void SetAnimation(const QByteArray &gif);
    const QByteArray &Animation() const { return m_gif; }

    // The frames in a loop, as the file's blocks tell until a frame that cannot be read ends the loop sooner.
    int FrameCount() const { return m_count; }
    // How long the frame shows, clamped.
    int FrameDelay(int index) const;
    int FrameIndex() const { return m_index; }
    const QImage &CurrentFrame() const { return m_frame; }
    // Whether the frames are being played now.
    bool Animating() const { return m_due >= 0; }
    // Whether the frames are now made from the changes kept over the first loop rather than decoded.
    bool Replaying() const { return !m_reader && m_count > 0; }
    // Shows the next frame, or the first after the last, as the timer does when the current one's delay is up.
    void ShowNextFrame();

    std::function<void()> OnClick;

    // The GIF's frames as they show one after the other, each with its delay as the control holds it.
    static std::vector<Frame> DecodeFrames(const QByteArray &gif);

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    // Starts reading the file from its first frame.
    void Rewind();
    // Keeps what turned the frame before into the frame at `index`, and stops decoding once every frame's is kept.
    void KeepChange(int index, const QRect &area);
    // Where the frame's top-left corner is drawn in the control.
    QPoint Origin() const;
    // Plays the frames from the current one, or stops them.
    void Play();
    void Stop();
    // The clock's turn: the frame due at `due` shows now, at `now`.
    void FrameDue(qint64 due, qint64 now);
    friend class FrameClock;

    Settings m_settings;
    QByteArray m_gif;
    std::vector<int> m_delays;
    int m_count = 0;
    // The reader of the frames to come, over the file's bytes.
    std::unique_ptr<QBuffer> m_buffer;
    std::unique_ptr<QImageReader> m_reader;
    QImage m_frame;
    int m_index = 0;
    // What turns each frame's previous one into it: the area and its pixels, kept over the first loop.
    struct Change {
        bool Kept = false;
        QRect Area;
        QImage Pixels;
    };
    std::vector<Change> m_changes;
    qsizetype m_keptBytes = 0;
    // Whether the reader has gone past the last frame once, so that the number of frames is known.
    bool m_wrapped = false;
    // When the next frame is due on the frame clock, or -1 while the frames are not played.
    qint64 m_due = -1;
    bool m_pressed = false;
};
