#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "course/Course.h"

class CourseProgress;
class KeyFigures;

// What the course makes of a learner's records: where the course goes on, which keys the learner has met, which to
// drill. The course window, the key figures window and the lesson read them here, never from one another.
namespace courserules {

// How many of the weakest keys a drill works on, and how many a course attempt favours.
constexpr std::size_t DrillKeys = 5;
constexpr std::size_t WeakKeysWoven = 3;

// Whether the learner's best attempt at a lesson reached its goals of speed and success.
bool Reached(const CourseProgress &progress, int lesson);
// Keeps an attempt at a lesson when it beats the best one, judged against the course's success goal.
void Record(CourseProgress &progress, int lesson, double speed, double success, const std::string &date);
// The first lesson whose goal has not been reached; the last lesson once every goal has been.
int NextLesson(const CourseProgress &progress);

// Every key typed so far, the keys of the furthest course lesson tried (all keys once exercises outside the course
// have been typed), and the space. `lessons`: the course on the learner's keyboard.
std::string MetKeys(const CourseProgress &progress, const KeyFigures &keys,
                    const std::vector<course::Lesson> &lessons = course::Lessons());

// The weakest keys, at most DrillKeys, never the space: it is in every line of a drill.
std::string WeakKeysToDrill(const KeyFigures &keys);
// The weakest keys among those of a course lesson, at most WeakKeysWoven, never the space: each line of an attempt
// brings them back.
std::string WeakKeysOfLesson(const KeyFigures &keys, int lesson,
                             const std::vector<course::Lesson> &lessons = course::Lessons());

} // namespace courserules
