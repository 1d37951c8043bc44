#pragma once

#include <cstdint>
#include <functional>
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

// A keyboard as the course sees it: the character each key of the main block gives without a modifier (0 for none,
// or a dead key), the key named by its PC scan code; and whether the keyboard types a character at all.
struct Keyboard {
    std::function<unsigned char(std::uint8_t scan)> Unshifted;
    std::function<bool(unsigned char)> Typeable;
};

// The course on another keyboard, lesson for lesson: the letter lessons (1 to 12) bring in the keys at the places
// the French AZERTY's lessons do, each named by what this keyboard gives there (lesson 12 also brings any letter
// a to z still missing); the later lessons bring in their own characters, those this keyboard types and that were
// not met before. Titles name the new keys of the letter lessons; goals and kinds of text are the French ones.
std::vector<Lesson> LessonsFor(const Keyboard &keyboard);

} // namespace course
