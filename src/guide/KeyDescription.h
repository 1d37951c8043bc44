#pragma once

#include <string>
#include <string_view>

// Characters and fingers as the learner reads or hears them, in French (UTF-8). Characters are Windows-1252 bytes.
namespace keymap {

class LayoutKeys;

// What a screen reader says for a character: "A majuscule", "point d'interrogation", "E accent aigu majuscule",
// "arobase"; empty for one no keyboard types.
std::string CharacterName(unsigned char ch);
// The next key on the French AZERTY as a screen reader says it: the character's name, the keys beyond a single one
// in the order they are struck, then the finger that presses its key: "A majuscule, auriculaire gauche", "arobase,
// AltGr, annulaire droit", "e tréma, tréma (Maj) puis e, majeur gauche", "espace, pouce". A capital's Shift goes
// without saying. Empty for a character the keyboard does not type, for which the guide shows the bare keyboard.
std::string KeyDescription(unsigned char ch);
// The same on another keyboard, whose keys and fingers are given.
std::string KeyDescription(unsigned char ch, const LayoutKeys &keys);
// A character as the lists of keys write it: the character itself (Windows-1252, as typed), the space by its
// name, "espace".
std::string WrittenName(unsigned char ch);
// Characters so written, the separator between each two.
std::string WrittenNames(std::string_view characters, std::string_view separator);
// A finger (a picture item) by its name, "index gauche", "pouce droit"; empty for a picture that is no finger.
std::string FingerName(int finger);

} // namespace keymap
