#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/input/KeyboardLayouts.h"

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

// The keyboards whose keys print « » ’ and œ, which their typists use as a matter of course: their course teaches
// them (AFNOR and BÉPO). The others may type them too, but hide them behind AltGr, if at all.
bool TeachesTypography(layouts::Layout layout);

// The most new keys a lesson brings, counted as a learner meets them: the capitals as one (Shift, on letters already
// known), the letters typed after one same dead key as one (the dead key), a row of digits as one.
constexpr int MostNewKeys = 4;
int NewKeyCount(const Lesson &lesson, layouts::Layout layout);

// The course on a keyboard, lesson for lesson: on the French AZERTY, Lessons(). On another, the letter lessons (1 to
// 12) bring in the keys at the places the French AZERTY's lessons do, each named by what this keyboard gives there
// (any letter a to z still missing comes with its row, or with lesson 12); the later lessons bring in their own
// characters that this keyboard types and that were not met before, and the keyboards that teach them add « » ’ and
// œ. No lesson brings more than MostNewKeys keys (the extra ones go on to the next lesson) and none brings none; a
// title names the keys its lesson brings. Goals and kinds of text are the French ones.
std::vector<Lesson> LessonsFor(layouts::Layout layout);

} // namespace course
