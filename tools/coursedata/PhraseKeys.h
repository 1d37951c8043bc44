#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Our sentences that tell where a sign is typed ("Le tilde ~ s'obtient avec AltGr et la touche é.") hold the
// keyboard's part as a mark, written for each keyboard from its own keys: the sentence never tells one keyboard's
// keys on another. UTF-8 throughout.
namespace coursedata {

// How a keyboard types one character: the key as a sentence names it, the keys held with it, and whether it is a
// dead key that the space bar follows.
struct KeyWay {
    std::string Key; // "la touche é", "la touche du 3", "la touche E", "la touche $"
    bool Shift = false;
    bool AltGr = false;
    bool Dead = false;
    // The key's own character, struck alone (false: the key names another character than the one typed).
    bool Itself = false;
};

// The name of a key from what it types alone and with Shift (0: nothing, or a dead key; a dead key's accent may be
// given instead): a letter's key by its capital ("la touche E"), an accented letter's by itself ("la touche é"), a
// key of the digits by its digit ("la touche du 3"), any other by its character ("la touche $", "la touche ^").
std::string KeyCalled(char32_t alone, char32_t shifted);

// The sentence with its marks written for a keyboard, where `way` says how the keyboard types a character (nothing
// for one it does not type):
//   "⟦X⟧"         the way to type X: "AltGr et la touche é", "Maj et la touche du 3", "la touche du 6";
//   "⟦touche X⟧"  the key of X alone: "la touche du 3";
//   "⟦morte X⟧ "  at the start: the sentence is only for keyboards where X is a dead key, typed then the space bar.
// (The marks' brackets are U+27E6 and U+27E7, which no sentence types.)
// Nothing when the sentence is not for this keyboard: a mark names a character it does not type, or one it types
// with its own key alone (the sentence would teach nothing). A sentence without marks comes back as it is.
std::optional<std::string> WithKeyNames(std::string_view sentence,
                                        const std::function<std::optional<KeyWay>(char32_t)> &way);

} // namespace coursedata
