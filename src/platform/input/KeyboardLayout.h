#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/input/KeyboardLayouts.h"

// The Windows French (France) AZERTY layout as data, free of any window system: which key and shift state type
// a character, the scan code of each key, and what a key press gives under the modifiers held, dead keys
// included. Characters are Windows-1252 bytes.
namespace kbdlayout {

constexpr std::uint16_t NoKey = 0xFFFF;

// The key state table: one byte per virtual key, bit 7 down, bit 0 toggled (CapsLock, NumLock).
using KeyStateTable = std::array<std::uint8_t, 256>;
constexpr std::uint8_t KeyDownBit = 0x80;
constexpr std::uint8_t ToggleBit = 0x01;

// Virtual key in the low byte, shift state in the high byte (1 Shift, 2 Ctrl, 6 AltGr); NoKey when no single key
// of the layout gives the character. The first match wins, keys in virtual-key order, unshifted before Shift
// before AltGr; a numeric-pad key is never the answer; control codes 1..26 that no key of their own gives come
// from Ctrl with their letter.
std::uint16_t VkKeyScan(unsigned char character);

// The PC keyboard scan code of a virtual key (0 where the keyboard has none).
std::uint8_t ScanCode(std::uint8_t virtualKey);

// The character that a dead key's accent and the next character make together, when they make one.
std::optional<unsigned char> Compose(unsigned char accent, unsigned char character);

// Whether the layout types the printable character: by a key at some shift state, or by a dead key and the next
// key ("Ê" after "^").
bool Types(unsigned char character);

// The layout as a typing table, made as the other keyboards' tables are read: the lowest level first over every key
// of the main block in scan-code order, a dead key and the space counting at the dead key's level for the accent
// alone (the circumflex is its own key's, not AltGr+ç's); then the letters a dead key composes, through the first
// dead key of their accent. A character has a way here exactly when Types says so.
const layouts::TypingTable &Table();
// The table the program types a keyboard by: the French AZERTY's is this layout's own (Table), the others' are read
// from the X keyboard data (layouts::TableOf).
const layouts::TypingTable &TableFor(layouts::Layout layout);

// What the key presses of one keyboard give, one press after the other: it holds the dead key waiting for the
// next character.
class Translator
{
public:
    struct Output {
        // The characters the press gives: none, one, or the accent and the character that could not take it.
        std::string Characters;
        // The accent of a dead key that now waits for the next character (0 for any other key).
        unsigned char DeadAccent = 0;
    };

    Output KeyDown(std::uint8_t virtualKey, const KeyStateTable &keys);
    void Reset() { m_pendingAccent = 0; }
    unsigned char PendingAccent() const { return m_pendingAccent; }

private:
    unsigned char m_pendingAccent = 0;
};

} // namespace kbdlayout
