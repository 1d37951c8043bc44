#pragma once

#include <functional>

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// An idle-time timer: it ticks when the event loop has nothing else to do, at most once per Interval
// milliseconds (every idle pass with 0), only while the application is the active one and never inside a
// message wait. The tick receives how many whole intervals have passed since the previous one (at least 1).
// While it cannot tick (another application is active, or a wait runs) it sleeps instead of polling, so an
// interval of 0 costs nothing then.
class TDXTimer : public QObject
{
    Q_OBJECT
public:
    explicit TDXTimer(QObject *parent = nullptr);

    int Interval() const { return m_interval; }
    void SetInterval(int ms);
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);

    std::function<void(int lagCount)> OnTimer;

private:
    void IdlePass();
    // Starts or stops the underlying timer to match the switch and the application's state.
    void Resume();

    QTimer m_idle;
    QElapsedTimer m_sinceTick;
    int m_interval = 0;
    bool m_enabled = false;
    bool m_waitingForWaits = false;
};
