#pragma once

#include <array>

class TDXWaveList;

// The French name of the key that types a character, as recorded words: the letter or the sign first, then the
// accent or the word for a capital. Characters are Windows-1252 bytes.
namespace keynames {

struct Words {
    int Count = 0;
    std::array<const char *, 2> Names{};
};

// The words said for ch, in order; none for a character that has no spoken name (digits, most signs,
// capital accented letters, NUL). Capitals are built with the capital letter ("Touche_A.wav"): the lookup in
// the word list ignores case.
Words WordsFor(unsigned char ch);

// Says ch's name from the word list: in a name of two words the first is played to its end before the second
// starts; the call returns once the last word has started. A word missing from the list fails with the list's
// "Wave '<name>' not found".
void Pronounce(TDXWaveList &words, unsigned char ch);

} // namespace keynames
