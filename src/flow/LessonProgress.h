#pragma once

#include <cstddef>

#include <QString>

#include "records/LessonResult.h"

// Where the learner stands in a lesson of several lines, a course lesson or a drill, as the progress line shows it
// while they type: the lesson, the line reached, the speed and the success so far beside their goals.
struct LessonProgress {
    // Whether the line shows at all: a lesson of one line shows it only while paused.
    bool Shown = false;
    LessonGoal Goal;
    // The line being typed, from 1, of Lines (0: a lesson of one line).
    std::size_t Line = 0;
    std::size_t Lines = 0;
    // Whether the lesson has been timed long enough for its speed to mean something, and the figures so far.
    bool Timed = false;
    long double Speed = 0;
    long double Success = 100;
    bool Paused = false;

    // What the learner reads: "Leçon 9 : a et p — ligne 3 sur 8 — 142 car./min (objectif 89) — 97 % (objectif
    // 94 %)", or "… — En pause — appuyez sur F5 pour reprendre".
    QString Text() const;
};
