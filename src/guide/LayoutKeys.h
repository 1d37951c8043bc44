#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "guide/KeyMap.h"
#include "platform/input/KeyboardLayouts.h"

// What the guide shows for each character on a keyboard given by its typing table, the keys found on the picture
// by their scan codes: the key, the finger pictures over it, the Shift and AltGr marks, the dead key struck first,
// the outline; and the way a screen reader says it. The French AZERTY keeps its own tables (KeyCentres,
// FingerPlacement, ShiftCharacters...) for the characters its key map has; this serves its other characters and
// the other keyboards the same way. Standard library only.
namespace keymap {

struct GuideFacts {
    // The key to press (for an accent alone, the dead key; the space bar follows); NoKey without one on the picture.
    KeyPoint Centre = NoKey;
    Placements Fingers;
    // Both Shift keys marked, the AltGr key marked: the character or its dead key is typed with them.
    bool Shift = false;
    bool AltGr = false;
    // The dead key struck first marked (NoKey: none); the key outlined.
    KeyPoint DeadKey = NoKey;
    bool Outlined = false;
    // An accent typed alone: the dead key, then the space bar under the left thumb.
    bool ThumbOnSpace = false;
    // The way, as a screen reader says it: the levels (layouts::ShiftLevel, AltGrLevel) of the character's key and
    // of the dead key struck before it, and the character that key gives by itself after the dead key (the letter,
    // or the space after an accent alone; 0 without a dead key).
    std::uint8_t Level = 0;
    std::uint8_t DeadLevel = 0;
    unsigned char After = 0;
};

class LayoutKeys
{
public:
    explicit LayoutKeys(const layouts::TypingTable &table);

    const GuideFacts &Of(unsigned char ch) const { return m_facts[ch]; }
    // The characters each key of the picture types by itself (no dead key first), one string per key that types
    // any, in the picture's order; and the characters a finger types (the space: both thumbs').
    std::vector<std::string> KeyCharacters() const;
    std::string FingerCharacters(int finger) const;

private:
    std::array<GuideFacts, 256> m_facts{};
};

// The French AZERTY as the program's own Windows layout types it (kbdlayout::Table): every character it gives, the
// ways the AltGr signs and the dead keys' letters are typed included.
const LayoutKeys &FrenchAzertyKeys();

// What the guide shows for a character on the learner's keyboard: `keys`' facts; without (the French AZERTY), the
// key map's own for the characters it has, the Windows layout's for the others.
GuideFacts GuideFactsOf(unsigned char ch, const LayoutKeys *keys);

} // namespace keymap
