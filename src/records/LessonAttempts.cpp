#include "records/LessonAttempts.h"

#include <algorithm>

#include "records/RecordText.h"

std::optional<LessonAttempts> LessonAttempts::Parse(std::string_view text, int lessonCount)
{
    const std::optional<std::vector<std::string_view>> lines = recordtext::Lines(text);
    if (!lines)
        return std::nullopt;
    LessonAttempts attempts;
    int previous = Drills;
    for (const std::string_view line : *lines) {
        const std::vector<std::string_view> fields = recordtext::Fields(line, ';');
        if (fields.size() != 5)
            return std::nullopt;
        const std::optional<int> lesson = recordtext::ReadWhole(fields[0], Drills, lessonCount);
        const std::optional<double> speed = recordtext::ReadFigure(fields[2], recordtext::FastestSpeed);
        const std::optional<double> success = recordtext::ReadFigure(fields[3], 100);
        const std::optional<int> errors = recordtext::ReadWhole(fields[4], 0, MostErrors);
        if (!lesson || *lesson < previous || !recordtext::IsDateTime(fields[1]) || !speed || !success || !errors)
            return std::nullopt;
        previous = *lesson;
        attempts.Record(*lesson, Attempt{std::string(fields[1]), *speed, *success, *errors});
    }
    return attempts;
}

std::string LessonAttempts::Format() const
{
    std::string text;
    for (const auto &[lesson, kept] : m_lessons)
        for (const Attempt &attempt : kept)
            text += std::to_string(lesson) + ';' + attempt.When + ';' + recordtext::Figure(attempt.Speed) + ';' +
                    recordtext::Figure(attempt.Success) + ';' + std::to_string(attempt.Errors) + '\n';
    return text;
}

const std::vector<LessonAttempts::Attempt> &LessonAttempts::Of(int lesson) const
{
    static const std::vector<Attempt> none;
    const auto found = m_lessons.find(lesson);
    return found == m_lessons.end() ? none : found->second;
}

bool LessonAttempts::Record(int lesson, Attempt attempt)
{
    if (lesson < Drills || !recordtext::IsDateTime(attempt.When))
        return false;
    attempt.Speed = recordtext::AsKept(attempt.Speed, recordtext::FastestSpeed);
    attempt.Success = recordtext::AsKept(attempt.Success, 100);
    attempt.Errors = std::clamp(attempt.Errors, 0, MostErrors);
    std::vector<Attempt> &kept = m_lessons[lesson];
    kept.push_back(std::move(attempt));
    if (kept.size() > Kept)
        kept.erase(kept.begin(), kept.end() - Kept);
    return true;
}
