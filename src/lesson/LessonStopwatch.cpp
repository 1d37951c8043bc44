#include "lesson/LessonStopwatch.h"

#include <algorithm>

void LessonStopwatch::Clear()
{
    *this = LessonStopwatch();
}

void LessonStopwatch::Start(std::int64_t nowMs)
{
    m_started = true;
    m_paused = false;
    m_since = nowMs;
    m_before = 0;
}

void LessonStopwatch::Pause(std::int64_t nowMs)
{
    if (!m_started || m_paused)
        return;
    m_before = Elapsed(nowMs);
    m_paused = true;
}

void LessonStopwatch::Resume(std::int64_t nowMs)
{
    if (!m_started || !m_paused)
        return;
    m_since = nowMs;
    m_paused = false;
}

std::int64_t LessonStopwatch::Elapsed(std::int64_t nowMs) const
{
    if (!m_started)
        return 0;
    if (m_paused)
        return m_before;
    // A clock read before the start (it cannot go back, but a caller may hand in an old reading) adds nothing.
    return m_before + std::max<std::int64_t>(nowMs - m_since, 0);
}
