// Prints the course's attempts as a learner would type them, for a maintainer or a teacher to proof-read, and the
// figures of every lesson's text.
//
//   coursesample [--clavier NOM] <leçon> [<tentatives> [<graine>]]
//       the attempts at a lesson, in UTF-8, an empty line between two
//   coursesample [--clavier NOM] --stats
//       for every lesson, over 50 attempts: the share of its new keys, the share of dictionary words, the median
//       rank of the words and how many distinct words
// NOM is the keyboard: fr (the default), fr_afnor, fr_bepo, be, ch_fr or ca_fr.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "course/Course.h"
#include "course/CourseText.h"
#include "platform/input/KeyboardLayouts.h"

namespace {

constexpr int StatsAttempts = 50;

std::string Utf8(const std::string &cp1252)
{
    std::string out;
    for (const char c : cp1252) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u == 0x80) {
            out += "\xE2\x82\xAC";
        } else if (u == 0x92) {
            out += "\xE2\x80\x99";
        } else if (u == 0x9C) {
            out += "\xC5\x93";
        } else if (u == 0x8C) {
            out += "\xC5\x92";
        } else if (u < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}

// Windows-1252 from the word list's UTF-8, for the Latin-1 letters only; empty when another character is there.
std::string Cp1252(const std::string &utf8)
{
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size()) {
            out += static_cast<char>(((c & 0x1F) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
        } else {
            return std::string();
        }
    }
    return out;
}

unsigned char Lower(unsigned char c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<unsigned char>(c + 32);
    return c;
}

course::Material LoadMaterial(layouts::Layout layout)
{
    std::ifstream file(TUTOR_COURSE_DATA, std::ios::binary);
    const std::string data{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (data.empty()) {
        std::cerr << "coursesample: cannot read the course data " << TUTOR_COURSE_DATA << "\n";
        std::exit(1);
    }
    return course::Material::Parse(data, layout);
}

// The keyboard's name on the command line: its X keyboard names joined, "fr_bepo".
std::string NameOf(const layouts::Description &keyboard)
{
    std::string name = keyboard.XkbLayout;
    if (*keyboard.XkbVariant)
        name += std::string("_") + keyboard.XkbVariant;
    return name;
}

std::string KeysShown(const std::string &keys)
{
    std::string shown;
    for (const char c : keys) {
        if (!shown.empty())
            shown += ' ';
        shown += c == ' ' ? std::string("espace") : Utf8(std::string(1, c));
    }
    return shown;
}

// The words of a line, lowercase: runs of letters, with the hyphens and apostrophes between two letters.
std::vector<std::string> WordsOf(const std::string &line)
{
    const auto letter = [](unsigned char u) { return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u >= 0xC0; };
    std::vector<std::string> words;
    std::string word;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const unsigned char u = static_cast<unsigned char>(line[i]);
        const bool joins = (u == '-' || u == '\'') && !word.empty() && i + 1 < line.size() &&
                           letter(static_cast<unsigned char>(line[i + 1]));
        if (letter(u) || joins) {
            word += static_cast<char>(Lower(u));
        } else if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    }
    if (!word.empty())
        words.push_back(word);
    return words;
}

// Whether the word list spells a word: whole, or each part of a word joined by hyphens or an apostrophe.
bool Spelt(const std::string &word, const std::set<std::string> &dictionary)
{
    if (dictionary.count(word) != 0)
        return true;
    std::size_t start = 0;
    while (start <= word.size()) {
        const std::size_t end = std::min(word.find_first_of("-'", start), word.size());
        std::string part = word.substr(start, end - start);
        // An elided article or pronoun stands for its whole word.
        if (end < word.size() && word[end] == '\'')
            part += 'e';
        if (!part.empty() && dictionary.count(part) == 0 && part != "qu" + std::string("e"))
            return false;
        start = end + 1;
    }
    return true;
}

int Stats(const course::Material &material)
{
    std::set<std::string> dictionary;
    std::ifstream list(TUTOR_WORD_LIST);
    std::string line;
    while (std::getline(list, line)) {
        std::string word = Cp1252(line);
        for (char &c : word)
            c = static_cast<char>(Lower(static_cast<unsigned char>(c)));
        if (!word.empty())
            dictionary.insert(word);
    }
    // Names and the symbols set around signs are not words of the list, but the course writes them on purpose:
    // the names of our sentences, the domain of an address, the commands and units.
    for (const char *symbol : {"fr", "cd", "ls", "pwd", "km", "kg", "h", "c", "d", "l", "altgr", "mp", "sort", "more",
                               "man", "cp", "mv", "cat"})
        dictionary.insert(symbol);
    for (int n = 1; n <= static_cast<int>(material.Lessons().size()); ++n)
        for (const std::string &sentence : material.SentencesOf(n))
            for (std::size_t i = 1; i < sentence.size(); ++i)
                if (sentence[i] >= 'A' && sentence[i] <= 'Z' && (sentence[i - 1] == ' ' || sentence[i - 1] == '(')) {
                    std::string name;
                    for (std::size_t k = i;
                         k < sentence.size() && static_cast<unsigned char>(sentence[k]) >= 'A' && sentence[k] != '\\';
                         ++k)
                        name += static_cast<char>(Lower(static_cast<unsigned char>(sentence[k])));
                    dictionary.insert(name);
                }
    std::map<std::string, std::uint32_t> ranks;
    for (int n = 1; n <= static_cast<int>(material.Lessons().size()); ++n)
        for (std::size_t i = 0; i < material.WordsOf(n).size(); ++i)
            ranks.emplace(material.WordsOf(n)[i], material.RanksOf(n)[i]);

    std::printf("leçon  nouvelles touches  mots du dictionnaire  rang médian  mots distincts\n");
    for (const course::Lesson &lesson : material.Lessons()) {
        std::size_t characters = 0, newCharacters = 0, words = 0, known = 0;
        std::vector<std::uint32_t> used;
        std::set<std::string> distinct;
        for (int seed = 1; seed <= StatsAttempts; ++seed) {
            for (const std::string &text : course::MakeAttempt(lesson, material, static_cast<std::uint32_t>(seed))) {
                for (const char c : text) {
                    if (c == ' ')
                        continue;
                    ++characters;
                    if (c != ' ' && lesson.NewKeys.find(c) != std::string::npos)
                        ++newCharacters;
                }
                for (const std::string &word : WordsOf(text)) {
                    ++words;
                    known += Spelt(word, dictionary);
                    distinct.insert(word);
                    const auto rank = ranks.find(word);
                    if (rank != ranks.end() && rank->second != course::Material::Unranked)
                        used.push_back(rank->second);
                }
            }
        }
        std::uint32_t median = 0;
        if (!used.empty()) {
            std::nth_element(used.begin(), used.begin() + static_cast<std::ptrdiff_t>(used.size() / 2), used.end());
            median = used[used.size() / 2];
        }
        std::printf("%5d  %16.1f %%  %19.1f %%  %11u  %14zu\n", lesson.Number,
                    characters ? 100.0 * double(newCharacters) / double(characters) : 0.0,
                    words ? 100.0 * double(known) / double(words) : 0.0, median, distinct.size());
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    layouts::Layout layout = layouts::Layout::FrenchAzerty;
    if (!args.empty() && args[0] == "--clavier") {
        const auto known = std::find_if(
            layouts::Descriptions.begin(), layouts::Descriptions.end(),
            [&](const layouts::Description &keyboard) { return args.size() > 1 && NameOf(keyboard) == args[1]; });
        if (known == layouts::Descriptions.end()) {
            std::cerr << "coursesample : clavier inconnu" << (args.size() > 1 ? " \"" + args[1] + "\"" : "")
                      << " ; les claviers sont :";
            for (const layouts::Description &keyboard : layouts::Descriptions)
                std::cerr << " " << NameOf(keyboard);
            std::cerr << "\n";
            return 2;
        }
        layout = known->Id;
        args.erase(args.begin(), args.begin() + 2);
    }
    const std::string first = args.empty() ? "" : args[0];
    if (first == "--stats" && args.size() == 1)
        return Stats(LoadMaterial(layout));
    const int lesson = std::atoi(first.c_str());
    const int attempts = args.size() > 1 ? std::atoi(args[1].c_str()) : 1;
    const long seed = args.size() > 2 ? std::atol(args[2].c_str()) : 1;
    if (args.empty() || args.size() > 3 || lesson < 1 || lesson > course::LessonCount() || attempts < 1 || seed < 0) {
        std::cerr << "usage: coursesample [--clavier NOM] <leçon 1.." << course::LessonCount()
                  << "> [<tentatives> [<graine>]]\n"
                  << "       coursesample [--clavier NOM] --stats\n";
        return 2;
    }
    const course::Material material = LoadMaterial(layout);
    const course::Lesson &chosen = material.Lessons().at(static_cast<std::size_t>(lesson - 1));
    std::cout << "# Leçon " << lesson << " : " << chosen.Title << " | nouvelles touches : " << KeysShown(chosen.NewKeys)
              << "\n";
    for (int a = 0; a < attempts; ++a) {
        if (a > 0)
            std::cout << "\n";
        for (const std::string &text : course::MakeAttempt(chosen, material, static_cast<std::uint32_t>(seed + a)))
            std::cout << Utf8(text) << "\n";
    }
    return 0;
}
