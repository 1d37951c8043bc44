#include "audio/KeyNames.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

#include <QString>

#include "audio/KeyNameRecordings.h"
#include "audio/TDXWaveList.h"

namespace keynames {

namespace {

struct Row {
    unsigned char Code;
    Words Said;
};

constexpr Row Signs[] = {
    {' ', {1, {"Touche_Espace.wav"}}},
    {'!', {1, {"Touche_PointExc.wav"}}},
    {'"', {1, {"Touche_Guillemets.wav"}}},
    {'\'', {1, {"Touche_Apostrophe.wav"}}},
    {',', {1, {"Touche_Virgule.wav"}}},
    {'.', {1, {"Touche_Point.wav"}}},
    {':', {1, {"Touche_deuxPoints.wav"}}},
    {';', {1, {"Touche_PointVirg.wav"}}},
    {'?', {1, {"Touche_PointInter.wav"}}},
    {'^', {1, {"Touche_Circ.wav"}}},
    {0xA8, {1, {"Touche_Trema.wav"}}},                 // ¨
    {0xE0, {1, {"Touche_ag.wav"}}},                    // à
    {0xE2, {2, {"Touche_a.wav", "Touche_Circ.wav"}}},  // â
    {0xE4, {2, {"Touche_a.wav", "Touche_Trema.wav"}}}, // ä
    {0xE7, {1, {"Touche_cc.wav"}}},                    // ç
    {0xE8, {1, {"Touche_eg.wav"}}},                    // è
    {0xE9, {1, {"Touche_ea.wav"}}},                    // é
    {0xEA, {2, {"Touche_e.wav", "Touche_Circ.wav"}}},  // ê
    {0xEB, {2, {"Touche_e.wav", "Touche_Trema.wav"}}}, // ë
    {0xEE, {2, {"Touche_i.wav", "Touche_Circ.wav"}}},  // î
    {0xEF, {2, {"Touche_i.wav", "Touche_Trema.wav"}}}, // ï
    {0xF4, {2, {"Touche_o.wav", "Touche_Circ.wav"}}},  // ô
    {0xF6, {2, {"Touche_o.wav", "Touche_Trema.wav"}}}, // ö
    {0xF9, {1, {"Touche_ug.wav"}}},                    // ù
    {0xFB, {2, {"Touche_u.wav", "Touche_Circ.wav"}}},  // û
    {0xFC, {2, {"Touche_u.wav", "Touche_Trema.wav"}}}, // ü
};

constexpr char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether the key-name list holds `name`, as the word list finds it: ignoring case.
constexpr bool Recorded(const char *name)
{
    for (const Recording &recording : Recordings) {
        std::size_t i = 0;
        while (recording.Item[i] != '\0' && Lower(recording.Item[i]) == Lower(name[i]))
            ++i;
        if (recording.Item[i] == '\0' && name[i] == '\0')
            return true;
    }
    return false;
}

// Every word said is one the list records, so a word missing from the key-name list fails the build rather than
// a pronunciation.
constexpr bool EveryWordRecorded()
{
    for (const Row &row : Signs)
        for (int i = 0; i < row.Said.Count; ++i)
            if (!Recorded(row.Said.Names[static_cast<std::size_t>(i)]))
                return false;
    char letter[] = "Touche_?.wav";
    for (char c = 'a'; c <= 'z'; ++c) {
        letter[7] = c;
        if (!Recorded(letter))
            return false;
    }
    return Recorded("Touche_majuscule.wav");
}
static_assert(EveryWordRecorded(), "a key name is said that the key-name list does not record");

// "Touche_a.wav" .. "Touche_z.wav" and "Touche_A.wav" .. "Touche_Z.wav", built once.
struct LetterNames {
    char Names[52][13];
    LetterNames()
    {
        for (int i = 0; i < 26; ++i) {
            for (int upper = 0; upper < 2; ++upper) {
                char *name = Names[upper * 26 + i];
                const char letter = static_cast<char>((upper ? 'A' : 'a') + i);
                const char text[] = {'T', 'o', 'u', 'c', 'h', 'e', '_', letter, '.', 'w', 'a', 'v', '\0'};
                std::copy(std::begin(text), std::end(text), name);
            }
        }
    }
};

const LetterNames &Letters()
{
    static const LetterNames letters;
    return letters;
}

} // namespace

Words WordsFor(unsigned char ch)
{
    if (ch >= 'a' && ch <= 'z')
        return {1, {Letters().Names[ch - 'a']}};
    if (ch >= 'A' && ch <= 'Z')
        return {2, {Letters().Names[26 + ch - 'A'], "Touche_majuscule.wav"}};
    for (const Row &row : Signs)
        if (row.Code == ch)
            return row.Said;
    return {};
}

void Pronounce(TDXWaveList &words, unsigned char ch)
{
    const Words said = WordsFor(ch);
    for (int i = 0; i < said.Count; ++i) {
        const bool last = i == said.Count - 1;
        words.Find(QLatin1String(said.Names[static_cast<std::size_t>(i)])).Play(!last);
    }
}

} // namespace keynames
