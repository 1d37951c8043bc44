#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The learner's figures for each character typed: how often it was asked for, how often another key came
// instead and which, and how long the correct keys took. They add up over every lesson and every run, and are
// kept in "Touches.txt" (UTF-8 text, one line per character, tab-separated):
//   version<TAB>1
//   exercices<TAB><keys judged outside the course and the drills>
//   <character><TAB><attempts><TAB><errors><TAB><total ms><TAB><timed keys>[<TAB><typed instead><TAB><times>]...
// with at most three characters typed instead, the most frequent first. Characters are Windows-1252 bytes; only
// those that are Latin-1 as well (printable ASCII and 0xA0..0xFF) are kept. Standard library only.
//
// Kept true: errors never exceed attempts, nor timed keys the correct ones; a file that does not read back
// exactly as Format writes it is damaged as a whole, so that a half-understood file is never saved over.
class KeyFigures
{
public:
    struct Figures {
        std::uint64_t Attempts = 0;
        std::uint64_t Errors = 0;
        std::uint64_t TotalMs = 0;
        std::uint64_t Timed = 0;
        // What was typed instead, and how often, in no order.
        std::vector<std::pair<unsigned char, std::uint64_t>> Instead;

        // Percent of the attempts that were errors, and the mean time of a timed key; 0 without any.
        double ErrorRate() const;
        double MeanMs() const;
        // The characters most often typed instead, the most frequent first (the lower code on a tie).
        std::string MostTypedInstead(std::size_t count) const;
        void Add(const Figures &other);
    };

    // One character judged: the one expected and the one typed. A correct key may bring its time since the
    // previous correct key; an untimed one brings nothing. A character that cannot be kept is not counted.
    void Record(unsigned char expected, unsigned char typed, bool correct, std::optional<std::uint32_t> ms);
    // One key judged in an exercise outside the course and the drills.
    void CountOutsideCourse() { ++m_outsideCourse; }
    std::uint64_t OutsideCourse() const { return m_outsideCourse; }

    const Figures &Of(unsigned char ch) const { return m_figures[ch]; }
    // The figures of several characters together: a key's, a finger's.
    Figures Sum(std::string_view characters) const;
    bool Empty() const;

    // How weak a character is: its share of errors, drawn towards none while it has been typed only a few times,
    // plus a fifth of how much slower than the learner's mean its keys come. 0 for a character never typed.
    double Weakness(unsigned char ch) const;
    // The mean time of every timed key, 0 without any.
    double MeanMs() const;
    // The characters typed at least once, the weakest first (more errors, then the lower code, on a tie), at
    // most `count` of them.
    std::string Weakest(std::size_t count) const;

    // Leaves out the figures of every character that `kept` refuses; returns those characters in code order.
    std::string Drop(const std::function<bool(unsigned char)> &kept);

    static std::optional<KeyFigures> Parse(std::string_view text);
    std::string Format() const;

private:
    double Weakness(unsigned char ch, double meanMs) const;

    std::array<Figures, 256> m_figures{};
    std::uint64_t m_outsideCourse = 0;
};
