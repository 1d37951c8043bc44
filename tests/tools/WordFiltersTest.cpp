// The filters on the course's words, judged with the real lists: our banned words and Debian's French word list,
// so that a root or an ending that catches an innocent word of the language shows here.

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "PhraseKeys.h"
#include "WordFilters.h"

namespace {

std::set<std::string> ReadList(const char *path)
{
    std::ifstream in(path);
    EXPECT_TRUE(in) << path;
    return coursedata::ReadWords(in);
}

const std::set<std::string> &Known()
{
    static const std::set<std::string> known = ReadList(TUTOR_WORD_LIST);
    return known;
}

const std::set<std::string> &Banned()
{
    static const std::set<std::string> banned = ReadList(TUTOR_BANNED_WORDS);
    return banned;
}

enum class Verdict { Allowed, Banned, Archaic };

const char *Name(Verdict verdict)
{
    return verdict == Verdict::Banned ? "banned" : verdict == Verdict::Archaic ? "archaic" : "allowed";
}

Verdict Judge(const std::string &word)
{
    if (coursedata::IsBanned(word, Banned()))
        return Verdict::Banned;
    return coursedata::IsArchaic(word, Known()) ? Verdict::Archaic : Verdict::Allowed;
}

} // namespace

TEST(WordFilters, JudgeEachWordByItsFormsAndItsVerb)
{
    struct Row {
        const char *word;
        Verdict verdict;
    };
    const Row rows[] = {
        // Banned: the entry, its plural and feminine, a tense of a banned verb, a compound, a root.
        {"merde", Verdict::Banned},
        {"putes", Verdict::Banned},
        {"idiote", Verdict::Banned},
        {"couillonne", Verdict::Banned},
        {"sexuelle", Verdict::Banned},
        {"branleuse", Verdict::Banned},
        {"pissaient", Verdict::Banned},
        {"tuerons", Verdict::Banned},
        {"merdoie", Verdict::Banned},
        {"égorgeait", Verdict::Banned},
        {"lèche-cul", Verdict::Banned},
        {"l'idiot", Verdict::Banned},
        {"emmerdement", Verdict::Banned},
        {"pornographiques", Verdict::Banned},
        // Innocent look-alikes of banned words and roots.
        {"pissenlit", Verdict::Allowed},
        {"concombre", Verdict::Allowed},
        {"concours", Verdict::Allowed},
        {"conte", Verdict::Allowed},
        {"culture", Verdict::Allowed},
        {"bitume", Verdict::Allowed},
        {"bitumer", Verdict::Allowed},
        {"dispute", Verdict::Allowed},
        {"analyse", Verdict::Allowed},
        {"salopette", Verdict::Allowed},
        {"bordelais", Verdict::Allowed},
        {"cornichon", Verdict::Allowed},
        {"ébranler", Verdict::Allowed},
        {"violons", Verdict::Allowed},
        {"violent", Verdict::Allowed},
        {"non-violent", Verdict::Allowed},
        {"amuse-gueule", Verdict::Allowed},
        {"meurtrie", Verdict::Allowed},
        {"pique-nique", Verdict::Allowed},
        {"vie", Verdict::Allowed},
        {"vient", Verdict::Allowed},
        {"manche", Verdict::Allowed},
        {"pédale", Verdict::Allowed},
        // Archaic: past historic beyond the third singular, imperfect subjunctive.
        {"devançât", Verdict::Archaic},
        {"ressourças", Verdict::Archaic},
        {"chantai", Verdict::Archaic},
        {"chantèrent", Verdict::Archaic},
        {"mangeâmes", Verdict::Archaic},
        {"chantasse", Verdict::Archaic},
        {"chantassions", Verdict::Archaic},
        {"finîmes", Verdict::Archaic},
        {"ouïmes", Verdict::Archaic},
        {"offrirent", Verdict::Archaic},
        {"prisse", Verdict::Archaic},
        {"fussent", Verdict::Archaic},
        {"pût", Verdict::Archaic},
        {"vînt", Verdict::Archaic},
        {"fallût", Verdict::Archaic},
        // Not archaic: presents, futures and nouns with the same endings, and the pasts still written.
        {"classe", Verdict::Allowed},
        {"tasse", Verdict::Allowed},
        {"ramasse", Verdict::Allowed},
        {"terrasse", Verdict::Allowed},
        {"liasse", Verdict::Allowed},
        {"passions", Verdict::Allowed},
        {"missions", Verdict::Allowed},
        {"pâtes", Verdict::Allowed},
        {"abîmes", Verdict::Allowed},
        {"sauras", Verdict::Allowed},
        {"hélas", Verdict::Allowed},
        {"visas", Verdict::Allowed},
        {"mât", Verdict::Allowed},
        {"connaît", Verdict::Allowed},
        {"gît", Verdict::Allowed},
        {"croît", Verdict::Allowed},
        {"goût", Verdict::Allowed},
        {"août", Verdict::Allowed},
        {"fût", Verdict::Allowed},
        {"eût", Verdict::Allowed},
        {"courent", Verdict::Allowed},
        {"durent", Verdict::Allowed},
        {"virent", Verdict::Allowed},
        {"finissions", Verdict::Allowed},
        // A second-group verb: the imperfect and the present subjunctive, like "finissiez".
        {"amuïssiez", Verdict::Allowed},
    };
    for (const Row &row : rows)
        EXPECT_STREQ(Name(Judge(row.word)), Name(row.verdict)) << row.word;
}

TEST(WordFilters, SentencesAreJudgedWordByWordInLowercase)
{
    struct Row {
        const char *sentence;
        std::vector<std::string> words;
    };
    const Row rows[] = {
        {"Quelle heure est-il ?", {"quelle", "heure", "est-il"}},
        {"L’Été -- c'est MERDIQUE !", {"l'été", "c'est", "merdique"}},
    };
    for (const Row &row : rows)
        EXPECT_EQ(coursedata::WordsOf(row.sentence), row.words) << row.sentence;
}

// The committed list was made by the script's copy of the filters; the build's must agree with every word.
TEST(WordFilters, CommittedWordsPassTheBuildsFilters)
{
    std::ifstream in(TUTOR_COURSE_WORDS);
    ASSERT_TRUE(in) << TUTOR_COURSE_WORDS;
    std::string word;
    std::size_t count = 0;
    while (std::getline(in, word)) {
        if (word.rfind("# ", 0) == 0)
            continue;
        ++count;
        ASSERT_TRUE(Known().count(word)) << word << " is not in Debian's word list";
        ASSERT_STREQ(Name(Judge(word)), Name(Verdict::Allowed)) << word;
    }
    EXPECT_GT(count, 20000u);
}

// The sentences that tell where a sign is typed get each keyboard's own keys, and are left out where they would be
// false or say nothing.
TEST(PhraseKeys, TellEachKeyboardsOwnKeys)
{
    using coursedata::KeyWay;
    EXPECT_EQ(coursedata::KeyCalled('e', 'E'), "la touche E");
    EXPECT_EQ(coursedata::KeyCalled(0xE9, '2'), "la touche \xC3\xA9");
    EXPECT_EQ(coursedata::KeyCalled('-', '6'), "la touche du 6");
    EXPECT_EQ(coursedata::KeyCalled('$', '#'), "la touche $");
    // A keyboard where @ is AltGr on the à key, # Maj on the key of 3, ~ a dead key under AltGr, and « a key alone.
    const auto way = [](char32_t c) -> std::optional<KeyWay> {
        switch (c) {
        case '@': return KeyWay{"la touche \xC3\xA0", false, true, false, false};
        case '#': return KeyWay{"la touche du 3", true, false, false, false};
        case '~': return KeyWay{"la touche \xC3\xA9", false, true, true, false};
        case 0xAB: return KeyWay{"la touche \xC2\xAB", false, false, false, true};
        default: return std::nullopt;
        }
    };
    const std::pair<const char *, std::optional<std::string>> rows[] = {
        {"Le signe @ s'obtient avec \xE2\x9F\xA6@\xE2\x9F\xA7.",
         "Le signe @ s'obtient avec AltGr et la touche \xC3\xA0."},
        {"Le di\xC3\xA8se # se trouve sur \xE2\x9F\xA6touche #\xE2\x9F\xA7.",
         "Le di\xC3\xA8se # se trouve sur la touche du 3."},
        {"Tapez \xE2\x9F\xA6#\xE2\x9F\xA7 puis \xE2\x9F\xA6@\xE2\x9F\xA7.",
         "Tapez Maj et la touche du 3 puis AltGr et la touche \xC3\xA0."},
        {"\xE2\x9F\xA6morte ~\xE2\x9F\xA7 Tapez ~ puis l'espace.", "Tapez ~ puis l'espace."},
        {"\xE2\x9F\xA6morte @\xE2\x9F\xA7 Tapez @ puis l'espace.", std::nullopt}, // @ is no dead key here
        {"Le signe \xE2\x82\xAC s'obtient avec \xE2\x9F\xA6\xE2\x82\xAC\xE2\x9F\xA7.", std::nullopt}, // no €
        {"Le guillemet s'obtient avec \xE2\x9F\xA6\xC2\xAB\xE2\x9F\xA7.", std::nullopt},              // says nothing
        {"Un ensemble {a ; b} entre accolades.", "Un ensemble {a ; b} entre accolades."},
    };
    for (const auto &[sentence, expected] : rows)
        EXPECT_EQ(coursedata::WithKeyNames(sentence, way), expected) << sentence;
}
