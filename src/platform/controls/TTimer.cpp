#include "platform/controls/TTimer.h"

#include "platform/dialogs/ErrorBox.h"

TTimer::TTimer(QObject *parent) : QObject(parent)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (OnTimer)
            errorbox::Guarded(this, OnTimer);
    });
}

void TTimer::SetInterval(int ms)
{
    if (ms == m_interval)
        return;
    m_interval = ms;
    Update();
}

void TTimer::SetEnabled(bool enabled)
{
    m_enabled = enabled;
    Update();
}

void TTimer::Update()
{
    if (m_enabled && m_interval > 0)
        m_timer.start(m_interval);
    else
        m_timer.stop();
}
