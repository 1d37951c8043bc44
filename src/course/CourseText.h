#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "course/Course.h"

// The text of the course's attempts. Every attempt gets lines of its own, made from its seed: letter groups,
// French words and our own sentences, each taken only by lessons whose keys make it. Pure: no Qt, no files.
namespace course {

// The words and sentences the lessons of one keyboard draw from, each filed under the first of its lessons whose keys
// make it, so that lesson n may use everything filed under 1 .. n. Words carry their rank in how common they are (1
// for the most common); each lesson's words are kept most common first.
//
// The course data holds the entries of every keyboard once, Windows-1252 text, one entry per line: a line "\tW"
// starts the words, "\tS" the sentences; a word line is the word, a tab, its rank (empty outside the ranking), a
// tab and a letter per keyboard in the order of layouts::Layout, the lesson the word is filed under on that
// keyboard ('a' for lesson 1, '.' for a keyboard that does not take it); a sentence line the same without the rank.
class Material
{
public:
    // A word outside the ranking comes after every ranked one.
    static constexpr std::uint32_t Unranked = 1000000;

    // An empty material for the lessons given (the French AZERTY's by default).
    Material();
    explicit Material(std::vector<Lesson> lessons);

    // The entries of one keyboard read from the course data, for its lessons (LessonsFor). An entry that the lesson
    // the data gives does not type, or that holds none of its new keys, is left out.
    static Material Parse(std::string_view data, layouts::Layout layout = layouts::Layout::FrenchAzerty);
    // Files an entry under the first lesson whose keys make it; an entry no lesson can type is left out.
    void AddWord(std::string word, std::uint32_t rank = Unranked);
    void AddSentence(std::string sentence);

    const std::vector<Lesson> &Lessons() const { return m_lessons; }
    // The first lesson whose keys make the whole text, 0 when none does.
    int FirstLessonAllowing(std::string_view text) const;
    // The entries filed under lesson n exactly (they use at least one of its new keys); words most common first.
    const std::vector<std::string> &WordsOf(int lesson) const;
    const std::vector<std::uint32_t> &RanksOf(int lesson) const;
    const std::vector<std::string> &SentencesOf(int lesson) const;
    // How many words lesson n may use, from its own and all earlier lessons.
    std::size_t UsableWords(int lesson) const;
    // The `count` most common words lesson n may use, most common first; their ranks too when asked.
    std::vector<std::string> MostCommon(int lesson, std::size_t count,
                                        std::vector<std::uint32_t> *ranks = nullptr) const;

    // The course data that Parse reads back, from the material of every keyboard (in the order of layouts::Layout).
    static std::string Serialize(const std::vector<const Material *> &keyboards);

private:
    void File(int lesson, std::string entry, std::uint32_t rank, bool sentence);

    std::vector<Lesson> m_lessons;
    std::vector<std::vector<std::string>> m_words;
    std::vector<std::vector<std::uint32_t>> m_ranks;
    std::vector<std::vector<std::string>> m_sentences;
};

// Each attempt's lines: at least AttemptLines lines of MinLineLength to MaxLineLength characters.
constexpr int AttemptLines = 8;
constexpr std::size_t MinLineLength = 40;
constexpr std::size_t MaxLineLength = 70;

// How many of the most common usable words an attempt draws its other words from.
constexpr std::size_t CommonWords = 400;
// The share of the lesson's new keys among the characters (spaces aside) that an attempt keeps above.
constexpr double NewKeyShare = 0.12;

// The lines of one attempt at a lesson. The same seed gives the same lines; every character is in the lesson's
// keys, no line starts or ends with a space, and no two spaces follow each other. Every line holds one of the
// lesson's new keys at least, and they make NewKeyShare of the attempt's characters at least. Letter groups come
// only in the first lessons, or for a new key no word holds; from the lessons of sentences on, a line is either
// whole sentences or words, so no sentence ever follows a word. `weakKeys` (the learner's weakest keys among the
// lesson's, may be empty) are favoured: every line holds one of them at least, when the lesson has words for it.
std::vector<std::string> MakeAttempt(const Lesson &lesson, const Material &material, std::uint32_t seed,
                                     std::string_view weakKeys = {});

} // namespace course
