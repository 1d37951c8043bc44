#pragma once

#include <string>

// The next key as a screen reader says it, in French (UTF-8): the character's name, then the finger that presses
// its key, "A majuscule, auriculaire gauche" or "espace, pouce". Empty for a character on no key, for which the
// guide shows the bare keyboard.
namespace keymap {

std::string CharacterName(unsigned char ch);
std::string KeyDescription(unsigned char ch);

} // namespace keymap
