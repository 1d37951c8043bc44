#include "records/CourseRules.h"

#include <algorithm>

#include "course/Course.h"
#include "guide/KeyMap.h"
#include "records/CourseProgress.h"
#include "records/KeyFigures.h"

namespace courserules {

bool Reached(const CourseProgress &progress, int lesson)
{
    return progress.Done(lesson, course::LessonNumber(lesson).GoalSpeed, course::GoalSuccess);
}

void Record(CourseProgress &progress, int lesson, double speed, double success, const std::string &date)
{
    progress.Record(lesson, speed, success, date, course::GoalSuccess);
}

int NextLesson(const CourseProgress &progress)
{
    for (const course::Lesson &lesson : course::Lessons())
        if (!Reached(progress, lesson.Number))
            return lesson.Number;
    return course::LessonCount();
}

std::string MetKeys(const CourseProgress &progress, const KeyFigures &keys, const std::vector<course::Lesson> &lessons)
{
    // Every key typed so far has been met, those of a course lesson started and left too.
    std::string met;
    for (int ch = 1; ch < 256; ++ch)
        if (keys.Of(static_cast<unsigned char>(ch)).Attempts > 0)
            met += static_cast<char>(ch);
    if (keys.OutsideCourse() > 0) {
        for (const keymap::KeyRow &row : keymap::KeyRows())
            met += row.Characters;
    } else {
        for (auto lesson = lessons.rbegin(); lesson != lessons.rend(); ++lesson)
            if (progress.Of(lesson->Number)) {
                met += lesson->Keys;
                break;
            }
    }
    return met + ' ';
}

std::string WeakKeysToDrill(const KeyFigures &keys)
{
    std::string weak = keys.Weakest(DrillKeys + 1);
    weak.erase(std::remove(weak.begin(), weak.end(), ' '), weak.end());
    return weak.substr(0, DrillKeys);
}

std::string WeakKeysOfLesson(const KeyFigures &keys, int lesson, const std::vector<course::Lesson> &lessons)
{
    if (lesson < 1 || lesson > static_cast<int>(lessons.size()))
        return std::string();
    const course::Lesson &chosen = lessons[static_cast<std::size_t>(lesson - 1)];
    std::string weak;
    for (const char ch : keys.Weakest(256))
        if (ch != ' ' && chosen.Allows(static_cast<unsigned char>(ch)) && weak.size() < WeakKeysWoven)
            weak += ch;
    return weak;
}

} // namespace courserules
