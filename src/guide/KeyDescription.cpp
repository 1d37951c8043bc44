#include "guide/KeyDescription.h"
#include "guide/LayoutKeys.h"

#include "guide/KeyMap.h"

namespace keymap {

namespace {

struct Named {
    unsigned char Character;
    const char *Name;
};

// Every character a keyboard types that is not a plain letter or digit: the key map's, then the others' (Windows-1252
// codes, UTF-8 names). A capital is named after its small letter (CapitalOf).
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
    // The signs the other keyboards, and AltGr on the French AZERTY, type.
    {'#', "dièse"},
    {'<', "inférieur"},
    {'>', "supérieur"},
    {'@', "arobase"},
    {'[', "crochet ouvrant"},
    {'\\', "antislash"},
    {']', "crochet fermant"},
    {'`', "accent grave"},
    {'{', "accolade ouvrante"},
    {'|', "barre verticale"},
    {'}', "accolade fermante"},
    {'~', "tilde"},
    {0x80, "euro"},
    {0x82, "guillemet simple bas"},
    {0x83, "florin"},
    {0x84, "guillemet double bas"},
    {0x85, "points de suspension"},
    {0x86, "croix"},
    {0x87, "double croix"},
    {0x89, "pour mille"},
    {0x8B, "guillemet simple ouvrant"},
    {0x91, "guillemet anglais simple ouvrant"},
    {0x92, "apostrophe typographique"},
    {0x93, "guillemet anglais ouvrant"},
    {0x94, "guillemet anglais fermant"},
    {0x95, "puce"},
    {0x96, "tiret demi-cadratin"},
    {0x97, "tiret cadratin"},
    {0x99, "marque de commerce"},
    {0x9A, "s caron"},
    {0x9B, "guillemet simple fermant"},
    {0x9C, "e dans l'o"},
    {0x9E, "z caron"},
    {0xA0, "espace insécable"},
    {0xA1, "point d'exclamation inversé"},
    {0xA2, "cent"},
    {0xA4, "symbole monétaire"},
    {0xA5, "yen"},
    {0xA6, "barre brisée"},
    {0xA9, "copyright"},
    {0xAA, "a en exposant"},
    {0xAB, "guillemet ouvrant"},
    {0xAC, "négation"},
    {0xAD, "trait d'union conditionnel"},
    {0xAE, "marque déposée"},
    {0xAF, "macron"},
    {0xB1, "plus ou moins"},
    {0xB3, "exposant trois"},
    {0xB4, "accent aigu"},
    {0xB6, "pied-de-mouche"},
    {0xB7, "point médian"},
    {0xB8, "cédille"},
    {0xB9, "exposant un"},
    {0xBA, "o en exposant"},
    {0xBB, "guillemet fermant"},
    {0xBC, "un quart"},
    {0xBD, "un demi"},
    {0xBE, "trois quarts"},
    {0xBF, "point d'interrogation inversé"},
    {0xD7, "signe de multiplication"},
    {0xDF, "eszett"},
    {0xE1, "a accent aigu"},
    {0xE3, "a tilde"},
    {0xE5, "a rond en chef"},
    {0xE6, "e dans l'a"},
    {0xEC, "i accent grave"},
    {0xED, "i accent aigu"},
    {0xF0, "eth"},
    {0xF1, "n tilde"},
    {0xF2, "o accent grave"},
    {0xF3, "o accent aigu"},
    {0xF5, "o tilde"},
    {0xF7, "signe de division"},
    {0xF8, "o barré"},
    {0xFA, "u accent aigu"},
    {0xFD, "y accent aigu"},
    {0xFE, "thorn"},
    {0xFF, "y tréma"},
};

// The small letter of a capital other than A to Z (0: none): Š Œ Ž Ÿ, and À to Þ but the multiplication sign.
unsigned char SmallOfCapital(unsigned char ch)
{
    switch (ch) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return ch >= 0xC0 && ch <= 0xDE && ch != 0xD7 ? static_cast<unsigned char>(ch + 0x20) : 0;
    }
}

bool IsCapital(unsigned char ch)
{
    return (ch >= 'A' && ch <= 'Z') || SmallOfCapital(ch) != 0;
}

// The accent a dead key puts on a letter, by the letters it makes (Windows-1252).
struct Accent {
    const char *Letters;
    const char *Name;
};
constexpr Accent Accents[] = {
    {"\xE0\xE8\xEC\xF2\xF9\xC0\xC8\xCC\xD2\xD9", "accent grave"},
    {"\xE1\xE9\xED\xF3\xFA\xFD\xC1\xC9\xCD\xD3\xDA\xDD", "accent aigu"},
    {"\xE2\xEA\xEE\xF4\xFB\xC2\xCA\xCE\xD4\xDB", "accent circonflexe"},
    {"\xE3\xF1\xF5\xC3\xD1\xD5", "tilde"},
    {"\xE4\xEB\xEF\xF6\xFC\xFF\xC4\xCB\xCF\xD6\xDC\x9F", "tréma"},
    {"\xE7\xC7", "cédille"},
    {"\xE5\xC5", "rond en chef"},
    {"\x8A\x8E\x9A\x9E", "caron"},
};

std::string AccentOf(unsigned char letter)
{
    for (const Accent &accent : Accents)
        for (const char *c = accent.Letters; *c; ++c)
            if (static_cast<unsigned char>(*c) == letter)
                return accent.Name;
    return "touche morte";
}

// The modifiers held for a key at a level, as the keys are labelled: "Maj", "AltGr", "Maj AltGr". A capital's
// Shift goes without saying: its name says "majuscule".
std::string Modifiers(std::uint8_t level, unsigned char ch)
{
    std::string said;
    if ((level & layouts::ShiftLevel) && !IsCapital(ch))
        said = "Maj";
    if (level & layouts::AltGrLevel)
        said += said.empty() ? "AltGr" : " AltGr";
    return said;
}

// The keys beyond a single one, in the order they are struck: "AltGr" for @, "tréma (Maj) puis e" for ë, "AltGr
// puis espace" for the tilde alone; empty for a key struck by itself.
std::string Way(unsigned char ch, const GuideFacts &facts)
{
    if (facts.After == 0)
        return Modifiers(facts.Level, ch);
    if (facts.ThumbOnSpace) {
        const std::string dead = Modifiers(facts.DeadLevel, ch);
        return dead.empty() ? "puis espace" : dead + " puis espace";
    }
    std::string way = AccentOf(ch);
    if (const std::string dead = Modifiers(facts.DeadLevel, 0); !dead.empty())
        way += " (" + dead + ")";
    way += " puis " + CharacterName(facts.After);
    if (const std::string then = Modifiers(facts.Level, facts.After); !then.empty())
        way += " (" + then + ")";
    return way;
}

} // namespace

std::string CharacterName(unsigned char ch)
{
    if ((ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9'))
        return std::string(1, static_cast<char>(ch));
    if (ch >= 'A' && ch <= 'Z')
        return std::string(1, static_cast<char>(ch)) + " majuscule";
    if (const unsigned char small = SmallOfCapital(ch)) {
        std::string name = CharacterName(small);
        if (name.empty())
            return name;
        name[0] = static_cast<char>(name[0] - 'a' + 'A');
        return name + " majuscule";
    }
    for (const Named &named : Names)
        if (named.Character == ch)
            return named.Name;
    return {};
}

std::string KeyDescription(unsigned char ch)
{
    return KeyDescription(ch, FrenchAzertyKeys());
}

std::string KeyDescription(unsigned char ch, const LayoutKeys &keys)
{
    const GuideFacts &facts = keys.Of(ch);
    std::string description = CharacterName(ch);
    if (facts.Centre == NoKey || description.empty())
        return {};
    if (const std::string way = Way(ch, facts); !way.empty())
        description += ", " + way;
    // Either thumb presses the space bar, the only key a thumb presses: the hand goes without saying.
    const std::string finger = facts.Fingers.Count == 2   ? "pouce"
                               : facts.Fingers.Count == 1 ? FingerName(facts.Fingers.Items[0].Item)
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
