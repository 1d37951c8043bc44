#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A text the learner brings (a file's bytes or pasted text) made into lines they can type on their keyboard: its
// bytes decoded, every character the keyboard does not give replaced as French typists do or left out, and the
// result cut into lines. The text is kept as every keyboard may need it, each session's lines are made typeable
// on the keyboard of that session. Standard library only.
namespace owntext {

enum class Encoding { Utf8, Utf8WithMark, Utf16LittleEndian, Utf16BigEndian, Windows1252 };

struct Decoded {
    std::u32string Text;
    Encoding From = Encoding::Utf8;
};

// Detects and decodes: a UTF-8 byte-order mark gives UTF-8 (mark removed, a bad sequence after it U+FFFD); FF FE or
// FE FF gives UTF-16 little or big endian (mark removed, surrogate pairs joined, a lone surrogate or an odd last
// byte U+FFFD); else strictly valid UTF-8 (no overlong form, no surrogate, nothing past U+10FFFF) gives UTF-8; else
// Windows-1252, whose five undefined bytes (81 8D 8F 90 9D) give U+FFFD.
Decoded Decode(std::string_view bytes);

// What making a text typeable did.
struct Conversion {
    // UTF-8: paragraphs separated by one '\n', each a single line with single spaces, none leading or trailing; no
    // empty paragraph.
    std::string Text;
    // Characters replaced by others the keyboard gives, counted per source character.
    std::size_t Changed = 0;
    // Visible characters left out because no key gives them (an emoji with its modifiers counts once).
    std::size_t Dropped = 0;
    // The distinct replacements made, in the order first met: the character replaced and what it became (UTF-8).
    std::vector<std::pair<std::string, std::string>> Replacements;
};

// The text as the learner can type it. `typeable` says whether the keyboard gives a character; a character it gives
// stays as it is (spaces and line ends aside). Every kind of space and the tab become one plain space, runs of
// them fold and none begins or ends a line; each non-empty line is a paragraph of its own and blank lines go.
// Typographic quotes, apostrophes, dashes, the ellipsis, the ligatures and accented Latin letters the keyboard
// lacks become what French typists type instead, when the keyboard gives that; letters written with a combining
// accent are joined to their accent first. Invisible format characters and controls go silently; anything else
// is left out and counted.
Conversion MakeTypeable(const std::u32string &text, const std::function<bool(char32_t)> &typeable);

// The one French sentence that tells the learner, when a text is added, what was replaced and how many characters
// were left out (UTF-8): `kept`, what was done to the text as it is kept, whatever the keyboard; `onKeyboard`, what
// the learner's keyboard will replace or leave out of the kept text at each session.
std::string Report(const Conversion &kept, const Conversion &onKeyboard);

// The lines of a session: from line `first` of `lines` (the kept text as CutLines cuts it), up to `count` lines the
// keyboard can type, each made typeable by itself (MakeTypeable) so that a line of the text stays that line whatever
// the keyboard. A line the keyboard gives nothing of is passed over: the passage ends just before the next line to
// type after its last, or at the text's end. Lines is empty when nothing from `first` on can be typed.
struct Passage {
    // The text's lines it spans, from First up to End (excluded), and what is typed of them.
    std::size_t First = 0;
    std::size_t End = 0;
    std::vector<std::string> Lines;
};
Passage TypeablePassage(const std::vector<std::string> &lines, std::size_t first, std::size_t count,
                        const std::function<bool(char32_t)> &typeable);

// Cuts the text (as MakeTypeable writes it) into lines of `shortest` to `longest` characters (code points), at
// spaces, in order. A word longer than `longest` stands alone on its line; a paragraph's end always ends a line (its
// last line may be shorter than `shortest`), and a line before a word too long to join it is shorter only when no
// other cut avoids it. No line begins or ends with a space; the space at a cut is dropped. Throws
// std::invalid_argument when `longest` is 0 or less than `shortest`.
std::vector<std::string> CutLines(const std::string &text, std::size_t shortest = 40, std::size_t longest = 70);

// The title the learner's list shows: the text's first paragraph when it has at most TitleLength characters; else
// the file's name without its folder and its last extension when one is given (on one line, cut to TitleLength);
// else the first paragraph's first words within TitleLength characters, "…" included. Never empty ("Sans titre"
// at worst).
constexpr std::size_t TitleLength = 60;
std::string TitleOf(const std::string &text, const std::string &fileName);

} // namespace owntext
