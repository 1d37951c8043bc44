#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "course/Course.h"

// The text of the course's attempts. Every attempt gets lines of its own, made from its seed: letter groups,
// French words and our own sentences, each taken only by lessons whose keys make it. Pure: no Qt, no files.
namespace course {

// The words and sentences the lessons draw from, each filed under the first lesson whose keys make it, so
// that lesson n may use everything filed under 1 .. n. Words carry their rank in how common they are (1 for the
// most common); each lesson's words are kept most common first.
//
// The course data is Windows-1252 text, one entry per line; a line "\tW <n>" or "\tS <n>" starts the words or
// the sentences of lesson n; a word line may end with a tab and its rank.
class Material
{
public:
    // A word outside the ranking comes after every ranked one.
    static constexpr std::uint32_t Unranked = 1000000;

    static Material Parse(std::string_view data);
    // Files an entry under the first lesson whose keys make it; an entry no lesson can type is left out.
    void AddWord(std::string word, std::uint32_t rank = Unranked);
    void AddSentence(std::string sentence);

    // The entries filed under lesson n exactly (they use at least one of its new keys); words most common first.
    const std::vector<std::string> &WordsOf(int lesson) const;
    const std::vector<std::uint32_t> &RanksOf(int lesson) const;
    const std::vector<std::string> &SentencesOf(int lesson) const;
    // How many words lesson n may use, from its own and all earlier lessons.
    std::size_t UsableWords(int lesson) const;
    // The `count` most common words lesson n may use, most common first; their ranks too when asked.
    std::vector<std::string> MostCommon(int lesson, std::size_t count,
                                        std::vector<std::uint32_t> *ranks = nullptr) const;

    // The course data that Parse reads back.
    std::string Serialize() const;

private:
    std::vector<std::vector<std::string>> m_words = std::vector<std::vector<std::string>>(LessonCount() + 1);
    std::vector<std::vector<std::uint32_t>> m_ranks = std::vector<std::vector<std::uint32_t>>(LessonCount() + 1);
    std::vector<std::vector<std::string>> m_sentences = std::vector<std::vector<std::string>>(LessonCount() + 1);
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
