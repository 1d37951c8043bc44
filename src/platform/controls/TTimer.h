#pragma once

#include <functional>

#include <QObject>
#include <QTimer>

// A window-message timer whose interval is its on/off switch: it ticks every Interval milliseconds while the
// interval is not 0 and it is enabled. Ticks arrive as events, so they also run inside a message wait.
class TTimer : public QObject
{
    Q_OBJECT
public:
    explicit TTimer(QObject *parent = nullptr);

    int Interval() const { return m_interval; }
    void SetInterval(int ms);
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);

    std::function<void()> OnTimer;

private:
    void Update();

    QTimer m_timer;
    int m_interval = 0;
    bool m_enabled = true;
};
