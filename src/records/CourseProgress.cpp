#include "records/CourseProgress.h"

#include "records/RecordText.h"

namespace {

bool Beats(double speed, double success, const CourseProgress::Best &best, double goalSuccess)
{
    const bool reaches = success >= goalSuccess, bestReaches = best.Success >= goalSuccess;
    if (reaches != bestReaches)
        return reaches;
    if (reaches)
        return speed > best.Speed || (speed == best.Speed && success > best.Success);
    return success > best.Success || (success == best.Success && speed > best.Speed);
}

} // namespace

std::optional<CourseProgress> CourseProgress::Parse(std::string_view text, int lessonCount)
{
    const std::optional<std::vector<std::string_view>> lines = recordtext::Lines(text);
    if (!lines)
        return std::nullopt;
    CourseProgress progress;
    for (const std::string_view line : *lines) {
        const std::vector<std::string_view> fields = recordtext::Fields(line, ';');
        if (fields.size() != 4)
            return std::nullopt;
        const std::optional<int> lesson = recordtext::ReadWhole(fields[0], 1, lessonCount);
        const std::optional<double> speed = recordtext::ReadFigure(fields[1], recordtext::FastestSpeed);
        const std::optional<double> success = recordtext::ReadFigure(fields[2], 100);
        if (!lesson || !speed || !success || !recordtext::IsDate(fields[3]) || progress.m_lessons.count(*lesson))
            return std::nullopt;
        progress.m_lessons[*lesson] = Best{*speed, *success, std::string(fields[3])};
    }
    return progress;
}

std::string CourseProgress::Format() const
{
    std::string text;
    for (const auto &[lesson, best] : m_lessons)
        text += std::to_string(lesson) + ';' + recordtext::Figure(best.Speed) + ';' + recordtext::Figure(best.Success) +
                ';' + best.Date + '\n';
    return text;
}

const CourseProgress::Best *CourseProgress::Of(int lesson) const
{
    const auto found = m_lessons.find(lesson);
    return found == m_lessons.end() ? nullptr : &found->second;
}

void CourseProgress::Record(int lesson, double speed, double success, const std::string &date, double goalSuccess)
{
    // Kept as the file keeps it, so that what is shown now is what is read back later.
    speed = recordtext::AsKept(speed, recordtext::FastestSpeed);
    success = recordtext::AsKept(success, 100);
    const auto found = m_lessons.find(lesson);
    if (found == m_lessons.end() || Beats(speed, success, found->second, goalSuccess))
        m_lessons[lesson] = Best{speed, success, date};
}

double CourseProgress::Tenths(double figure)
{
    return recordtext::Tenths(figure);
}

bool CourseProgress::Done(int lesson, double goalSpeed, double goalSuccess) const
{
    const Best *best = Of(lesson);
    return best && best->Success >= goalSuccess && best->Speed >= goalSpeed;
}
