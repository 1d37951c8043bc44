#pragma once

#include <istream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// The filters on the course's words and on our sentences: the words a learner must never read, and the tenses no
// one writes any more. They judge one lowercase UTF-8 word at a time. tools/coursewords/make-data.py holds the
// same rules, so that the committed word list is already clean: change both together.
namespace coursedata {

// A list of words, one a line, UTF-8; empty lines and lines that start with "# " are left out.
std::set<std::string> ReadWords(std::istream &in);

// The text in lowercase, for the letters a French text uses (ASCII, Latin-1, Œ and Ÿ); other bytes stay.
std::string Lowercase(std::string_view utf8);

// The words of a sentence, in lowercase: runs of letters, with the hyphens and apostrophes between two letters
// ("est-il", "l'été"; a typographic apostrophe becomes a plain one).
std::vector<std::string> WordsOf(std::string_view sentence);

// A banned word, or a form of one: its plural, feminine, a tense of a banned verb in -er, a compound holding one
// between hyphens or apostrophes, or any word containing one of a few roots that no innocent word holds.
bool IsBanned(const std::string &word, const std::set<std::string> &banned);

// A past historic beyond the third person singular or an imperfect subjunctive, told by its ending and by the
// verb's other forms in known (Debian's French word list). "fût", "eût" and "dût" are still written and stay.
bool IsArchaic(const std::string &word, const std::set<std::string> &known);

} // namespace coursedata
