#include "platform/controls/TDXTimer.h"

#include <QGuiApplication>

#include "platform/controls/MessageWait.h"
#include "platform/dialogs/ErrorBox.h"

TDXTimer::TDXTimer(QObject *parent) : QObject(parent)
{
    // A Qt timer fires once the pending events are handled, so it stands for the message loop's idle step; with
    // interval 0 it fires at every idle pass.
    m_idle.setInterval(0);
    connect(&m_idle, &QTimer::timeout, this, [this] { IdlePass(); });
    if (auto *application = qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        connect(application, &QGuiApplication::applicationStateChanged, this, [this] { Resume(); });
}

void TDXTimer::Resume()
{
    const bool active = QGuiApplication::applicationState() == Qt::ApplicationActive;
    if (m_enabled && active && !m_waitingForWaits) {
        if (!m_idle.isActive())
            m_idle.start();
    } else {
        m_idle.stop();
    }
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
    if (enabled)
        m_sinceTick.start();
    Resume();
}

void TDXTimer::IdlePass()
{
    if (MessageWaitDepth() > 0) {
        if (!m_waitingForWaits) {
            m_waitingForWaits = true;
            WhenMessageWaitsEnd(this, [this] {
                m_waitingForWaits = false;
                Resume();
            });
        }
        Resume();
        return;
    }
    if (QGuiApplication::applicationState() != Qt::ApplicationActive) {
        Resume();
        return;
    }
    const qint64 elapsed = m_sinceTick.elapsed();
    if (m_interval > 0 && elapsed < m_interval)
        return;
    const int lag = m_interval > 0 ? static_cast<int>(elapsed / m_interval) : 1;
    m_sinceTick.restart();
    if (OnTimer)
        errorbox::Guarded(this, [&] { OnTimer(lag < 1 ? 1 : lag); });
}
