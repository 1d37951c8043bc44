#pragma once

#include <QImage>
#include <QWidget>

// The animated-picture control: its settings as the window lays it out. It shows nothing until it is given
// an animation.
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

private:
    Settings m_settings;
};
