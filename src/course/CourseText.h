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
// that lesson n may use everything filed under 1 .. n.
//
// The course data is Windows-1252 text, one entry per line; a line "\tW <n>" or "\tS <n>" starts the words or
// the sentences of lesson n.
class Material
{
public:
    static Material Parse(std::string_view data);
    // Files an entry under the first lesson whose keys make it; an entry no lesson can type is left out.
    void AddWord(std::string word);
    void AddSentence(std::string sentence);

    // The entries filed under lesson n exactly (they use at least one of its new keys).
    const std::vector<std::string> &WordsOf(int lesson) const;
    const std::vector<std::string> &SentencesOf(int lesson) const;
    // How many words lesson n may use, from its own and all earlier lessons.
    std::size_t UsableWords(int lesson) const;

    // The course data that Parse reads back.
    std::string Serialize() const;

private:
    std::vector<std::vector<std::string>> m_words = std::vector<std::vector<std::string>>(LessonCount() + 1);
    std::vector<std::vector<std::string>> m_sentences = std::vector<std::vector<std::string>>(LessonCount() + 1);
};

// Each attempt's lines: at least AttemptLines lines of MinLineLength to MaxLineLength characters.
constexpr int AttemptLines = 8;
constexpr std::size_t MinLineLength = 40;
constexpr std::size_t MaxLineLength = 70;

// The lines of one attempt at a lesson. The same seed gives the same lines; every character is in the lesson's
// keys, no line starts or ends with a space, and no two spaces follow each other.
std::vector<std::string> MakeAttempt(const Lesson &lesson, const Material &material, std::uint32_t seed);

} // namespace course
