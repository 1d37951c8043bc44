#include "guide/KeyMap.h"
#include "guide/LayoutKeys.h"

#include <cstring>

namespace keymap {

namespace {

struct FingeredRow {
    KeyRow Row;
    int Finger; // -1: no finger picture
};

// The main block, key by key. The characters are Windows-1252 bytes written as escapes where they are not ASCII.
constexpr std::array<FingeredRow, 47> Table{{
    {{{30, 97}, "\xB2"}, -1},
    {{{57, 97}, "&1"}, AuriculaireG},
    {{{83, 97},
      "\xE9"
      "2"},
     AuriculaireG},
    {{{110, 97}, "\"3"}, AnnuaireG},
    {{{137, 97}, "'4"}, MajeurG},
    {{{164, 97}, "(5"}, IndexG},
    {{{190, 97}, "-6"}, IndexG},
    {{{217, 97},
      "\xE8"
      "7"},
     IndexD},
    {{{244, 97}, "_8"}, IndexD},
    {{{271, 97},
      "\xE7"
      "9"},
     MajeurD},
    {{{297, 97},
      "\xE0"
      "0"},
     AnnuaireD},
    {{{324, 97}, ")\xB0"}, AuriculaireD},
    {{{350, 97}, "=+"}, AuriculaireD},
    {{{70, 124}, "aA\xE2\xE4"}, AuriculaireG},
    {{{96, 124}, "zZ"}, AnnuaireG},
    {{{124, 124}, "eE\xEA\xEB"}, MajeurG},
    {{{150, 124}, "rR"}, IndexG},
    {{{176, 124}, "tT"}, IndexG},
    {{{203, 124}, "yY"}, IndexD},
    {{{230, 124}, "uU\xFB\xFC"}, IndexD},
    {{{256, 124}, "iI\xEE\xEF"}, MajeurD},
    {{{283, 124}, "oO\xF4\xF6"}, AnnuaireD},
    {{{310, 124}, "pP"}, AuriculaireD},
    {{{336, 124}, "^\xA8"}, AuriculaireD},
    {{{364, 124}, "$\xA3"}, AuriculaireD},
    {{{77, 151}, "qQ"}, AuriculaireG},
    {{{103, 151}, "sS"}, AnnuaireG},
    {{{129, 151}, "dD"}, MajeurG},
    {{{157, 151}, "fF"}, IndexG},
    {{{183, 151}, "gG"}, IndexG},
    {{{209, 151}, "hH"}, IndexD},
    {{{236, 151}, "jJ"}, IndexD},
    {{{262, 151}, "kK"}, MajeurD},
    {{{289, 151}, "lL"}, AnnuaireD},
    {{{316, 151}, "mM"}, AuriculaireD},
    {{{342, 151}, "\xF9%"}, AuriculaireD},
    {{{371, 151}, "*\xB5"}, AuriculaireD},
    {{{90, 177}, "wW"}, AuriculaireG},
    {{{116, 177}, "xX"}, AnnuaireG},
    {{{144, 177}, "cC"}, MajeurG},
    {{{170, 177}, "vV"}, IndexG},
    {{{196, 177}, "bB"}, IndexG},
    {{{223, 177}, "nN"}, IndexD},
    {{{250, 177}, ",?"}, MajeurD},
    {{{276, 177}, ";."}, AnnuaireD},
    {{{303, 177}, ":/"}, AuriculaireD},
    {{{330, 177}, "!\xA7"}, AuriculaireD},
}};

constexpr KeyPoint SpaceCentre{200, 202};

// The PC scan code of each key of Table, in its order: the digits row from the key left of 1, then the three rows
// of letters, the key left of Enter closing the middle one.
// clang-format off
constexpr std::array<std::uint8_t, 47> Scans{{
    0x29, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D,
    0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B,
    0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x2B,
    0x2C, 0x2D, 0x2E, 0x2F, 0x30, 0x31, 0x32, 0x33, 0x34, 0x35,
}};
// clang-format on
constexpr std::uint8_t SpaceScan = 0x39;
// The key between the left Shift and w: on the picture, though the French guide never shows it (its < and > are
// not taught); other keyboards put letters there.
constexpr PhysicalKey LessGreater{0x56, {63, 177}, AuriculaireG};

constexpr std::array<Placement, 12> Offsets{{
    {MainG, 0, 0},
    {MainD, 0, 0},
    {PouceG, -200, -76},
    {PouceD, 0, -76},
    {IndexG, -108, -30},
    {IndexD, -86, -28},
    {MajeurG, -76, -38},
    {MajeurD, -119, -38},
    {AnnuaireG, -55, -56},
    {AnnuaireD, -140, -57},
    {AuriculaireG, -14, -86},
    {AuriculaireD, -181, -86},
}};

const FingeredRow *RowOf(unsigned char ch)
{
    if (ch == 0)
        return nullptr;
    for (const FingeredRow &row : Table)
        if (std::strchr(row.Row.Characters, static_cast<char>(ch)))
            return &row;
    return nullptr;
}

bool InSet(unsigned char ch, const char *members)
{
    return ch != 0 && std::strchr(members, static_cast<char>(ch)) != nullptr;
}

const std::array<KeyRow, 47> Rows = [] {
    std::array<KeyRow, 47> rows{};
    for (std::size_t i = 0; i < Table.size(); ++i)
        rows[i] = Table[i].Row;
    return rows;
}();

const std::array<PhysicalKey, 49> Physical = [] {
    std::array<PhysicalKey, 49> keys{};
    for (std::size_t i = 0; i < Table.size(); ++i)
        keys[i] = {Scans[i], Table[i].Row.Centre, Table[i].Finger};
    // The key left of 1 is the left little finger's, though the French guide shows no finger over its ².
    keys[0].Finger = AuriculaireG;
    keys[Table.size()] = LessGreater;
    keys.back() = {SpaceScan, SpaceCentre, PouceG};
    return keys;
}();

} // namespace

Placement FingerOffset(int item)
{
    return Offsets.at(static_cast<std::size_t>(item));
}

void KeyCentres::Fill()
{
    m_centres.fill(NoKey);
    m_centres[BackspaceKey] = {394, 97};
    m_centres[EnterKey] = {400, 137};
    m_centres[RightShiftKey] = {378, 177};
    m_centres[LeftCtrlKey] = {37, 203};
    m_centres[LeftAltKey] = {107, 203};
    m_centres[LeftShiftKey] = {34, 177};
    m_centres[' '] = SpaceCentre;
    for (const FingeredRow &row : Table)
        for (const char *c = row.Row.Characters; *c; ++c)
            m_centres[static_cast<unsigned char>(*c)] = row.Row.Centre;
}

void KeyCentres::Fill(const LayoutKeys &keys)
{
    Fill();
    for (int ch = ' '; ch < 256; ++ch)
        m_centres[static_cast<std::size_t>(ch)] = keys.Of(static_cast<unsigned char>(ch)).Centre;
}

Placements FingerPlacement(unsigned char ch)
{
    Placements placements;
    if (ch == ' ') {
        placements.Count = 2;
        placements.Items = {FingerOffset(PouceG), FingerOffset(PouceD)};
        return placements;
    }
    const FingeredRow *row = RowOf(ch);
    // The question mark shares the comma's key but no finger picture belongs to it.
    if (!row || row->Finger < 0 || ch == '?')
        return placements;
    placements.Count = 1;
    placements.Items[0] = FingerOffset(row->Finger);
    return placements;
}

bool HasKey(unsigned char ch)
{
    return ch == ' ' || RowOf(ch) != nullptr;
}

int KeyFinger(unsigned char ch)
{
    if (ch == ' ')
        return PouceG;
    const FingeredRow *row = RowOf(ch);
    return row ? row->Finger : -1;
}

std::string FingerCharacters(int finger)
{
    std::string characters;
    for (int ch = 1; ch < 256; ++ch) {
        const auto c = static_cast<unsigned char>(ch);
        if (KeyFinger(c) == finger || (c == ' ' && (finger == PouceG || finger == PouceD)))
            characters += static_cast<char>(c);
    }
    return characters;
}

bool ShiftCharacters(unsigned char ch)
{
    return InSet(ch, "%+./0123456789?ABCDEFGHIJKLMNOPQRSTUVWXYZ\xA3\xA7\xA8\xB0\xB5");
}

bool DeadKeyCharacters(unsigned char ch)
{
    return InSet(ch, "\xE2\xE4\xEA\xEB\xEE\xEF\xF4\xF6\xFB\xFC");
}

bool OutlinedCharacters(unsigned char ch)
{
    return InSet(ch, "!\"$&'()*,-0123456789:;<=ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz"
                     "\xE0\xE7\xE8\xE9\xF9");
}

const std::array<KeyRow, 47> &KeyRows()
{
    return Rows;
}

const std::array<PhysicalKey, 49> &PhysicalKeys()
{
    return Physical;
}

const PhysicalKey *KeyOfScan(std::uint8_t scan)
{
    for (const PhysicalKey &key : Physical)
        if (key.Scan == scan)
            return &key;
    return nullptr;
}

} // namespace keymap
