#include "records/KeyFigures.h"

#include <algorithm>

namespace {

// A character typed this few times is judged as if it had also been typed this many times without a fault, so
// that one slip on a rare key does not make it the weakest.
constexpr double PriorAttempts = 10;
// Being twice as slow as one's mean weighs as much as a fifth of the keys wrong.
constexpr double SlownessWeight = 0.2;
// Far more than a lifetime of typing: a larger figure is a damaged file.
constexpr std::uint64_t LargestFigure = 1'000'000'000'000'000ULL;

bool Kept(unsigned char ch)
{
    return (ch >= 0x20 && ch < 0x7F) || ch >= 0xA0;
}

// Latin-1 to UTF-8.
void AppendCharacter(std::string &text, unsigned char ch)
{
    if (ch < 0x80) {
        text += static_cast<char>(ch);
    } else {
        text += static_cast<char>(0xC0 | (ch >> 6));
        text += static_cast<char>(0x80 | (ch & 0x3F));
    }
}

std::optional<unsigned char> ReadCharacter(std::string_view field)
{
    unsigned char ch = 0;
    if (field.size() == 1 && static_cast<unsigned char>(field[0]) < 0x80)
        ch = static_cast<unsigned char>(field[0]);
    else if (field.size() == 2 && (static_cast<unsigned char>(field[0]) & 0xFE) == 0xC2 &&
             (static_cast<unsigned char>(field[1]) & 0xC0) == 0x80)
        ch = static_cast<unsigned char>(((static_cast<unsigned char>(field[0]) & 0x03) << 6) |
                                        (static_cast<unsigned char>(field[1]) & 0x3F));
    else
        return std::nullopt;
    if (!Kept(ch))
        return std::nullopt;
    return ch;
}

// A decimal number as Format writes it: digits, no sign, no leading zero.
std::optional<std::uint64_t> ReadNumber(std::string_view field)
{
    if (field.empty() || field.size() > 19 || (field.size() > 1 && field[0] == '0'))
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : field) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > LargestFigure)
        return std::nullopt;
    return value;
}

std::vector<std::string_view> Fields(std::string_view line)
{
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t tab = line.find('\t');
        fields.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos)
            return fields;
        line.remove_prefix(tab + 1);
    }
}

} // namespace

double KeyFigures::Figures::ErrorRate() const
{
    return Attempts == 0 ? 0 : 100.0 * static_cast<double>(Errors) / static_cast<double>(Attempts);
}

double KeyFigures::Figures::MeanMs() const
{
    return Timed == 0 ? 0 : static_cast<double>(TotalMs) / static_cast<double>(Timed);
}

std::string KeyFigures::Figures::MostTypedInstead(std::size_t count) const
{
    std::vector<std::pair<unsigned char, std::uint64_t>> sorted = Instead;
    std::sort(sorted.begin(), sorted.end(), [](const auto &a, const auto &b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    std::string characters;
    for (std::size_t i = 0; i < sorted.size() && i < count; ++i)
        characters += static_cast<char>(sorted[i].first);
    return characters;
}

void KeyFigures::Figures::Add(const Figures &other)
{
    Attempts += other.Attempts;
    Errors += other.Errors;
    TotalMs += other.TotalMs;
    Timed += other.Timed;
    for (const auto &[ch, times] : other.Instead) {
        const auto found =
            std::find_if(Instead.begin(), Instead.end(), [ch = ch](const auto &item) { return item.first == ch; });
        if (found == Instead.end())
            Instead.emplace_back(ch, times);
        else
            found->second += times;
    }
}

void KeyFigures::Record(unsigned char expected, unsigned char typed, bool correct, std::optional<std::uint32_t> ms)
{
    if (!Kept(expected))
        return;
    Figures &figures = m_figures[expected];
    ++figures.Attempts;
    if (correct) {
        if (ms) {
            figures.TotalMs += *ms;
            ++figures.Timed;
        }
        return;
    }
    ++figures.Errors;
    if (!Kept(typed) || typed == expected)
        return;
    for (auto &[ch, times] : figures.Instead)
        if (ch == typed) {
            ++times;
            return;
        }
    figures.Instead.emplace_back(typed, 1);
}

KeyFigures::Figures KeyFigures::Sum(std::string_view characters) const
{
    Figures sum;
    for (const char c : characters)
        sum.Add(m_figures[static_cast<unsigned char>(c)]);
    return sum;
}

bool KeyFigures::Empty() const
{
    return std::all_of(m_figures.begin(), m_figures.end(), [](const Figures &f) { return f.Attempts == 0; });
}

double KeyFigures::MeanMs() const
{
    std::uint64_t totalMs = 0, timed = 0;
    for (const Figures &f : m_figures) {
        totalMs += f.TotalMs;
        timed += f.Timed;
    }
    return timed == 0 ? 0 : static_cast<double>(totalMs) / static_cast<double>(timed);
}

double KeyFigures::Weakness(unsigned char ch) const
{
    return Weakness(ch, MeanMs());
}

double KeyFigures::Weakness(unsigned char ch, double meanMs) const
{
    const Figures &figures = m_figures[ch];
    if (figures.Attempts == 0)
        return 0;
    double weakness = static_cast<double>(figures.Errors) / (static_cast<double>(figures.Attempts) + PriorAttempts);
    if (figures.Timed > 0 && meanMs > 0) {
        const double slowness = std::max(0.0, figures.MeanMs() / meanMs - 1);
        const double trust = static_cast<double>(figures.Timed) / (static_cast<double>(figures.Timed) + PriorAttempts);
        weakness += SlownessWeight * slowness * trust;
    }
    return weakness;
}

std::string KeyFigures::Weakest(std::size_t count) const
{
    const double meanMs = MeanMs();
    std::vector<std::pair<double, unsigned char>> scored;
    for (int ch = 0; ch < 256; ++ch)
        if (m_figures[ch].Attempts > 0)
            scored.emplace_back(Weakness(static_cast<unsigned char>(ch), meanMs), static_cast<unsigned char>(ch));
    std::sort(scored.begin(), scored.end(), [this](const auto &a, const auto &b) {
        if (a.first != b.first)
            return a.first > b.first;
        if (m_figures[a.second].Errors != m_figures[b.second].Errors)
            return m_figures[a.second].Errors > m_figures[b.second].Errors;
        return a.second < b.second;
    });
    std::string weakest;
    for (std::size_t i = 0; i < scored.size() && i < count; ++i)
        weakest += static_cast<char>(scored[i].second);
    return weakest;
}

std::string KeyFigures::Drop(const std::function<bool(unsigned char)> &kept)
{
    std::string dropped;
    for (int ch = 0; ch < 256; ++ch) {
        Figures &figures = m_figures[std::size_t(ch)];
        if (figures.Attempts != 0 && !kept(static_cast<unsigned char>(ch))) {
            figures = Figures();
            dropped += static_cast<char>(ch);
        }
    }
    return dropped;
}

std::optional<KeyFigures> KeyFigures::Parse(std::string_view text)
{
    KeyFigures keys;
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos)
            return std::nullopt; // every line ends with its line feed
        const std::vector<std::string_view> fields = Fields(text.substr(0, end));
        text.remove_prefix(end + 1);
        ++lineNumber;
        if (lineNumber == 1) {
            if (fields.size() != 2 || fields[0] != "version" || fields[1] != "1")
                return std::nullopt;
            continue;
        }
        if (lineNumber == 2) {
            const std::optional<std::uint64_t> outside = fields.size() == 2 ? ReadNumber(fields[1]) : std::nullopt;
            if (!outside || fields[0] != "exercices")
                return std::nullopt;
            keys.m_outsideCourse = *outside;
            continue;
        }
        if (fields.size() < 5 || fields.size() > 11 || fields.size() % 2 == 0)
            return std::nullopt;
        const std::optional<unsigned char> ch = ReadCharacter(fields[0]);
        std::optional<std::uint64_t> numbers[4];
        for (int i = 0; i < 4; ++i)
            numbers[i] = ReadNumber(fields[1 + i]);
        if (!ch || !numbers[0] || !numbers[1] || !numbers[2] || !numbers[3])
            return std::nullopt;
        Figures &figures = keys.m_figures[*ch];
        if (figures.Attempts != 0)
            return std::nullopt; // a character twice
        figures.Attempts = *numbers[0];
        figures.Errors = *numbers[1];
        figures.TotalMs = *numbers[2];
        figures.Timed = *numbers[3];
        if (figures.Attempts == 0 || figures.Errors > figures.Attempts ||
            figures.Timed > figures.Attempts - figures.Errors || (figures.Timed == 0 && figures.TotalMs != 0))
            return std::nullopt;
        std::uint64_t instead = 0, previous = LargestFigure;
        for (std::size_t i = 5; i < fields.size(); i += 2) {
            const std::optional<unsigned char> typed = ReadCharacter(fields[i]);
            const std::optional<std::uint64_t> times = ReadNumber(fields[i + 1]);
            if (!typed || *typed == *ch || !times || *times == 0 || *times > previous ||
                std::any_of(figures.Instead.begin(), figures.Instead.end(),
                            [&](const auto &item) { return item.first == *typed; }))
                return std::nullopt;
            figures.Instead.emplace_back(*typed, *times);
            instead += *times;
            previous = *times;
        }
        if (instead > figures.Errors)
            return std::nullopt;
    }
    if (lineNumber < 2)
        return std::nullopt;
    return keys;
}

std::string KeyFigures::Format() const
{
    std::string text = "version\t1\nexercices\t" + std::to_string(m_outsideCourse) + '\n';
    for (int ch = 0; ch < 256; ++ch) {
        const Figures &figures = m_figures[ch];
        if (figures.Attempts == 0)
            continue;
        AppendCharacter(text, static_cast<unsigned char>(ch));
        for (const std::uint64_t number : {figures.Attempts, figures.Errors, figures.TotalMs, figures.Timed})
            text += '\t' + std::to_string(number);
        for (const char typed : figures.MostTypedInstead(3)) {
            text += '\t';
            AppendCharacter(text, static_cast<unsigned char>(typed));
            const auto found = std::find_if(figures.Instead.begin(), figures.Instead.end(), [&](const auto &item) {
                return item.first == static_cast<unsigned char>(typed);
            });
            text += '\t' + std::to_string(found->second);
        }
        text += '\n';
    }
    return text;
}
