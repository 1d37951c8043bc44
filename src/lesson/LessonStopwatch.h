#pragma once

#include <cstdint>

// The time a lesson has really taken, from its first correct key to its last key, in milliseconds of a steady
// clock that the caller reads and hands in. Pure: it never reads a clock itself. Time spent away from the lesson
// (the game) is taken out by pausing it.
//
// Kept true: Elapsed never decreases while running, and never changes while paused or stopped.
class LessonStopwatch
{
public:
    // Back to no time at all, as at a lesson's start.
    void Clear();
    // The lesson's first correct key.
    void Start(std::int64_t nowMs);
    void Pause(std::int64_t nowMs);
    void Resume(std::int64_t nowMs);

    bool Started() const { return m_started; }
    bool Paused() const { return m_paused; }
    std::int64_t Elapsed(std::int64_t nowMs) const;

private:
    bool m_started = false;
    bool m_paused = false;
    std::int64_t m_since = 0;
    std::int64_t m_before = 0;
};
