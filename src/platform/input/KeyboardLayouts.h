#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

// The French-speaking keyboards the program knows, and how each one types every Windows-1252 character: the key
// (its PC scan code), the level (Shift, AltGr) and, for an accented letter that no key gives whole, the dead key
// before it. The tables are read at build time from the X keyboard data (`tools/layoutgen`) and carried in the
// program. Standard library only.
namespace layouts {

enum class Layout : std::uint8_t { FrenchAzerty, FrenchAfnor, Bepo, Belgian, SwissFrench, CanadianFrench };
constexpr std::size_t LayoutCount = 6;

struct Description {
    Layout Id;
    const char *Name;      // as the learner reads it, UTF-8
    const char *XkbLayout; // the X keyboard data's names of the layout and its variant
    const char *XkbVariant;
};

// clang-format off
constexpr std::array<Description, LayoutCount> Descriptions{{
    {Layout::FrenchAzerty,   "Français (AZERTY)",                "fr", ""},
    {Layout::FrenchAfnor,    "Français (AZERTY normalisé AFNOR)", "fr", "afnor"},
    {Layout::Bepo,           "Français (BÉPO)",                  "fr", "bepo"},
    {Layout::Belgian,        "Belge (AZERTY)",                   "be", ""},
    {Layout::SwissFrench,    "Suisse romand (QWERTZ)",           "ch", "fr"},
    {Layout::CanadianFrench, "Canadien français",                "ca", "fr"},
}};
// clang-format on

constexpr const Description &DescriptionOf(Layout layout)
{
    return Descriptions[static_cast<std::size_t>(layout)];
}

// Levels of a key: none, Shift, AltGr, or both.
constexpr std::uint8_t ShiftLevel = 1;
constexpr std::uint8_t AltGrLevel = 2;

// One key pressed at a level; Key 0 for none.
struct Stroke {
    std::uint8_t Key = 0;
    std::uint8_t Level = 0;

    bool operator==(const Stroke &other) const { return Key == other.Key && Level == other.Level; }
};

// How a character is typed: its key, after a dead key when Dead.Key is not 0. Base.Key 0: the layout cannot type it.
struct Typing {
    Stroke Dead;
    Stroke Base;

    bool Typeable() const { return Base.Key != 0; }
    bool operator==(const Typing &other) const { return Dead == other.Dead && Base == other.Base; }
};

// One entry per Windows-1252 byte.
using TypingTable = std::array<Typing, 256>;

// The table of a layout, as read from the X keyboard data when the program was built.
const TypingTable &TableOf(Layout layout);

// The character a key gives at a level by itself, without a dead key before it (0 for none: a dead key, or a
// character outside Windows-1252).
unsigned char CharacterAt(const TypingTable &table, Stroke stroke);

// The supported layout the desktop's keyboard names (its first layout and variant, as the X server gives them:
// "fr" and "bepo") stand for: the layout itself, or one of its variants that types the same letters and signs on
// the same keys ("fr" "oss", "ch" "fr_nodeadkeys"). Nothing for a keyboard the program does not know ("us", "de",
// "fr" "dvorak"), which the learner is told about.
std::optional<Layout> FromDesktopNames(std::string_view layout, std::string_view variant);
// Such names as the X keyboard data writes them together: "fr(bepo)", "us".
std::string NamesText(std::string_view layout, std::string_view variant);

// The layout of the X server's keyboard names property (_XKB_RULES_NAMES: rules, model, layouts, variants and
// options, each ended by a NUL): its first layout and that layout's variant; nothing when the bytes are not such.
std::optional<std::pair<std::string, std::string>> FirstDesktopLayout(std::string_view property);

// A learner's choice as their folder keeps it ("Clavier.txt"): the layout's X names and a line feed, "fr(bepo)\n";
// nothing for a text that names no known layout.
std::string ChoiceText(Layout layout);
std::optional<Layout> ParseChoice(std::string_view text);

} // namespace layouts
