#pragma once

#include <array>
#include <string>
#include <vector>

#include "guide/KeyMap.h"
#include "platform/input/KeyboardLayouts.h"

// What the guide shows for each character on a keyboard given by its typing table, the keys found on the picture
// by their scan codes: the key, the finger pictures over it, the Shift marks, the dead key struck first, the
// outline. The French AZERTY keeps its own tables (KeyCentres, FingerPlacement, ShiftCharacters...); this serves
// the other keyboards the same way. Standard library only.
namespace keymap {

struct GuideFacts {
    // The key to press (for an accent alone, the dead key; the space bar follows); NoKey without one on the picture.
    KeyPoint Centre = NoKey;
    Placements Fingers;
    // Both Shift keys marked; the dead key struck first marked (NoKey: none); the key outlined.
    bool Shift = false;
    KeyPoint DeadKey = NoKey;
    bool Outlined = false;
    // An accent typed alone: the dead key, then the space bar under the left thumb.
    bool ThumbOnSpace = false;
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

} // namespace keymap
