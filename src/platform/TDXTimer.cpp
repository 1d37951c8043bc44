#include "platform/TDXTimer.h"

#include <QGuiApplication>

#include "platform/ErrorBox.h"
#include "platform/MessageWait.h"

TDXTimer::TDXTimer(QObject *parent) : QObject(parent)
{
    // A Qt timer fires once the pending events are handled, so it stands for the message loop's idle step; with
    // interval 0 it fires at every idle pass.
    m_idle.setInterval(0);
    connect(&m_idle, &QTimer::timeout, this, [this] { IdlePass(); });
}

void TDXTimer::SetInterval(int ms)
{
    m_interval = ms < 0 ? 0 : ms;
    m_idle.setInterval(m_interval);
}

void TDXTimer::SetEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    if (enabled) {
        m_sinceTick.start();
        m_idle.start();
    } else {
        m_idle.stop();
    }
}

void TDXTimer::IdlePass()
{
    if (MessageWaitDepth() > 0 || QGuiApplication::applicationState() != Qt::ApplicationActive)
        return;
    const qint64 elapsed = m_sinceTick.elapsed();
    if (m_interval > 0 && elapsed < m_interval)
        return;
    const int lag = m_interval > 0 ? static_cast<int>(elapsed / m_interval) : 1;
    m_sinceTick.restart();
    if (OnTimer)
        errorbox::Guarded([&] { OnTimer(lag < 1 ? 1 : lag); });
}
