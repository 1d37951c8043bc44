#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "records/LessonResult.h"

// Whether an attempt at a course lesson or a drill reached its goals, judged as the course's progress judges it
// (each figure cut to one decimal, as kept), and what the learner is shown of it. Standard library only.
//
// Kept true: a figure shown beside its goal never contradicts the verdict: one short of its goal is shown below it
// (88.9 characters per minute for a goal of 89 shows 88, 1 missing), and Shown + Missing is the goal whenever
// something is missing.
namespace verdict {

struct Figure {
    long long Shown = 0; // rounded, halves to the even neighbour, below the goal when the goal is not reached
    int Goal = 0;
    long long Missing = 0; // 0 when reached

    bool Reached() const { return Missing == 0; }
};

struct Verdict {
    Figure Speed;
    Figure Success;

    bool Passed() const { return Speed.Reached() && Success.Reached(); }
};

Verdict Judge(long double speed, long double success, const LessonGoal &goal);

// What is missing, in words, UTF-8: "il manque 12 caractères par minute", "il manque 3 % de réussite".
std::string MissingSpeed(long long missing);
std::string MissingSuccess(long long missing);

// The characters most often expected where a wrong key was pressed, most missed first, at most `count`; equal
// counts in the order first missed. The space counts like any key.
std::string MostMissed(const std::vector<Mistake> &mistakes, std::size_t count);

} // namespace verdict
