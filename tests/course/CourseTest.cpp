#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "course/Course.h"
#include "course/CourseText.h"
#include "course/Drill.h"
#include "platform/input/KeyboardLayout.h"
#include "platform/input/KeyboardLayouts.h"

namespace {

// A character the French AZERTY layout types: with one key, or as a dead key's accent and a letter.
bool Typeable(unsigned char ch)
{
    if (kbdlayout::VkKeyScan(ch) != kbdlayout::NoKey)
        return true;
    for (const unsigned char accent : {0x5E, 0xA8})
        for (unsigned char base = 'a'; base <= 'z'; ++base)
            if (kbdlayout::Compose(accent, base) == ch)
                return true;
    return false;
}

// The course data as the build made it, read for a keyboard.
const course::Material &BuiltMaterial(layouts::Layout layout = layouts::Layout::FrenchAzerty)
{
    static const std::string data = [] {
        std::ifstream file(TUTOR_COURSE_DATA, std::ios::binary);
        return std::string{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }();
    static std::map<layouts::Layout, course::Material> materials;
    auto found = materials.find(layout);
    if (found == materials.end())
        found = materials.emplace(layout, course::Material::Parse(data, layout)).first;
    return found->second;
}

} // namespace

TEST(Course, BringsInTheKeysInOrderAndEveryKeyIsTypeable)
{
    const auto &lessons = course::Lessons();
    ASSERT_GE(lessons.size(), 24u);
    const char *const firstFive[] = {"fj ", "dk", "sl", "qm", "gh"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(lessons[i].NewKeys, firstFive[i]);
    EXPECT_EQ(lessons.front().GoalSpeed, 60);
    EXPECT_EQ(lessons.back().GoalSpeed, 150);
    EXPECT_NE(lessons.back().NewKeys.find('\\'), std::string::npos) << "the AltGr signs come last";
    std::string before;
    for (const course::Lesson &lesson : lessons) {
        SCOPED_TRACE(lesson.Number);
        EXPECT_EQ(lesson.Keys, before + lesson.NewKeys) << "each lesson keeps every key already learnt";
        for (const char c : lesson.NewKeys) {
            EXPECT_EQ(before.find(c), std::string::npos) << "a key comes in once: " << c;
            EXPECT_TRUE(Typeable(static_cast<unsigned char>(c))) << static_cast<int>(static_cast<unsigned char>(c));
        }
        if (lesson.Number > 1) {
            EXPECT_GE(lesson.GoalSpeed, course::LessonNumber(lesson.Number - 1).GoalSpeed);
        }
        before = lesson.Keys;
    }
}

// The words of a line, lower case, without the signs around them; apostrophes and hyphens split words.
std::vector<std::string> WordsIn(const std::string &line)
{
    std::vector<std::string> words(1);
    for (const char c : line) {
        const unsigned char u = static_cast<unsigned char>(c);
        if ((u >= 'a' && u <= 'z') || u >= 0xC0)
            words.back() += c;
        else if (u >= 'A' && u <= 'Z')
            words.back() += static_cast<char>(u - 'A' + 'a');
        else if (!words.back().empty())
            words.emplace_back();
    }
    if (words.back().empty())
        words.pop_back();
    return words;
}

bool EndsWith(const std::string &word, const std::string &tail)
{
    return word.size() > tail.size() && word.compare(word.size() - tail.size(), tail.size(), tail) == 0;
}

// Every lesson's attempts over 50 seeds: the lesson's keys only, lines of the right length, each holding a new key,
// the new keys a fair share of the text, common words rather than letter groups once words exist, nothing a
// learner must not read, no archaic verb form, no sentence glued after a word, and new lines for each seed.
TEST(CourseText, EveryLessonDrillsItsNewKeysWithCleanFrenchText)
{
    const course::Material &material = BuiltMaterial();
    ASSERT_GT(material.UsableWords(course::LessonCount()), 10000u) << "the word list was read";
    // Units, an address's domain, a drive and the commands of the last lesson are no words, but are meant.
    std::set<std::string> known{"km", "kg", "fr", "c", "h", "l", "ls", "pwd", "cd", "more", "man", "cp", "mv", "cat"};
    for (int n = 1; n <= course::LessonCount(); ++n) {
        known.insert(material.WordsOf(n).begin(), material.WordsOf(n).end());
        for (const std::string &sentence : material.SentencesOf(n))
            for (const std::string &word : WordsIn(sentence))
                known.insert(word);
    }
    const std::set<std::string> banned{"merde", "salope", "salop", "pute",    "bite",       "chier", "cul",
                                       "pisse", "nazie",  "anal",  "pucelle", "merdoierez", "con",   "putain"};
    const char *const archaic[] = {"\xE2mes", "\xE2tes", "\xEEmes", "\xEEtes", "\xFBmes", "\xFBtes"};

    for (const course::Lesson &lesson : course::Lessons()) {
        SCOPED_TRACE(lesson.Number);
        std::vector<std::string> sentences;
        for (int n = 1; n <= lesson.Number; ++n)
            sentences.insert(sentences.end(), material.SentencesOf(n).begin(), material.SentencesOf(n).end());
        std::size_t characters = 0, newCharacters = 0, words = 0, knownWords = 0;
        for (std::uint32_t seed = 1; seed <= 50; ++seed) {
            const auto attempt = course::MakeAttempt(lesson, material, seed);
            ASSERT_EQ(attempt.size(), static_cast<std::size_t>(course::AttemptLines));
            EXPECT_NE(attempt, course::MakeAttempt(lesson, material, seed + 1000)) << "another seed, other lines";
            EXPECT_EQ(std::set<std::string>(attempt.begin(), attempt.end()).size(), attempt.size()) << "no line twice";
            for (const std::string &line : attempt) {
                SCOPED_TRACE(line);
                EXPECT_TRUE(lesson.AllowsAll(line));
                EXPECT_GE(line.size(), course::MinLineLength);
                EXPECT_LE(line.size(), course::MaxLineLength);
                EXPECT_NE(line.front(), ' ');
                EXPECT_NE(line.back(), ' ');
                EXPECT_EQ(line.find("  "), std::string::npos);
                EXPECT_NE(line.find_first_of(lesson.NewKeys == "fj " ? "fj" : lesson.NewKeys), std::string::npos)
                    << "a new key on every line";
                for (const char c : line) {
                    characters += c != ' ';
                    newCharacters += c != ' ' && lesson.NewKeys.find(c) != std::string::npos;
                }
                for (const std::string &word : WordsIn(line)) {
                    ++words;
                    knownWords += known.count(word);
                    EXPECT_EQ(banned.count(word), 0u) << word;
                    // A plural whose singular the course writes too is a noun ("boîtes"), not a verb form.
                    const bool plural = word.back() == 's' && known.count(word.substr(0, word.size() - 1)) != 0;
                    for (const char *tail : archaic)
                        EXPECT_FALSE(EndsWith(word, tail) && !plural) << word;
                }
                for (const std::string &sentence : sentences) {
                    const std::size_t at = line.find(sentence);
                    if (at != std::string::npos && at > 0) {
                        EXPECT_NE(std::string(".!?").find(line[at - 2]), std::string::npos)
                            << "a sentence starts a line or follows a sentence end";
                    }
                }
            }
        }
        EXPECT_GE(double(newCharacters), course::NewKeyShare * double(characters)) << "the share of the new keys";
        if (lesson.Kind != course::TextKind::Drill) {
            EXPECT_GE(double(knownWords), 0.95 * double(words)) << "words, not letter groups";
        }
    }
}

// The learner's weak keys come back in every line of a course attempt.
TEST(CourseText, TheLearnersWeakKeysComeBackOnEveryLine)
{
    const course::Lesson &lesson = course::LessonNumber(16);
    for (std::uint32_t seed = 1; seed <= 20; ++seed)
        for (const std::string &line : course::MakeAttempt(lesson, BuiltMaterial(), seed, "zxv"))
            EXPECT_NE(line.find_first_of("zxv"), std::string::npos) << line;
}

// Drills on weak keys, from the course's words, from letter groups where too few words qualify, and with no
// material at all: the lines of an attempt, every weak key on each line and the weakest one character in twelve,
// only met and weak keys, and the same lines again from the same seed.
TEST(Drill, EachLineHoldsTheWeakKeysAndKeepsToTheMetOnes)
{
    const course::Material &built = BuiltMaterial();
    const course::Material none;
    std::set<std::string> wordList;
    for (int n = 1; n <= course::LessonCount(); ++n)
        wordList.insert(built.WordsOf(n).begin(), built.WordsOf(n).end());
    const std::string all = course::Lessons().back().Keys;
    struct Row {
        std::string Weak;
        std::string Met;
        const course::Material *Words;
        bool MostlyWords; // half a line's words at least are in the word list
    };
    const Row rows[] = {
        {"k", course::LessonNumber(5).Keys, &built, false}, // no word before lesson 6: letter groups
        {"zwx", all, &built, true},
        {"\xE9,;A1", all, &built, true}, // an accent, signs, a capital and a digit
        {" ", all, &built, true},
        {"q", "fjdksl ", &built, false},
        {"@", all, &built, false}, // glued between letters
        {"ei", course::LessonNumber(10).Keys, &none, false},
        {"A-", "", &built, false}, // nothing met: the weak keys alone
    };
    for (const Row &row : rows) {
        SCOPED_TRACE("weak keys \"" + row.Weak + "\"");
        const auto lines = course::MakeDrill(row.Weak, row.Met, *row.Words, 7);
        EXPECT_EQ(lines, course::MakeDrill(row.Weak, row.Met, *row.Words, 7)) << "a seed gives its own lines again";
        EXPECT_NE(lines, course::MakeDrill(row.Weak, row.Met, *row.Words, 8));
        ASSERT_EQ(lines.size(), static_cast<std::size_t>(course::AttemptLines));
        for (const std::string &line : lines) {
            SCOPED_TRACE(line);
            EXPECT_GE(line.size(), course::MinLineLength);
            EXPECT_LE(line.size(), course::MaxLineLength);
            EXPECT_NE(line.front(), ' ');
            EXPECT_NE(line.back(), ' ');
            EXPECT_EQ(line.find("  "), std::string::npos);
            for (const char key : row.Weak)
                EXPECT_NE(line.find(key), std::string::npos) << "weak key " << key;
            EXPECT_GE(static_cast<std::size_t>(std::count(line.begin(), line.end(), row.Weak.front())) * 12,
                      line.size());
            EXPECT_EQ(line.find_first_not_of(row.Met + row.Weak + ' '), std::string::npos);
            if (!row.MostlyWords)
                continue;
            std::size_t words = 0;
            std::size_t listed = 0;
            std::size_t start = 0;
            while (start < line.size()) {
                const std::size_t end = std::min(line.find(' ', start), line.size());
                std::string word = line.substr(start, end - start);
                start = end + 1;
                const std::string signs = "\"(),.;:!?";
                word.erase(0, word.find_first_not_of(signs));
                word.erase(word.find_last_not_of(signs) + 1);
                if (word.empty())
                    continue;
                if (word.front() >= 'A' && word.front() <= 'Z')
                    word.front() = static_cast<char>(word.front() - 'A' + 'a');
                ++words;
                listed += wordList.count(word);
            }
            EXPECT_GE(listed * 2, words) << "words from the list, not groups, where the keys make words";
        }
    }
}

TEST(Drill, RefusesKeysItCannotDrill)
{
    const std::string all = course::Lessons().back().Keys;
    const std::pair<std::string, std::string> rows[] = {
        {"", all},       // no weak key
        {"abcdef", all}, // more than five
        {"kak", all},    // one twice
        {" ", ""},       // nothing to type but spaces
    };
    for (const auto &[weak, met] : rows)
        EXPECT_THROW(course::MakeDrill(weak, met, BuiltMaterial(), 1), std::invalid_argument) << '"' << weak << '"';
}

// On every keyboard the course starts from its own home keys and goes row by row as on the French AZERTY, keeps to
// what the keyboard types, brings a few keys at a time, each once, and names them in its titles.
TEST(CourseOnEveryKeyboard, BringsAFewOfItsOwnKeysAtATimeUnderTitlesThatNameThem)
{
    using layouts::Layout;
    // Each keyboard's home keys, and its fourth lesson as the course window writes it (UTF-8).
    const std::tuple<Layout, std::string, std::string> homes[] = {
        {Layout::FrenchAzerty, "fj ", "q et m"},
        {Layout::FrenchAfnor, "fj ", "q et m"},
        {Layout::Bepo, "et ", "a et n"},
        {Layout::Belgian, "fj ", "q et m"},
        {Layout::SwissFrench, "fj ", "a et \xC3\xA9"},
        {Layout::CanadianFrench, "fj ", "a et le point-virgule"},
    };
    for (const auto &[layout, home, fourth] : homes) {
        const layouts::TypingTable &table = layouts::TableOf(layout);
        const std::string name = layouts::DescriptionOf(layout).Name;
        SCOPED_TRACE(name);
        const std::vector<course::Lesson> lessons = course::LessonsFor(layout);
        ASSERT_EQ(static_cast<int>(lessons.size()), course::LessonCount());
        EXPECT_EQ(lessons[0].NewKeys, home);
        EXPECT_EQ(lessons[3].Title, fourth);
        for (char c = 'a'; c <= 'z'; ++c)
            EXPECT_TRUE(lessons[12].Allows(static_cast<unsigned char>(c))) << c;
        std::string before;
        std::set<std::string> titles;
        for (const course::Lesson &lesson : lessons) {
            SCOPED_TRACE(lesson.Number);
            EXPECT_EQ(lesson.GoalSpeed, course::LessonNumber(lesson.Number).GoalSpeed);
            EXPECT_EQ(lesson.Keys, before + lesson.NewKeys);
            EXPECT_FALSE(lesson.NewKeys.empty()) << "a lesson brings something";
            EXPECT_LE(course::NewKeyCount(lesson, layout), course::MostNewKeys) << lesson.Title;
            EXPECT_TRUE(titles.insert(lesson.Title).second) << "no two lessons alike: " << lesson.Title;
            for (const char c : lesson.NewKeys) {
                EXPECT_EQ(before.find(c), std::string::npos) << "a key comes in once: " << int(c);
                EXPECT_TRUE(table[static_cast<unsigned char>(c)].Typeable()) << int(c);
            }
            before = lesson.Keys;
        }
        // The typographers' keyboards teach their quotation marks, curly apostrophe and ligature.
        const bool typographic = layout == Layout::FrenchAfnor || layout == Layout::Bepo;
        for (const unsigned char sign : {0xAB, 0xBB, 0x92, 0x9C})
            EXPECT_EQ(lessons.back().Allows(sign), typographic) << int(sign);
        // On the French AZERTY the keys come in the course's own order.
        if (layout == Layout::FrenchAzerty) {
            for (const course::Lesson &lesson : lessons)
                EXPECT_EQ(lesson.NewKeys, course::LessonNumber(lesson.Number).NewKeys) << lesson.Number;
        }
    }
    // Titles that tell what the lesson brings on that keyboard, where it differs from the French AZERTY.
    const std::tuple<Layout, int, std::string> titled[] = {
        {Layout::Bepo, 12, "le point, k, l'apostrophe et q"},
        {Layout::Bepo, 13, "g, h et f"},
        {Layout::Bepo, 15, "Les majuscules"},
        {Layout::Bepo, 16, "Les guillemets \xC2\xAB \xC2\xBB"},
        {Layout::Bepo, 24, "Arobase, di\xC3\xA8se et euro"},
        {Layout::FrenchAfnor, 13, "La virgule et les guillemets \xC2\xAB \xC2\xBB"},
        {Layout::FrenchAfnor, 17, "\xC3\xA0, \xC3\xA7, \xC3\xB9 et \xC5\x93"},
        {Layout::FrenchAfnor, 25, "Accolades et crochets (AltGr)"},
        {Layout::SwissFrench, 16, "\xC3\xA8"},
        {Layout::CanadianFrench, 14, "Les deux-points, ! et ?"},
        {Layout::CanadianFrench, 24, "L'arobase et le di\xC3\xA8se"},
    };
    for (const auto &[layout, number, title] : titled)
        EXPECT_EQ(course::LessonsFor(layout)[static_cast<std::size_t>(number - 1)].Title, title)
            << layouts::DescriptionOf(layout).Name << ", lesson " << number;
}

// Every attempt of every lesson on every keyboard brings in each of the lesson's new keys (the capitals as one: Shift),
// one on every line at least, and they make NewKeyShare of its characters; its lines keep to the lesson's keys.
TEST(CourseOnEveryKeyboard, EveryAttemptBringsInEachNewKey)
{
    for (const layouts::Description &keyboard : layouts::Descriptions) {
        const course::Material &material = BuiltMaterial(keyboard.Id);
        for (const course::Lesson &lesson : material.Lessons()) {
            std::vector<std::string> keys;
            for (const char c : lesson.NewKeys) {
                const bool capital = c >= 'A' && c <= 'Z';
                if (c == ' ' || (capital && !keys.empty() && keys.back() == "A-Z"))
                    continue;
                keys.push_back(capital ? "A-Z" : std::string(1, c));
            }
            const auto holds = [](const std::string &text, const std::string &key) {
                return key == "A-Z" ? text.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") != std::string::npos
                                    : text.find(key) != std::string::npos;
            };
            for (std::uint32_t seed = 1; seed <= 20; ++seed) {
                SCOPED_TRACE(std::string(keyboard.Name) + ", lesson " + std::to_string(lesson.Number) + ", seed " +
                             std::to_string(seed));
                const std::vector<std::string> attempt = course::MakeAttempt(lesson, material, seed);
                ASSERT_EQ(attempt.size(), static_cast<std::size_t>(course::AttemptLines));
                std::string all;
                for (const std::string &line : attempt) {
                    EXPECT_TRUE(lesson.AllowsAll(line)) << line;
                    EXPECT_GE(line.size(), course::MinLineLength) << line;
                    EXPECT_LE(line.size(), course::MaxLineLength) << line;
                    EXPECT_TRUE(
                        std::any_of(keys.begin(), keys.end(), [&](const std::string &key) { return holds(line, key); }))
                        << "a new key on every line: " << line;
                    all += line;
                }
                for (const std::string &key : keys)
                    EXPECT_TRUE(holds(all, key)) << "the new key " << key;
                std::size_t characters = 0, fresh = 0;
                for (const char c : all) {
                    characters += c != ' ';
                    fresh += c != ' ' && lesson.NewKeys.find(c) != std::string::npos;
                }
                EXPECT_GE(double(fresh), course::NewKeyShare * double(characters)) << "the share of the new keys";
            }
        }
    }
}
