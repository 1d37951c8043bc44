#include "records/CourseProgress.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr double FastestSpeed = 10000;

// One decimal, rounded, with a full stop whatever the locale.
std::string Figure(double value)
{
    const long long tenths = static_cast<long long>(std::floor(value * 10 + 1e-9));
    return std::to_string(tenths / 10) + '.' + std::to_string(tenths % 10);
}

std::optional<double> ReadFigure(std::string_view text, double highest)
{
    // Digits, a full stop, one digit: exactly as Figure writes it.
    const std::size_t dot = text.find('.');
    if (dot == std::string_view::npos || dot == 0 || dot > 6 || text.size() != dot + 2)
        return std::nullopt;
    long long tenths = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i == dot)
            continue;
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        tenths = tenths * 10 + (text[i] - '0');
    }
    const double value = static_cast<double>(tenths) / 10;
    if (value > highest)
        return std::nullopt;
    return value;
}

bool IsDate(std::string_view text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    for (const std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (text[i] < '0' || text[i] > '9')
            return false;
    const int month = (text[5] - '0') * 10 + (text[6] - '0');
    const int day = (text[8] - '0') * 10 + (text[9] - '0');
    return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

std::optional<int> ReadLesson(std::string_view text, int lessonCount)
{
    if (text.empty() || text.size() > 3 || text.front() == '0')
        return std::nullopt;
    int lesson = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        lesson = lesson * 10 + (c - '0');
    }
    if (lesson < 1 || lesson > lessonCount)
        return std::nullopt;
    return lesson;
}

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
    CourseProgress progress;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos)
            return std::nullopt; // every line ends with its line feed
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        std::string_view fields[4];
        std::string_view rest = line;
        for (int i = 0; i < 4; ++i) {
            const std::size_t semicolon = rest.find(';');
            if ((i < 3) == (semicolon == std::string_view::npos))
                return std::nullopt;
            fields[i] = rest.substr(0, semicolon);
            rest = i < 3 ? rest.substr(semicolon + 1) : std::string_view();
        }
        const std::optional<int> lesson = ReadLesson(fields[0], lessonCount);
        const std::optional<double> speed = ReadFigure(fields[1], FastestSpeed);
        const std::optional<double> success = ReadFigure(fields[2], 100);
        if (!lesson || !speed || !success || !IsDate(fields[3]) || progress.m_lessons.count(*lesson))
            return std::nullopt;
        progress.m_lessons[*lesson] = Best{*speed, *success, std::string(fields[3])};
    }
    return progress;
}

std::string CourseProgress::Format() const
{
    std::string text;
    for (const auto &[lesson, best] : m_lessons)
        text += std::to_string(lesson) + ';' + Figure(best.Speed) + ';' + Figure(best.Success) + ';' + best.Date + '\n';
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
    speed = std::min(std::max(speed, 0.0), FastestSpeed);
    success = std::min(std::max(success, 0.0), 100.0);
    speed = Tenths(speed);
    success = Tenths(success);
    const auto found = m_lessons.find(lesson);
    if (found == m_lessons.end() || Beats(speed, success, found->second, goalSuccess))
        m_lessons[lesson] = Best{speed, success, date};
}

double CourseProgress::Tenths(double figure)
{
    return std::floor(figure * 10 + 1e-9) / 10;
}

bool CourseProgress::Done(int lesson, double goalSpeed, double goalSuccess) const
{
    const Best *best = Of(lesson);
    return best && best->Success >= goalSuccess && best->Speed >= goalSpeed;
}
