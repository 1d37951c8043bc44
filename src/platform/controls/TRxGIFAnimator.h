#pragma once

#include <functional>
#include <vector>

#include <QByteArray>
#include <QImage>
#include <QTimer>
#include <QWidget>

// The animated-picture control. It decodes a GIF into whole frames (transparency and each frame's disposal
// already applied, so transparent pixels show whatever lies behind the control), starts on its design frame and,
// while it is shown, plays the frames in an endless loop, each for its own delay clamped to 50..10000 ms, with
// or without the file's loop marker. The picture is drawn centred in the control or from its top-left corner,
// the control sized to the picture when asked. A click on it runs OnClick.
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

    TRxGIFAnimator(QWidget *parent, const Settings &settings);

    const Settings &Options() const { return m_settings; }

    // The GIF file; a picture that cannot be read fails with a TutorError.
    void SetAnimation(const QByteArray &gif);
    const QByteArray &Animation() const { return m_gif; }

    const std::vector<Frame> &Frames() const { return m_frames; }
    int FrameIndex() const { return m_index; }
    const QImage &CurrentFrame() const;
    // Whether the frames are being played now.
    bool Animating() const { return m_timer.isActive(); }

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
    void StartFrameTimer();
    void NextFrame();

    Settings m_settings;
    QByteArray m_gif;
    std::vector<Frame> m_frames;
    int m_index = 0;
    QTimer m_timer;
    bool m_pressed = false;
};
