// Makes the course data from Debian's French word list and our phrases: for each keyboard, the words and sentences
// each of its lessons may use, in Windows-1252, filed under the first of its lessons whose keys make them; the
// sentences that tell where a sign is get that keyboard's keys. Banned words and tenses no one writes any more are
// left out, and a phrase holding one stops the build.
//
//   coursedata WORDLIST RANKED PHRASES BANNED OUTPUT

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

#include "PhraseKeys.h"
#include "WordFilters.h"
#include "course/Course.h"
#include "course/CourseText.h"
#include "platform/input/KeyboardLayout.h"
#include "platform/input/KeyboardLayouts.h"

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
        else if (code == 0x2019)
            out += '\x92';
        else if (code == 0x0153)
            out += '\x9C';
        else if (code == 0x0152)
            out += '\x8C';
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

// A Windows-1252 byte as Unicode, for the few that are not Latin-1 and that our keyboards type.
char32_t Unicode(unsigned char c)
{
    switch (c) {
    case 0x80: return 0x20AC;
    case 0x92: return 0x2019;
    case 0x9C: return 0x0153;
    case 0x8C: return 0x0152;
    default: return c;
    }
}

std::optional<unsigned char> Cp1252Of(char32_t c)
{
    for (int byte = 0x20; byte < 0x100; ++byte)
        if (Unicode(static_cast<unsigned char>(byte)) == c)
            return static_cast<unsigned char>(byte);
    return std::nullopt;
}

// How a keyboard types a character, as a sentence tells it, from its typing table.
std::optional<coursedata::KeyWay> TableWay(const layouts::TypingTable &table, char32_t character)
{
    const std::optional<unsigned char> byte = Cp1252Of(character);
    if (!byte || !table[*byte].Typeable())
        return std::nullopt;
    const layouts::Typing &typing = table[*byte];
    constexpr std::uint8_t SpaceScan = 0x39;
    // A dead key's accent alone is its dead key, then the space bar; a letter after a dead key is no one key.
    const bool dead = typing.Dead.Key != 0;
    if (dead && typing.Base.Key != SpaceScan)
        return std::nullopt;
    const layouts::Stroke stroke = dead ? typing.Dead : typing.Base;
    // What the key gives at a level: its character, or the accent of the dead key it is there.
    const auto given = [&](std::uint8_t level) -> char32_t {
        if (const unsigned char c = layouts::CharacterAt(table, {stroke.Key, level}))
            return Unicode(c);
        for (int c = 0x20; c < 0x100; ++c)
            if (table[c].Dead == layouts::Stroke{stroke.Key, level} && table[c].Base.Key == SpaceScan)
                return Unicode(static_cast<unsigned char>(c));
        return 0;
    };
    coursedata::KeyWay way;
    way.Key = coursedata::KeyCalled(given(0), given(layouts::ShiftLevel));
    way.Shift = (stroke.Level & layouts::ShiftLevel) != 0;
    way.AltGr = (stroke.Level & layouts::AltGrLevel) != 0;
    way.Dead = dead;
    way.Itself = stroke.Level == 0 && given(0) == character;
    return way;
}

// The sentence as the typographers' keyboards' typists write it: the curly apostrophe, and the French quotation
// marks with a plain space inside; nothing when it has neither sign to change.
std::optional<std::string> Typographic(const std::string &sentence)
{
    if (sentence.find_first_of("'\"") == std::string::npos)
        return std::nullopt;
    std::string out;
    bool open = false;
    for (const char c : sentence) {
        if (c == '\'') {
            out += "\xE2\x80\x99";
        } else if (c == '"') {
            out += open ? " \xC2\xBB" : "\xC2\xAB ";
            open = !open;
        } else {
            out += c;
        }
    }
    return open ? std::nullopt : std::optional(out);
}

// The ligature where French writes it: "cœur", "sœur", "œil", "œuvre" ("oe" before u or i).
std::string WithLigature(const std::string &word)
{
    std::string out = word;
    for (std::size_t at = out.find("oe"); at != std::string::npos; at = out.find("oe", at + 1))
        if (at + 2 < out.size() && (out[at + 2] == 'u' || out[at + 2] == 'i'))
            out.replace(at, 2, "\x9C");
    return out;
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
    // A word the learner may read: spelt so by the word list, neither banned nor archaic, a practice word.
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
        // cedilla, and "oe" written for "œ" where the list has the ligature are no words to learn.
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
        if (!word || word->size() > LongestWord || !IsPracticeWord(*word))
            return std::nullopt;
        return word;
    };

    // The ranked words, the most common first.
    std::vector<std::pair<std::string, std::uint32_t>> ranked;
    std::uint32_t rank = 0;
    std::string line;
    while (std::getline(rankedList, line)) {
        if (line.empty() || line.rfind("# ", 0) == 0)
            continue;
        ++rank;
        if (const std::optional<std::string> word = usable(line))
            ranked.emplace_back(*word, rank);
    }
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
    // The words outside the ranking, in the order they are taken: base forms first, then short words, in an
    // order that mixes the alphabet, so that the words are short, varied and common-looking.
    std::vector<std::pair<std::size_t, std::string>> unranked;
    for (const std::string &word : everyWord)
        if (!LooksRare(word) && !pastOfAVerb(word))
            unranked.emplace_back((grownFrom(word) ? 0 : 6) + word.size() + Hash(word) % 4, word);
    std::sort(unranked.begin(), unranked.end());

    std::vector<std::string> sentences;
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
        sentences.push_back(line);
    }

    std::vector<course::Material> materials;
    for (const layouts::Description &keyboard : layouts::Descriptions) {
        const layouts::Layout layout = keyboard.Id;
        course::Material &kept = materials.emplace_back(course::LessonsFor(layout));
        const bool typographic = course::TeachesTypography(layout);
        // The typographers write the ligature; the others "oe", since their keyboards hide it or lack it.
        const auto spelt = [&](const std::string &word) { return typographic ? WithLigature(word) : word; };
        std::vector<std::size_t> count(kept.Lessons().size() + 1);
        std::set<std::string> taken;
        for (const auto &[word, wordRank] : ranked) {
            const std::string written = spelt(word);
            const auto lesson = static_cast<std::size_t>(kept.FirstLessonAllowing(written));
            if (lesson == 0 || count[lesson] >= WordsPerLesson || !taken.insert(written).second)
                continue;
            ++count[lesson];
            kept.AddWord(written, wordRank);
        }
        // Lessons whose keys make few ranked words take more from the whole word list.
        for (const auto &entry : unranked) {
            const std::string written = spelt(entry.second);
            const auto lesson = static_cast<std::size_t>(kept.FirstLessonAllowing(written));
            if (lesson == 0 || count[lesson] >= FewRankedWords || !taken.insert(written).second)
                continue;
            ++count[lesson];
            kept.AddWord(written);
        }
        const auto way = [&](char32_t c) { return TableWay(kbdlayout::TableFor(layout), c); };
        for (const std::string &sentence : sentences) {
            const std::optional<std::string> written = coursedata::WithKeyNames(sentence, way);
            if (!written)
                continue;
            std::vector<std::string> forms{*written};
            if (typographic)
                if (const std::optional<std::string> curly = Typographic(*written))
                    forms.push_back(*curly);
            for (const std::string &form : forms) {
                const std::optional<std::string> text = ToCp1252(form);
                if (text && text->size() <= course::MaxLineLength)
                    kept.AddSentence(*text);
            }
        }
    }
    // Every sentence of ours is for one keyboard at least.
    for (const std::string &sentence : sentences) {
        bool filed = false;
        for (std::size_t k = 0; k < materials.size() && !filed; ++k) {
            const auto way = [&](char32_t c) { return TableWay(kbdlayout::TableFor(layouts::Descriptions[k].Id), c); };
            const std::optional<std::string> written = coursedata::WithKeyNames(sentence, way);
            const std::optional<std::string> text = written ? ToCp1252(*written) : std::nullopt;
            filed = text && text->size() <= course::MaxLineLength && materials[k].FirstLessonAllowing(*text) != 0;
        }
        if (!filed) {
            std::cerr << phrasesPath
                      << ": no lesson of any keyboard can type this phrase, or it is too long: " << sentence << "\n";
            return 1;
        }
    }

    std::vector<const course::Material *> keyboards;
    for (const course::Material &material : materials)
        keyboards.push_back(&material);
    const std::string data = course::Material::Serialize(keyboards);
    std::ofstream out(outputPath, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    if (!out) {
        std::cerr << "coursedata: cannot write " << outputPath << "\n";
        return 1;
    }
    std::printf("%u ranked words read; left out: %zu banned, %zu in a tense no one writes today\n", rank, bannedWords,
                archaicWords);
    for (std::size_t k = 0; k < materials.size(); ++k) {
        std::printf("%s:", layouts::Descriptions[k].Name);
        for (int n = 1; n <= static_cast<int>(materials[k].Lessons().size()); ++n)
            std::printf(" %d:%zu/%zu", n, materials[k].WordsOf(n).size(), materials[k].SentencesOf(n).size());
        std::printf("\n");
    }
    return 0;
}
