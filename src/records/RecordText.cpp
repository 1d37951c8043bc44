#include "records/RecordText.h"

#include <algorithm>
#include <cmath>

namespace recordtext {
namespace {

// The `count` digits of `text` from `first` as one number; nothing when one of them is not a digit.
std::optional<int> Digits(std::string_view text, std::size_t first, std::size_t count)
{
    int value = 0;
    for (std::size_t i = first; i < first + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

int DaysIn(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

} // namespace

double Tenths(double figure)
{
    return std::floor(figure * 10 + 1e-9) / 10;
}

double AsKept(double figure, double highest)
{
    return std::isnan(figure) ? 0 : Tenths(std::clamp(figure, 0.0, highest));
}

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
    const std::optional<int> whole = Digits(text, 0, dot);
    const std::optional<int> tenth = Digits(text, dot + 1, 1);
    if (!whole || !tenth || (dot > 1 && text.front() == '0'))
        return std::nullopt;
    const double value = static_cast<double>(*whole * 10 + *tenth) / 10;
    if (value > highest)
        return std::nullopt;
    return value;
}

std::optional<int> ReadWhole(std::string_view text, int lowest, int highest)
{
    if (text.empty() || text.size() > 9 || (text.size() > 1 && text.front() == '0'))
        return std::nullopt;
    const std::optional<int> value = Digits(text, 0, text.size());
    if (!value || *value < lowest || *value > highest)
        return std::nullopt;
    return value;
}

bool IsDate(std::string_view text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    const std::optional<int> year = Digits(text, 0, 4), month = Digits(text, 5, 2), day = Digits(text, 8, 2);
    return year && month && day && *month >= 1 && *month <= 12 && *day >= 1 && *day <= DaysIn(*year, *month);
}

bool IsDateTime(std::string_view text)
{
    if (text.size() != 16 || text[10] != ' ' || text[13] != ':' || !IsDate(text.substr(0, 10)))
        return false;
    const std::optional<int> hour = Digits(text, 11, 2), minute = Digits(text, 14, 2);
    return hour && minute && *hour < 24 && *minute < 60;
}

std::optional<std::vector<std::string_view>> Lines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos)
            return std::nullopt;
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::vector<std::string_view> Fields(std::string_view line, char separator)
{
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t end = line.find(separator);
        fields.push_back(line.substr(0, end));
        if (end == std::string_view::npos)
            return fields;
        line.remove_prefix(end + 1);
    }
}

} // namespace recordtext
