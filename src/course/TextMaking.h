#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

// What the attempts and the drills make their lines from: the random choices drawn from a seed, letter groups,
// numbers and the signs set as French text sets them. Internal to tutor_course. Pure: no Qt, no files.
namespace course::textmaking {

// The lower-case letters of Windows-1252, accented ones included.
inline bool IsLowerLetter(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || c >= 0xE0;
}

// A word the apostrophe may elide before.
inline bool IsVowelStart(std::string_view word)
{
    if (word.empty())
        return false;
    const unsigned char c = static_cast<unsigned char>(word.front());
    return std::string_view("aeiouyh\xE0\xE2\xE9\xE8\xEA\xEE\xF4\xFB").find(static_cast<char>(c)) !=
           std::string_view::npos;
}

// Text drawn from one seed: every choice goes through the same generator in the same order, so the same seed
// gives the same text again. A maker says which words it draws by Word().
class TextMaker
{
public:
    explicit TextMaker(std::uint32_t seed) : m_random(seed) {}
    TextMaker(const TextMaker &) = delete;
    TextMaker &operator=(const TextMaker &) = delete;
    virtual ~TextMaker() = default;

protected:
    virtual std::string Word() = 0;

    std::size_t Between(std::size_t low, std::size_t high)
    {
        return std::uniform_int_distribution<std::size_t>(low, high)(m_random);
    }
    bool Chance(int percent) { return static_cast<int>(Between(0, 99)) < percent; }
    template <typename T>
    const T &Pick(const std::vector<T> &items)
    {
        return items[Between(0, items.size() - 1)];
    }
    char PickChar(const std::string &chars) { return chars[Between(0, chars.size() - 1)]; }

    // A group of letters (at least one), most of them from favoured when it has any; letters is never empty.
    std::string Group(std::size_t length, const std::string &favoured, const std::string &letters)
    {
        std::string group;
        for (std::size_t i = 0; i < std::max<std::size_t>(length, 1); ++i)
            group += !favoured.empty() && Chance(60) ? PickChar(favoured) : PickChar(letters);
        return group;
    }

    // One to four of the digits, nothing without digits; a number does not start with a 0 unless it is 0.
    std::string Number(const std::string &digits)
    {
        if (digits.empty())
            return std::string();
        std::string number(1, PickChar(digits));
        const std::size_t more = Between(0, 3);
        for (std::size_t i = 0; i < more && number.front() != '0'; ++i)
            number += PickChar(digits);
        return number;
    }

    // A word with the sign, as French text sets it; numbers from the digits.
    std::string Signed(char sign, const std::string &digits)
    {
        const std::string word = Word();
        switch (sign) {
        case ',':
        case '.': return word + sign;
        case ';':
        case ':':
        case '!':
        case '?': return word + ' ' + sign;
        case '\'': {
            static const std::vector<std::string> elided{"l'", "d'", "j'", "n'", "s'", "c'", "qu'"};
            for (int tries = 0; tries < 6; ++tries) {
                const std::string next = Word();
                if (IsVowelStart(next))
                    return Pick(elided) + next;
            }
            return std::string();
        }
        case '"': return '"' + word + '"';
        // The French quotation marks, with a plain space inside, as most typists type them.
        case '\xAB':
        case '\xBB': return "\xAB " + word + " \xBB";
        case '(':
        case ')': return '(' + word + ')';
        case '{':
        case '}': return '{' + word + '}';
        case '[':
        case ']': return '[' + word + ']';
        case '@': return word + '@' + Word();
        case '#': return '#' + (Chance(50) ? Number(digits) : word);
        case '\x80': return Number(digits) + " \x80";
        case '|':
        case '\\': return word + sign + Word();
        // The tilde and the grave accent are dead keys: they stand alone, typed with the space after them.
        case '~':
        case '`': return std::string(1, sign);
        default:
            if (sign >= '0' && sign <= '9')
                return Number(digits);
            return word;
        }
    }

private:
    std::mt19937 m_random;
};

} // namespace course::textmaking
