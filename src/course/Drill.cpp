#include "course/Drill.h"

#include <array>
#include <stdexcept>
#include <utility>

#include "TextMaking.h"

namespace course {
namespace {

using textmaking::IsLowerLetter;

constexpr std::size_t MostWeakKeys = 5;
// The weakest key makes one character in this many at least.
constexpr std::size_t WeakestSpacing = 12;
// A key that fewer words hold gets letter groups half the time, or those few words would fill every line.
constexpr std::size_t FewWords = 10;
// Lines of words tried, half of them with the weakest key's words alone after the other keys' one each, before
// a line of groups alone, which always keeps the weakest key dense enough.
constexpr int WordLineTries = 12;
// The longest short group: one for each weak key always fits on a line.
constexpr std::size_t ShortGroup = 4;

bool IsCapital(unsigned char c)
{
    return c >= 'A' && c <= 'Z';
}

bool IsDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

// The signs French text sets after a word, around it, or before it (the apostrophe).
bool IsWordSign(char c)
{
    return std::string_view(",.;:!?'\"()").find(c) != std::string_view::npos;
}

unsigned char Byte(char c)
{
    return static_cast<unsigned char>(c);
}

// Makes a drill's lines, one at a time from the same seed. Words are chosen for the weak keys once, when it is
// made; every line it gives keeps the rules MakeDrill promises.
class DrillMaker final : public textmaking::TextMaker
{
public:
    DrillMaker(std::string_view weakKeys, std::string_view metKeys, const Material &material, std::uint32_t seed)
        : TextMaker(seed), m_material(material), m_weak(weakKeys), m_keyWords(weakKeys.size()),
          m_withWeakest(weakKeys.size())
    {
        for (const char c : metKeys)
            m_allowed[Byte(c)] = true;
        for (const char c : weakKeys)
            m_allowed[Byte(c)] = true;
        m_allowed[' '] = true;
        for (std::size_t c = 0; c < 256; ++c) {
            if (!m_allowed[c] || c == ' ')
                continue;
            m_typeable += static_cast<char>(c);
            if (c >= 'a' && c <= 'z')
                m_letters += static_cast<char>(c);
            if (IsDigit(static_cast<unsigned char>(c)))
                m_digits += static_cast<char>(c);
        }
        if (m_typeable.empty())
            throw std::invalid_argument("a drill needs a key besides the space");
        // Groups mix in the plain letters, else the accented ones, else whatever else the keys type.
        if (m_letters.empty())
            for (const char c : m_typeable)
                if (IsLowerLetter(Byte(c)))
                    m_letters += c;
        if (m_letters.empty())
            m_letters = m_typeable;
        bool weakest = true;
        for (const char c : weakKeys)
            if (IsLowerLetter(Byte(c))) {
                m_favoured.append(weakest ? 3 : 1, c);
                weakest = false;
            }
        FindWords();
    }

    std::string Line()
    {
        for (int tries = 0; tries < WordLineTries; ++tries) {
            std::string line = Joined(Tokens(tries < WordLineTries / 2 ? Fill::AnyKey : Fill::Weakest));
            if (WeakestDense(line))
                return line;
        }
        return Joined(Tokens(Fill::Groups));
    }

private:
    // For each weak key, the words that hold it; a capital's are the words that start with its letter, the rest
    // of them typeable. Only the lessons whose keys include a weak one are looked at: looking at every word is
    // most of a drill's cost.
    void FindWords()
    {
        for (std::size_t i = 0; i < m_weak.size(); ++i) {
            const unsigned char c = Byte(m_weak[i]);
            if (IsLowerLetter(c) || c == '-')
                m_held[c] |= 1u << i;
            else if (IsCapital(c))
                m_capitalOf[c - 'A' + 'a'] |= 1u << i;
        }
        m_seen = m_held;
        for (std::size_t c = 0; c < 256; ++c)
            if (!m_allowed[c])
                m_seen[c] |= Untypeable;
        for (int n = 1; n <= static_cast<int>(m_material.Lessons().size()); ++n) {
            bool holds = false;
            for (const char c : m_material.Lessons()[static_cast<std::size_t>(n - 1)].Keys)
                holds = holds || m_held[Byte(c)] != 0 || m_capitalOf[Byte(c)] != 0;
            if (holds)
                ForEachTypeable(n, [this](const std::string &word, unsigned rest, unsigned keys, unsigned capitals) {
                    if (!(keys & Untypeable))
                        for (std::size_t i = 0; i < m_weak.size(); ++i)
                            if (keys & (1u << i))
                                Keep(i, word, keys | capitals);
                    for (std::size_t i = 0; i < m_weak.size(); ++i)
                        if (capitals & (1u << i))
                            Keep(i, word, rest | capitals);
                });
        }
    }

    // Every word the keys make, looked for the first time a key needs one.
    const std::vector<const std::string *> &AnyWords()
    {
        if (!m_anyWordsFound) {
            m_anyWordsFound = true;
            m_anyWords.reserve(m_material.UsableWords(static_cast<int>(m_material.Lessons().size())));
            for (int n = 1; n <= static_cast<int>(m_material.Lessons().size()); ++n)
                ForEachTypeable(n, [this](const std::string &word, unsigned, unsigned keys, unsigned) {
                    if (!(keys & Untypeable))
                        m_anyWords.push_back(&word);
                });
        }
        return m_anyWords;
    }

    // Calls found(word, rest, keys, capitals) for each word of lesson n whose letters after the first are
    // typeable: rest, the weak keys those letters are; keys, those of the whole word, Untypeable with a first
    // letter that is not; capitals, the weak capitals of its first letter.
    template <typename Found>
    void ForEachTypeable(int n, Found found) const
    {
        // Each word filed under a lesson holds one of its new keys: none of them typeable, no word is.
        bool open = false;
        for (const char c : m_material.Lessons()[static_cast<std::size_t>(n - 1)].NewKeys)
            open = open || m_allowed[Byte(c)] || m_capitalOf[Byte(c)] != 0;
        if (!open)
            return;
        for (const std::string &word : m_material.WordsOf(n)) {
            if (word.empty())
                continue;
            unsigned rest = 0;
            for (std::size_t k = 1; k < word.size(); ++k)
                rest |= m_seen[Byte(word[k])];
            if (!(rest & Untypeable))
                found(word, rest, rest | m_seen[Byte(word.front())], m_capitalOf[Byte(word.front())]);
        }
    }

    // Files a word under weak key "key"; keys, the weak keys it holds or, capitalised, would hold.
    void Keep(std::size_t key, const std::string &word, unsigned keys)
    {
        m_keyWords[key].push_back(&word);
        if (key > 0 && (keys & 1u))
            m_withWeakest[key].push_back(&word);
    }

    // The weak letters and hyphen the word holds, one bit each, the weakest in bit 0.
    unsigned KeysOf(const std::string &word) const
    {
        unsigned keys = 0;
        for (const char c : word)
            keys |= m_held[Byte(c)];
        return keys;
    }

    // What fills a line once each weak key has come: words for any weak key, most often the weakest; words for
    // the weakest alone; short groups alone, which keep the rules whatever is drawn.
    enum class Fill { AnyKey, Weakest, Groups };

    // The words drawn for the line, then shuffled so that no key keeps its place.
    std::vector<std::string> Tokens(Fill fill)
    {
        const std::size_t target = Between(MinLineLength + 6, MaxLineLength - 4);
        std::vector<std::string> tokens;
        std::size_t length = 0;
        const auto fits = [&](const std::string &token, std::size_t kept) {
            return length + (tokens.empty() ? 0 : 1) + token.size() + kept <= MaxLineLength;
        };
        const auto add = [&](std::string token) {
            length += (tokens.empty() ? 0 : 1) + token.size();
            tokens.push_back(std::move(token));
        };
        // Each weak key once, with room kept for a short group for each key still to come.
        for (std::size_t i = 0; i < m_weak.size(); ++i) {
            std::string token = fill == Fill::Groups ? KeyGroup(i, ShortGroup) : Token(i, fill == Fill::Weakest);
            if (!fits(token, (m_weak.size() - 1 - i) * (ShortGroup + 1)))
                token = KeyGroup(i, ShortGroup);
            add(std::move(token));
        }
        int misses = 0;
        while (length < target && misses < 16) {
            std::string token = fill == Fill::Groups    ? KeyGroup(0, ShortGroup)
                                : fill == Fill::Weakest ? Token(0, false)
                                                        : Token(PickWeak(), false);
            if (fits(token, 0))
                add(std::move(token));
            else
                ++misses;
        }
        while (length < MinLineLength)
            add(KeyGroup(0, ShortGroup));
        for (std::size_t i = tokens.size(); i > 1; --i)
            std::swap(tokens[i - 1], tokens[Between(0, i - 1)]);
        return tokens;
    }

    static std::string Joined(const std::vector<std::string> &tokens)
    {
        std::string line;
        for (const std::string &token : tokens) {
            if (!line.empty())
                line += ' ';
            line += token;
        }
        return line;
    }

    bool WeakestDense(const std::string &line) const
    {
        std::size_t count = 0;
        for (const char c : line)
            count += c == m_weak.front();
        return count * WeakestSpacing >= line.size();
    }

    // Most often the weakest key.
    std::size_t PickWeak() { return Chance(70) ? 0 : Between(0, m_weak.size() - 1); }

    // A word, number or group for weak key i, holding it; withWeakest, a word that holds the weakest key too
    // where there is one.
    std::string Token(std::size_t i, bool withWeakest)
    {
        if (withWeakest && !m_withWeakest[i].empty()) {
            // A capital holds the weakest key as the word's first letter, which must not take key i's place.
            std::string word = WordOf(m_withWeakest[i], i);
            if (IsCapital(Byte(m_weak.front())) && !IsCapital(Byte(m_weak[i])))
                word.front() = m_weak.front();
            if (Keeps(word, m_weak[i]))
                return word;
        }
        for (int tries = 0; tries < 3; ++tries) {
            std::string token = WordToken(i);
            if (Keeps(token, m_weak[i]))
                return token;
        }
        return KeyGroup(i, 5);
    }

    std::string WordToken(std::size_t i)
    {
        const char key = m_weak[i];
        if (key == ' ')
            return AnyWords().empty() ? Group(Between(2, 5), m_favoured, m_letters) : Draw(AnyWords());
        if (IsDigit(Byte(key)))
            return NumberWith(key);
        if (IsWordSign(key))
            return Signed(key, m_digits);
        const std::vector<const std::string *> &words = m_keyWords[i];
        if (!words.empty() && (words.size() >= FewWords || Chance(50)))
            return WordOf(words, i);
        // Two words joined by the hyphen where few words have one.
        if (key == '-' && !AnyWords().empty()) {
            std::string joined = Draw(AnyWords()) + '-';
            return joined + Draw(AnyWords());
        }
        return KeyGroup(i, 5);
    }

    // What the signs go with: a word of the weak keys, else any word the keys make, else a group.
    std::string Word() override
    {
        const std::size_t picked = PickWeak();
        if (!m_keyWords[picked].empty())
            return WordOf(m_keyWords[picked], picked);
        for (std::size_t i = 0; i < m_weak.size(); ++i)
            if (!m_keyWords[i].empty())
                return WordOf(m_keyWords[i], i);
        if (!AnyWords().empty())
            return Draw(AnyWords());
        return Group(Between(2, 5), m_favoured, m_letters);
    }

    // A word of weak key i's, capitalised for a capital.
    std::string WordOf(const std::vector<const std::string *> &words, std::size_t i)
    {
        std::string word = Draw(words);
        if (IsCapital(Byte(m_weak[i])))
            word.front() = m_weak[i];
        return word;
    }

    // Of two words drawn, the one with the weakest key, else one with another weak key, else often the shorter.
    const std::string &Draw(const std::vector<const std::string *> &words)
    {
        const auto rank = [this](const std::string &word) {
            const unsigned keys = KeysOf(word);
            return (keys & 1u) * 2 + ((keys & ~1u) != 0);
        };
        const std::string &first = *Pick(words);
        const std::string &second = *Pick(words);
        if (rank(first) != rank(second))
            return rank(first) > rank(second) ? first : second;
        return second.size() < first.size() && Chance(70) ? second : first;
    }

    // A group of at most longest characters (4 or more) that holds weak key i: a number for a digit, a capital
    // before letters, the signs of words set as around a word, any other sign glued between letters.
    std::string KeyGroup(std::size_t i, std::size_t longest)
    {
        const char key = m_weak[i];
        const auto letters = [this](std::size_t most) { return Group(Between(1, most), m_favoured, m_letters); };
        switch (key) {
        case ',':
        case '.': return letters(longest - 1) + key;
        case ';':
        case ':':
        case '!':
        case '?': return letters(longest - 2) + ' ' + key;
        case '"': return '"' + letters(longest - 2) + '"';
        case '(':
        case ')':
            if (m_allowed['('] && m_allowed[')'])
                return '(' + letters(longest - 2) + ')';
            break;
        default: break;
        }
        if (IsDigit(Byte(key)))
            return NumberWith(key);
        if (IsCapital(Byte(key)))
            return key + letters(longest - 1);
        if (IsLowerLetter(Byte(key)) || key == ' ') {
            std::string group = Group(Between(2, longest), m_favoured, m_letters);
            if (key != ' ' && group.find(key) == std::string::npos)
                group[Between(0, group.size() - 1)] = key;
            return group;
        }
        std::string group = letters((longest - 1) / 2);
        group += key;
        return group + letters((longest - 1) / 2);
    }

    // A number as the attempts make them, with the digit in it.
    std::string NumberWith(char digit)
    {
        std::string number = Number(m_digits);
        if (number.find(digit) == std::string::npos) {
            std::size_t at = Between(0, number.size() - 1);
            if (digit == '0' && at == 0 && number.size() > 1)
                at = number.size() - 1;
            number[at] = digit;
        }
        return number;
    }

    bool Keeps(const std::string &token, char key) const
    {
        if (token.empty() || token.front() == ' ' || token.back() == ' ' || token.find("  ") != std::string::npos)
            return false;
        for (const char c : token)
            if (!m_allowed[Byte(c)])
                return false;
        return key == ' ' || token.find(key) != std::string::npos;
    }

    static constexpr unsigned Untypeable = 1u << 31;

    const Material &m_material;
    std::string m_weak;
    std::array<bool, 256> m_allowed{};
    std::array<unsigned, 256> m_held{};      // the bits of the weak lower-case letters and hyphen
    std::array<unsigned, 256> m_capitalOf{}; // the bits of the weak capitals, by their lower-case letter
    std::array<unsigned, 256> m_seen{};      // m_held, and Untypeable for each key not allowed
    std::string m_typeable;                  // every allowed key but the space
    std::string m_letters;
    std::string m_favoured; // the weak lower-case letters, the weakest three times
    std::string m_digits;
    bool m_anyWordsFound = false;
    std::vector<const std::string *> m_anyWords;
    std::vector<std::vector<const std::string *>> m_keyWords;    // for each weak key, the words that hold it
    std::vector<std::vector<const std::string *>> m_withWeakest; // those of them that hold the weakest key too
};

} // namespace

std::vector<std::string> MakeDrill(std::string_view weakKeys, std::string_view metKeys, const Material &material,
                                   std::uint32_t seed)
{
    if (weakKeys.empty() || weakKeys.size() > MostWeakKeys)
        throw std::invalid_argument("a drill is on 1 to 5 weak keys");
    for (std::size_t i = 1; i < weakKeys.size(); ++i)
        if (weakKeys.find(weakKeys[i]) < i)
            throw std::invalid_argument("a weak key is named twice");
    DrillMaker maker(weakKeys, metKeys, material, seed);
    std::vector<std::string> lines;
    for (int i = 0; i < AttemptLines; ++i)
        lines.push_back(maker.Line());
    return lines;
}

} // namespace course
