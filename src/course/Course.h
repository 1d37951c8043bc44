#pragma once

#include <string>
#include <string_view>
#include <vector>

// The course: lessons that bring in the keys of the French AZERTY keyboard a few at a time, from the index
// fingers' home keys to the AltGr signs. Each lesson names its new keys and the whole set of keys its text may
// use (every earlier lesson's keys and its own). Characters are Windows-1252 bytes. Pure: no Qt, no files.
namespace course {

// What a lesson's lines are made of: letter groups while too few keys make words, then French words, then
// whole sentences as well once capitals and the full stop are known.
enum class TextKind { Drill, Words, Sentences };

struct Lesson {
    int Number = 0;      // 1 for the first
    std::string Title;   // UTF-8, as the course window shows it
    std::string NewKeys; // Windows-1252: the characters this lesson brings in
    std::string Keys;    // Windows-1252: every character its text may use, space included
    int GoalSpeed = 0;   // characters per minute to reach, with at least GoalSuccess percent
    TextKind Kind = TextKind::Drill;

    bool Allows(unsigned char ch) const { return Keys.find(static_cast<char>(ch)) != std::string::npos; }
    bool AllowsAll(std::string_view text) const;
};

// A lesson is done once an attempt reaches its goal speed with at least this success.
constexpr double GoalSuccess = 94;

const std::vector<Lesson> &Lessons();
int LessonCount();
// The lesson of that number; number 1 .. LessonCount().
const Lesson &LessonNumber(int number);

// The first lesson whose keys make the whole text, 0 when none does.
int FirstLessonAllowing(std::string_view text);

} // namespace course
