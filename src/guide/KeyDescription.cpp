#include "guide/KeyDescription.h"
#include "guide/LayoutKeys.h"

#include "guide/KeyMap.h"

namespace keymap {

namespace {

struct Named {
    unsigned char Character;
    const char *Name;
};

// Every character of the key map that is not a plain letter or digit (Windows-1252 codes, UTF-8 names).
constexpr Named Names[] = {
    {' ', "espace"},
    {'!', "point d'exclamation"},
    {'"', "guillemet"},
    {'$', "dollar"},
    {'%', "pour cent"},
    {'&', "esperluette"},
    {'\'', "apostrophe"},
    {'(', "parenthèse ouvrante"},
    {')', "parenthèse fermante"},
    {'*', "astérisque"},
    {'+', "plus"},
    {',', "virgule"},
    {'-', "tiret"},
    {'.', "point"},
    {'/', "barre oblique"},
    {':', "deux-points"},
    {';', "point-virgule"},
    {'=', "égal"},
    {'?', "point d'interrogation"},
    {'^', "accent circonflexe"},
    {'_', "tiret bas"},
    {0xA3, "livre"},
    {0xA7, "paragraphe"},
    {0xA8, "tréma"},
    {0xB0, "degré"},
    {0xB2, "exposant deux"},
    {0xB5, "micro"},
    {0xE0, "a accent grave"},
    {0xE2, "a accent circonflexe"},
    {0xE4, "a tréma"},
    {0xE7, "c cédille"},
    {0xE8, "e accent grave"},
    {0xE9, "e accent aigu"},
    {0xEA, "e accent circonflexe"},
    {0xEB, "e tréma"},
    {0xEE, "i accent circonflexe"},
    {0xEF, "i tréma"},
    {0xF4, "o accent circonflexe"},
    {0xF6, "o tréma"},
    {0xF9, "u accent grave"},
    {0xFB, "u accent circonflexe"},
    {0xFC, "u tréma"},
};

} // namespace

std::string CharacterName(unsigned char ch)
{
    if ((ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9'))
        return std::string(1, static_cast<char>(ch));
    if (ch >= 'A' && ch <= 'Z')
        return std::string(1, static_cast<char>(ch)) + " majuscule";
    for (const Named &named : Names)
        if (named.Character == ch)
            return named.Name;
    return {};
}

std::string KeyDescription(unsigned char ch)
{
    if (!HasKey(ch))
        return {};
    std::string description = CharacterName(ch);
    // Either thumb presses the space bar, the only key a thumb presses: the hand goes without saying.
    const std::string finger = ch == ' ' ? "pouce" : FingerName(KeyFinger(ch));
    if (!finger.empty())
        description += ", " + finger;
    return description;
}

std::string KeyDescription(unsigned char ch, const LayoutKeys &keys)
{
    const GuideFacts &facts = keys.Of(ch);
    std::string description = CharacterName(ch);
    if (facts.Centre == NoKey || description.empty())
        return {};
    const std::string finger = ch == ' '                 ? "pouce"
                               : facts.Fingers.Count > 0 ? FingerName(facts.Fingers.Items[0].Item)
                                                         : std::string();
    if (!finger.empty())
        description += ", " + finger;
    return description;
}

std::string WrittenName(unsigned char ch)
{
    return ch == ' ' ? CharacterName(ch) : std::string(1, static_cast<char>(ch));
}

std::string WrittenNames(std::string_view characters, std::string_view separator)
{
    std::string names;
    for (std::size_t i = 0; i < characters.size(); ++i) {
        if (i > 0)
            names += separator;
        names += WrittenName(static_cast<unsigned char>(characters[i]));
    }
    return names;
}

std::string FingerName(int finger)
{
    switch (finger) {
    case PouceG: return "pouce gauche";
    case PouceD: return "pouce droit";
    case IndexG: return "index gauche";
    case IndexD: return "index droit";
    case MajeurG: return "majeur gauche";
    case MajeurD: return "majeur droit";
    case AnnuaireG: return "annulaire gauche";
    case AnnuaireD: return "annulaire droit";
    case AuriculaireG: return "auriculaire gauche";
    case AuriculaireD: return "auriculaire droit";
    default: return {};
    }
}

} // namespace keymap
