#include "course/CourseText.h"

#include <algorithm>

#include "TextMaking.h"

namespace course {
namespace {

constexpr char WordsMark = 'W';
constexpr char SentencesMark = 'S';

using textmaking::IsLowerLetter;

class AttemptMaker final : public textmaking::TextMaker
{
public:
    AttemptMaker(const Lesson &lesson, const Material &material, std::uint32_t seed)
        : TextMaker(seed), m_lesson(lesson), m_material(material)
    {
        for (const char c : lesson.Keys)
            if (IsLowerLetter(static_cast<unsigned char>(c)))
                m_letters.push_back(c);
        for (const char c : lesson.NewKeys) {
            if (IsLowerLetter(static_cast<unsigned char>(c)))
                m_newLetters.push_back(c);
            else if (c != ' ' && !(c >= 'A' && c <= 'Z'))
                m_newSigns.push_back(c);
        }
        m_capitals = lesson.Allows('A');
        m_capitalsAreNew = lesson.NewKeys.find('A') != std::string::npos;
        for (char d = '0'; d <= '9'; ++d)
            if (lesson.Allows(static_cast<unsigned char>(d)))
                m_digits.push_back(d);
        m_usableWords = m_material.UsableWords(lesson.Number);
    }

    std::string Line()
    {
        const std::size_t target = Between(MinLineLength + 6, MaxLineLength - 4);
        std::string line;
        int misses = 0;
        bool capitalNext = m_lesson.Kind == TextKind::Sentences;
        while (line.size() < target && misses < 16) {
            std::string token = Token(capitalNext);
            const std::size_t length = line.size() + (line.empty() ? 0 : 1) + token.size();
            if (token.empty() || length > MaxLineLength || !m_lesson.AllowsAll(token)) {
                ++misses;
                continue;
            }
            if (!line.empty())
                line += ' ';
            line += token;
            const char last = token.back();
            capitalNext = m_capitals && (last == '.' || last == '!' || last == '?');
        }
        // Letter groups make up a line that came out short.
        while (line.size() < MinLineLength) {
            const std::size_t room = MaxLineLength - line.size() - 1;
            line += ' ';
            line += DrillGroup(std::min<std::size_t>(room, 5));
        }
        return line;
    }

private:
    std::string Token(bool capital)
    {
        std::string token;
        if (m_lesson.Kind == TextKind::Drill || m_usableWords == 0)
            token = DrillGroup(Between(m_lesson.Number <= 2 ? 2 : 3, 5));
        else if (m_lesson.Kind == TextKind::Sentences && Chance(35))
            token = Sentence();
        else if (!m_newSigns.empty() && Chance(45))
            token = Signed(PickChar(m_newSigns), m_digits);
        else if (Chance(m_newLetters.empty() ? 0 : 15))
            token = DrillGroup(Between(3, 5));
        else
            token = Word();
        if (token.empty())
            return token;
        // Capitals start the lines and the sentences; in the lesson that brings them in, some words get one too.
        if ((capital || (m_capitalsAreNew && Chance(25))) && token.front() >= 'a' && token.front() <= 'z')
            token.front() = static_cast<char>(token.front() - 'a' + 'A');
        return token;
    }

    // A group of letters, most of them new ones.
    std::string DrillGroup(std::size_t length) { return Group(length, m_newLetters, m_letters); }

    // A word the lesson may use: half the time one that has a new key, and of two words drawn, often the
    // shorter.
    std::string Word() override
    {
        const std::string *best = nullptr;
        for (int draw = 0; draw < 2; ++draw) {
            const std::string *word = DrawWord();
            if (word && (!best || (word->size() < best->size() && Chance(70))))
                best = word;
        }
        return best ? *best : std::string();
    }

    const std::string *DrawWord()
    {
        const std::vector<std::string> &own = m_material.WordsOf(m_lesson.Number);
        if (!own.empty() && Chance(50))
            return &Pick(own);
        std::size_t index = Between(0, m_usableWords - 1);
        for (int n = 1; n <= m_lesson.Number; ++n) {
            const std::vector<std::string> &words = m_material.WordsOf(n);
            if (index < words.size())
                return &words[index];
            index -= words.size();
        }
        return nullptr;
    }

    std::string Sentence()
    {
        const std::vector<std::string> &own = m_material.SentencesOf(m_lesson.Number);
        if (!own.empty() && Chance(50))
            return Pick(own);
        std::vector<const std::vector<std::string> *> groups;
        for (int n = 1; n <= m_lesson.Number; ++n)
            if (!m_material.SentencesOf(n).empty())
                groups.push_back(&m_material.SentencesOf(n));
        if (groups.empty())
            return Word();
        return Pick(*Pick(groups));
    }

    const Lesson &m_lesson;
    const Material &m_material;
    std::string m_letters;
    std::string m_newLetters;
    std::string m_newSigns;
    std::string m_digits;
    bool m_capitals = false;
    bool m_capitalsAreNew = false;
    std::size_t m_usableWords = 0;
};

void File(std::vector<std::vector<std::string>> &groups, std::string entry)
{
    const int lesson = FirstLessonAllowing(entry);
    if (lesson > 0 && !entry.empty())
        groups[static_cast<std::size_t>(lesson)].push_back(std::move(entry));
}

} // namespace

Material Material::Parse(std::string_view data)
{
    Material material;
    std::vector<std::vector<std::string>> *groups = &material.m_words;
    while (!data.empty()) {
        const std::size_t end = std::min(data.find('\n'), data.size());
        std::string_view line = data.substr(0, end);
        data.remove_prefix(std::min(end + 1, data.size()));
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.size() > 2 && line[0] == '\t') {
            groups = line[1] == SentencesMark ? &material.m_sentences : &material.m_words;
            continue;
        }
        // Entries are filed again by their own keys, whatever group the data put them in.
        File(*groups, std::string(line));
    }
    return material;
}

void Material::AddWord(std::string word)
{
    File(m_words, std::move(word));
}

void Material::AddSentence(std::string sentence)
{
    File(m_sentences, std::move(sentence));
}

const std::vector<std::string> &Material::WordsOf(int lesson) const
{
    return m_words.at(static_cast<std::size_t>(lesson));
}

const std::vector<std::string> &Material::SentencesOf(int lesson) const
{
    return m_sentences.at(static_cast<std::size_t>(lesson));
}

std::size_t Material::UsableWords(int lesson) const
{
    std::size_t count = 0;
    for (int n = 1; n <= lesson; ++n)
        count += WordsOf(n).size();
    return count;
}

std::string Material::Serialize() const
{
    std::string data;
    for (int n = 1; n <= LessonCount(); ++n) {
        for (const auto &[mark, groups] : {std::pair{WordsMark, &m_words}, std::pair{SentencesMark, &m_sentences}}) {
            const std::vector<std::string> &entries = (*groups)[static_cast<std::size_t>(n)];
            if (entries.empty())
                continue;
            data += '\t';
            data += mark;
            data += ' ' + std::to_string(n) + '\n';
            for (const std::string &entry : entries)
                data += entry + '\n';
        }
    }
    return data;
}

std::vector<std::string> MakeAttempt(const Lesson &lesson, const Material &material, std::uint32_t seed)
{
    AttemptMaker maker(lesson, material, seed);
    std::vector<std::string> lines;
    for (int i = 0; i < AttemptLines; ++i)
        lines.push_back(maker.Line());
    return lines;
}

} // namespace course
