#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

// The learner's progress through the course, as kept in "Parcours.txt": UTF-8 text, one line per lesson tried,
//   <lesson>;<best speed>;<best success>;<date of the best attempt, YYYY-MM-DD>
// speeds in characters per minute and successes in percent, with one decimal after a full stop. Standard
// library only.
//
// Kept true: a lesson's best attempt only ever gets better; a file that does not read back exactly as this
// format writes it is damaged as a whole, so that a half-understood file is never saved over.
class CourseProgress
{
public:
    struct Best {
        double Speed = 0;
        double Success = 0;
        std::string Date;
    };

    // Nothing when the text is damaged: a line out of the format, a lesson outside 1..lessonCount or twice, a
    // figure out of range, a date that is not one.
    static std::optional<CourseProgress> Parse(std::string_view text, int lessonCount);
    std::string Format() const;

    // The best attempt at a lesson, or nothing before the first one.
    const Best *Of(int lesson) const;
    // An attempt: kept when it beats the lesson's best. Reaching the success goal beats not reaching it; then
    // the faster attempt wins, or, below the success goal, the more accurate one.
    void Record(int lesson, double speed, double success, const std::string &date, double goalSuccess);
    // A lesson is done when its best attempt reached both goals.
    bool Done(int lesson, double goalSpeed, double goalSuccess) const;
    bool Empty() const { return m_lessons.empty(); }
    // A figure as the file keeps it: cut to one decimal, so that what is judged now is what is read back later.
    static double Tenths(double figure);

private:
    std::map<int, Best> m_lessons;
};
