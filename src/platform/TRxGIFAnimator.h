#pragma once

#include <QByteArray>
#include <QImage>
#include <QWidget>

// The animated-picture control: its settings as the window lays it out and the GIF it plays. Until it runs the
// animation it shows the design frame, centred in the control or from its top-left corner, the control sized to
// the picture when asked.
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

    TRxGIFAnimator(QWidget *parent, const Settings &settings);

    const Settings &Options() const { return m_settings; }

    // The GIF file; a picture that cannot be read fails with a TutorError.
    void SetAnimation(const QByteArray &gif);
    const QByteArray &Animation() const { return m_gif; }
    const QImage &Frame() const { return m_frame; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Settings m_settings;
    QByteArray m_gif;
    QImage m_frame;
};
