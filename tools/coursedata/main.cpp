// Makes the course data from Debian's French word list and our phrases: the words and sentences each lesson may
// use, in Windows-1252, filed under the first lesson whose keys make them. Banned words and tenses no one writes
// any more are left out, and a phrase holding one stops the build.
//
//   coursedata WORDLIST PHRASES BANNED OUTPUT

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "WordFilters.h"
#include "course/Course.h"
#include "course/CourseText.h"

namespace {

// UTF-8 to Windows-1252, for the characters a French text uses; nothing when a character has no byte there.
std::optional<std::string> ToCp1252(const std::string &utf8)
{
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        char32_t code = 0;
        std::size_t length = 1;
        if (c < 0x80)
            code = c;
        else if ((c & 0xE0) == 0xC0)
            code = c & 0x1F, length = 2;
        else if ((c & 0xF0) == 0xE0)
            code = c & 0x0F, length = 3;
        else
            return std::nullopt;
        if (i + length > utf8.size())
            return std::nullopt;
        for (std::size_t k = 1; k < length; ++k)
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += length;
        if (code == 0x20AC)
            out += '\x80';
        else if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
            out += static_cast<char>(code);
        else
            return std::nullopt;
    }
    return out;
}

// Tenses a learner hardly ever writes (the imperfect subjunctive, the plural past historic) make words that
// look rare; they are left out.
bool LooksRare(const std::string &word)
{
    static const char *const endings[] = {"assent",   "assiez",  "assions", "issiez",  "issions", "ussent",  "ussiez",
                                          "ussions",  "\xE2mes", "\xE2tes", "\xEEmes", "\xEEtes", "\xFBmes", "\xFBtes",
                                          "\xE8rent", "erions",  "eriez",   "asses",   "isses",   "usses"};
    for (const char *ending : endings) {
        const std::string tail(ending);
        if (word.size() > tail.size() + 1 && word.compare(word.size() - tail.size(), tail.size(), tail) == 0)
            return true;
    }
    return false;
}

// Abbreviations, unit symbols and lone letters are not words to practise with: a word has a vowel, no full stop,
// and two letters at least unless it is one of the French one-letter words.
bool IsPracticeWord(const std::string &word)
{
    if (word.find('.') != std::string::npos)
        return false;
    if (word.size() == 1)
        return word == "a" || word == "y" || word == "\xE0";
    return word.find_first_of("aeiouy\xE0\xE2\xE9\xE8\xEA\xEB\xEE\xEF\xF4\xF9\xFB\xFC") != std::string::npos;
}

// The most words kept for one lesson: enough never to repeat within an attempt, small enough to embed.
constexpr std::size_t WordsPerLesson = 3000;
// A lesson with fewer ranked words than this also takes words outside the ranking, the common-looking first.
constexpr std::size_t FewRankedWords = 300;
constexpr std::size_t LongestWord = 12;

std::uint32_t Hash(const std::string &text)
{
    std::uint32_t hash = 2166136261u;
    for (const char c : text)
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 6) {
        std::cerr << "usage: coursedata WORDLIST RANKED PHRASES BANNED OUTPUT\n";
        return 2;
    }
    const char *const phrasesPath = argv[3];
    const char *const bannedPath = argv[4];
    const char *const outputPath = argv[5];
    std::ifstream wordList(argv[1]);
    std::ifstream rankedList(argv[2]);
    std::ifstream phrases(phrasesPath);
    std::ifstream bannedList(bannedPath);
    for (int i = 1; i <= 4; ++i) {
        const bool open = i == 1   ? bool(wordList)
                          : i == 2 ? bool(rankedList)
                          : i == 3 ? bool(phrases)
                                   : bool(bannedList);
        if (!open) {
            std::cerr << "coursedata: cannot read " << argv[i]
                      << (i == 1 ? " (the word list comes with Debian's wfrench package)" : "") << "\n";
            return 1;
        }
    }
    const std::set<std::string> known = coursedata::ReadWords(wordList);
    const std::set<std::string> banned = coursedata::ReadWords(bannedList);
    // A word the learner may read: spelt so by the word list, neither banned nor archaic, a practice word of a
    // lesson's keys.
    std::size_t bannedWords = 0, archaicWords = 0;
    const auto usable = [&](const std::string &utf8) -> std::optional<std::string> {
        const std::string lower = coursedata::Lowercase(utf8);
        if (lower != utf8 || known.count(utf8) == 0)
            return std::nullopt;
        if (coursedata::IsBanned(lower, banned)) {
            ++bannedWords;
            return std::nullopt;
        }
        if (coursedata::IsArchaic(lower, known)) {
            ++archaicWords;
            return std::nullopt;
        }
        // Pieces the ranking cut out of a longer expression ("aujourd'hui", "c'est-à-dire"), "ça" without its
        // cedilla, and "oe" written for "œ" (which the keyboard lacks) are no words to learn.
        static const std::set<std::string> pieces{"est-\xC3\xA0-dire", "hui", "aujourd", "ca"};
        if (pieces.count(utf8) != 0)
            return std::nullopt;
        if (const std::size_t oe = utf8.find("oe"); oe != std::string::npos) {
            std::string ligature = utf8;
            ligature.replace(oe, 2, "\xC5\x93");
            if (known.count(ligature) != 0)
                return std::nullopt;
        }
        std::optional<std::string> word = ToCp1252(utf8);
        if (!word || word->size() > LongestWord || !IsPracticeWord(*word) || course::FirstLessonAllowing(*word) == 0)
            return std::nullopt;
        return word;
    };

    // The ranked words, the most common first, as many as a lesson keeps.
    course::Material kept;
    std::vector<std::size_t> count(std::size_t(course::LessonCount()) + 1);
    std::set<std::string> taken;
    std::uint32_t rank = 0;
    std::string line;
    while (std::getline(rankedList, line)) {
        if (line.empty() || line.rfind("# ", 0) == 0)
            continue;
        ++rank;
        const std::optional<std::string> word = usable(line);
        if (!word)
            continue;
        const std::size_t lesson = std::size_t(course::FirstLessonAllowing(*word));
        if (count[lesson] >= WordsPerLesson || !taken.insert(*word).second)
            continue;
        ++count[lesson];
        kept.AddWord(*word, rank);
    }

    // Lessons whose keys make few ranked words take more from the whole word list: base forms first, then short
    // words, in an order that mixes the alphabet, so that the words are short, varied and common-looking.
    std::vector<std::string> everyWord;
    for (const std::string &utf8 : known)
        if (const std::optional<std::string> word = usable(utf8))
            everyWord.push_back(*word);
    std::sort(everyWord.begin(), everyWord.end());
    // The past historic and the imperfect subjunctive of the verbs in -er ("jasai", "ferma", "aidasse"): a verb
    // of the list ends the stem left once the ending is taken away.
    const auto pastOfAVerb = [&everyWord](const std::string &word) {
        for (const std::string ending : {"a", "ai", "as", "\xE2t", "asse", "ea", "eai", "eas"}) {
            if (word.size() < ending.size() + 3 || word.compare(word.size() - ending.size(), ending.size(), ending))
                continue;
            if (std::binary_search(everyWord.begin(), everyWord.end(),
                                   word.substr(0, word.size() - ending.size()) + "er"))
                return true;
        }
        return false;
    };
    // A word that other words of the list grow from ("chat": chats, chaton...) is a stem or a base form, which
    // looks common; an inflected form that nothing grows from ("tubiez") often looks rare.
    const auto grownFrom = [&everyWord](const std::string &word) {
        const auto first = std::upper_bound(everyWord.begin(), everyWord.end(), word);
        return first != everyWord.end() && first->compare(0, word.size(), word) == 0;
    };
    std::vector<std::vector<std::pair<std::size_t, std::string>>> unranked(count.size());
    for (const std::string &word : everyWord) {
        const std::size_t lesson = std::size_t(course::FirstLessonAllowing(word));
        if (count[lesson] < FewRankedWords && taken.count(word) == 0 && !LooksRare(word) && !pastOfAVerb(word))
            unranked[lesson].emplace_back((grownFrom(word) ? 0 : 6) + word.size() + Hash(word) % 4, word);
    }
    for (std::size_t lesson = 1; lesson < count.size(); ++lesson) {
        std::sort(unranked[lesson].begin(), unranked[lesson].end());
        for (const auto &entry : unranked[lesson]) {
            if (count[lesson] >= FewRankedWords)
                break;
            ++count[lesson];
            kept.AddWord(entry.second);
        }
    }

    int lineNumber = 0;
    while (std::getline(phrases, line)) {
        ++lineNumber;
        if (line.empty() || line.rfind("# ", 0) == 0)
            continue;
        for (const std::string &word : coursedata::WordsOf(line)) {
            const bool isBanned = coursedata::IsBanned(word, banned);
            if (isBanned || coursedata::IsArchaic(word, known)) {
                std::cerr << phrasesPath << ":" << lineNumber << ": \"" << word << "\" is "
                          << (isBanned ? "a banned word (see " + std::string(bannedPath) + ")"
                                       : "in a tense no one writes today")
                          << ": a learner must not read it\n";
                return 1;
            }
        }
        const std::optional<std::string> sentence = ToCp1252(line);
        if (!sentence || course::FirstLessonAllowing(*sentence) == 0 || sentence->size() > course::MaxLineLength) {
            std::cerr << phrasesPath << ":" << lineNumber << ": no lesson can type this phrase, or it is too long\n";
            return 1;
        }
        kept.AddSentence(*sentence);
    }

    const std::string data = kept.Serialize();
    std::ofstream out(outputPath, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    if (!out) {
        std::cerr << "coursedata: cannot write " << outputPath << "\n";
        return 1;
    }
    std::printf("%u ranked words read; left out: %zu banned, %zu in a tense no one writes today\n", rank, bannedWords,
                archaicWords);
    for (int n = 1; n <= course::LessonCount(); ++n)
        std::printf("lesson %2d: %5zu words of its own, %6zu usable, %2zu phrases of its own\n", n,
                    kept.WordsOf(n).size(), kept.UsableWords(n), kept.SentencesOf(n).size());
    return 0;
}
