#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Every attempt at each course lesson and at the drills, the latest Kept of each, as kept in "Essais.txt": UTF-8
// text, one line per attempt,
//   <lesson>;<YYYY-MM-DD HH:MM>;<speed>;<success>;<errors>
// lesson 0 standing for the drills, the local date and time of the attempt's end, the speed in characters per
// minute and the success in percent with one decimal after a full stop, the wrong keys a whole number; the lines
// grouped by lesson in increasing order, each lesson's attempts oldest first. Standard library only.
//
// Kept true: a lesson keeps at most Kept attempts, the latest ones; a file that does not read as this format
// writes it is damaged as a whole, so that a half-understood file is never saved over. A file holding more than
// Kept attempts of a lesson is not damaged: only its latest Kept are kept, as recording them would have left them.
class LessonAttempts
{
public:
    static constexpr std::size_t Kept = 50;
    // The lesson the drills' attempts are kept under.
    static constexpr int Drills = 0;
    // More wrong keys than any lesson could count.
    static constexpr int MostErrors = 999999;

    struct Attempt {
        std::string When; // YYYY-MM-DD HH:MM, local time
        double Speed = 0;
        double Success = 0;
        int Errors = 0;
    };

    // Nothing when the text is damaged: a line out of the format or out of order, a lesson outside
    // 0..lessonCount, a figure out of range, a date or time that is not one.
    static std::optional<LessonAttempts> Parse(std::string_view text, int lessonCount);
    std::string Format() const;

    // A lesson's attempts, oldest first; none before the first.
    const std::vector<Attempt> &Of(int lesson) const;
    // An attempt at the end of a lesson's, the oldest let go beyond Kept. Its figures are kept as the file keeps
    // them (cut to one decimal, within range). False, and nothing kept, for what the file could not hold: a
    // negative lesson, a `When` that is not a date and time as written above.
    bool Record(int lesson, Attempt attempt);
    bool Empty() const { return m_lessons.empty(); }

private:
    std::map<int, std::vector<Attempt>> m_lessons;
};
