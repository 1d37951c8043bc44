#include "platform/input/KeyboardLayout.h"

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

namespace kbdlayout {
namespace {

constexpr std::uint8_t DeadBase = 1;
constexpr std::uint8_t DeadShift = 2;
constexpr std::uint8_t DeadAltGr = 4;

struct KeyRow {
    std::uint8_t VirtualKey;
    std::int16_t Base, Shift, AltGr; // -1: nothing
    std::uint8_t Dead;
};

// Windows "French (France)"; Shift with AltGr gives nothing on any key. In virtual-key order.
// clang-format off
constexpr KeyRow Layout[] = {
    {0x03, 3, 3, -1, 0},        {0x08, 8, 8, -1, 0},        {0x09, 9, 9, -1, 0},
    {0x0D, 13, 13, -1, 0},      {0x1B, 27, 27, -1, 0},      {0x20, 32, 32, -1, 0},
    {0x30, 224, 48, 64, 0},     {0x31, 38, 49, -1, 0},      {0x32, 233, 50, 126, DeadAltGr},
    {0x33, 34, 51, 35, 0},      {0x34, 39, 52, 123, 0},     {0x35, 40, 53, 91, 0},
    {0x36, 45, 54, 124, 0},     {0x37, 232, 55, 96, DeadAltGr}, {0x38, 95, 56, 92, 0},
    {0x39, 231, 57, 94, 0},     {0x41, 97, 65, -1, 0},      {0x42, 98, 66, -1, 0},
    {0x43, 99, 67, -1, 0},      {0x44, 100, 68, -1, 0},     {0x45, 101, 69, 128, 0},
    {0x46, 102, 70, -1, 0},     {0x47, 103, 71, -1, 0},     {0x48, 104, 72, -1, 0},
    {0x49, 105, 73, -1, 0},     {0x4A, 106, 74, -1, 0},     {0x4B, 107, 75, -1, 0},
    {0x4C, 108, 76, -1, 0},     {0x4D, 109, 77, -1, 0},     {0x4E, 110, 78, -1, 0},
    {0x4F, 111, 79, -1, 0},     {0x50, 112, 80, -1, 0},     {0x51, 113, 81, -1, 0},
    {0x52, 114, 82, -1, 0},     {0x53, 115, 83, -1, 0},     {0x54, 116, 84, -1, 0},
    {0x55, 117, 85, -1, 0},     {0x56, 118, 86, -1, 0},     {0x57, 119, 87, -1, 0},
    {0x58, 120, 88, -1, 0},     {0x59, 121, 89, -1, 0},     {0x5A, 122, 90, -1, 0},
    {0x60, 48, -1, -1, 0},      {0x61, 49, -1, -1, 0},      {0x62, 50, -1, -1, 0},
    {0x63, 51, -1, -1, 0},      {0x64, 52, -1, -1, 0},      {0x65, 53, -1, -1, 0},
    {0x66, 54, -1, -1, 0},      {0x67, 55, -1, -1, 0},      {0x68, 56, -1, -1, 0},
    {0x69, 57, -1, -1, 0},      {0x6A, 42, 42, -1, 0},      {0x6B, 43, 43, -1, 0},
    {0x6D, 45, 45, -1, 0},      {0x6E, 46, 46, -1, 0},      {0x6F, 47, 47, -1, 0},
    {0xBA, 36, 163, 164, 0},    {0xBB, 61, 43, 125, 0},     {0xBC, 44, 63, -1, 0},
    {0xBE, 59, 46, -1, 0},      {0xBF, 58, 47, -1, 0},      {0xC0, 249, 37, -1, 0},
    {0xDB, 41, 176, 93, 0},     {0xDC, 42, 181, -1, 0},     {0xDD, 94, 168, -1, DeadBase | DeadShift},
    {0xDE, 178, -1, -1, 0},     {0xDF, 33, 167, -1, 0},     {0xE2, 60, 62, -1, 0},
};
// clang-format on

struct Composition {
    unsigned char Accent, Character, Result;
};

// A dead key followed by the space gives its accent alone.
constexpr Composition Compositions[] = {
    {96, 32, 96},   {96, 97, 224},   {96, 65, 192},  {96, 101, 232},  {96, 69, 200},  {96, 105, 236},
    {96, 73, 204},  {96, 111, 242},  {96, 79, 210},  {96, 117, 249},  {96, 85, 217},  {94, 32, 94},
    {94, 97, 226},  {94, 65, 194},   {94, 101, 234}, {94, 69, 202},   {94, 105, 238}, {94, 73, 206},
    {94, 111, 244}, {94, 79, 212},   {94, 117, 251}, {94, 85, 219},   {168, 32, 168}, {168, 97, 228},
    {168, 65, 196}, {168, 101, 235}, {168, 69, 203}, {168, 105, 239}, {168, 73, 207}, {168, 111, 246},
    {168, 79, 214}, {168, 117, 252}, {168, 85, 220}, {168, 121, 255}, {126, 32, 126}, {126, 97, 227},
    {126, 65, 195}, {126, 110, 241}, {126, 78, 209}, {126, 111, 245}, {126, 79, 213},
};

const KeyRow *RowOf(std::uint8_t virtualKey)
{
    for (const KeyRow &row : Layout)
        if (row.VirtualKey == virtualKey)
            return &row;
    return nullptr;
}

bool IsNumericPad(std::uint8_t virtualKey)
{
    return virtualKey >= 0x60 && virtualKey <= 0x6F;
}

bool IsLetter(std::uint8_t virtualKey)
{
    return virtualKey >= 'A' && virtualKey <= 'Z';
}

bool IsDigitRow(std::uint8_t virtualKey)
{
    return virtualKey >= '0' && virtualKey <= '9';
}

bool IsModifier(std::uint8_t virtualKey)
{
    switch (virtualKey) {
    case 16:
    case 17:
    case 18:
    case 20:
    case 144:
    case 145:
    case 0xA0:
    case 0xA1:
    case 0xA2:
    case 0xA3:
    case 0xA4:
    case 0xA5: return true;
    default: return false;
    }
}

// Scan codes of the PC keyboard under this layout, by virtual key.
constexpr std::pair<std::uint8_t, std::uint8_t> ScanCodes[] = {
    {0x03, 0x46}, {0x08, 0x0E}, {0x09, 0x0F}, {0x0C, 0x4C}, {0x0D, 0x1C}, {0x10, 0x2A}, {0x11, 0x1D}, {0x12, 0x38},
    {0x13, 0x45}, {0x14, 0x3A}, {0x1B, 0x01}, {0x20, 0x39}, {0x21, 0x49}, {0x22, 0x51}, {0x23, 0x4F}, {0x24, 0x47},
    {0x25, 0x4B}, {0x26, 0x48}, {0x27, 0x4D}, {0x28, 0x50}, {0x2C, 0x54}, {0x2D, 0x52}, {0x2E, 0x53}, {0x30, 0x0B},
    {0x31, 0x02}, {0x32, 0x03}, {0x33, 0x04}, {0x34, 0x05}, {0x35, 0x06}, {0x36, 0x07}, {0x37, 0x08}, {0x38, 0x09},
    {0x39, 0x0A}, {0x41, 0x10}, {0x42, 0x30}, {0x43, 0x2E}, {0x44, 0x20}, {0x45, 0x12}, {0x46, 0x21}, {0x47, 0x22},
    {0x48, 0x23}, {0x49, 0x17}, {0x4A, 0x24}, {0x4B, 0x25}, {0x4C, 0x26}, {0x4D, 0x27}, {0x4E, 0x31}, {0x4F, 0x18},
    {0x50, 0x19}, {0x51, 0x1E}, {0x52, 0x13}, {0x53, 0x1F}, {0x54, 0x14}, {0x55, 0x16}, {0x56, 0x2F}, {0x57, 0x2C},
    {0x58, 0x2D}, {0x59, 0x15}, {0x5A, 0x11}, {0x5B, 0x5B}, {0x5C, 0x5C}, {0x5D, 0x5D}, {0x60, 0x52}, {0x61, 0x4F},
    {0x62, 0x50}, {0x63, 0x51}, {0x64, 0x4B}, {0x65, 0x4C}, {0x66, 0x4D}, {0x67, 0x47}, {0x68, 0x48}, {0x69, 0x49},
    {0x6A, 0x37}, {0x6B, 0x4E}, {0x6D, 0x4A}, {0x6E, 0x53}, {0x6F, 0x35}, {0x70, 0x3B}, {0x71, 0x3C}, {0x72, 0x3D},
    {0x73, 0x3E}, {0x74, 0x3F}, {0x75, 0x40}, {0x76, 0x41}, {0x77, 0x42}, {0x78, 0x43}, {0x79, 0x44}, {0x7A, 0x57},
    {0x7B, 0x58}, {0x7C, 0x64}, {0x7D, 0x65}, {0x7E, 0x66}, {0x7F, 0x67}, {0x90, 0x45}, {0x91, 0x46}, {0xA0, 0x2A},
    {0xA1, 0x36}, {0xA2, 0x1D}, {0xA3, 0x1D}, {0xA4, 0x38}, {0xA5, 0x38}, {0xBA, 0x1B}, {0xBB, 0x0D}, {0xBC, 0x32},
    {0xBE, 0x33}, {0xBF, 0x34}, {0xC0, 0x28}, {0xDB, 0x0C}, {0xDC, 0x2B}, {0xDD, 0x1A}, {0xDE, 0x29}, {0xDF, 0x35},
    {0xE2, 0x56},
};

layouts::TypingTable MakeTable()
{
    // The keys that type a character, by scan code: the numeric pad is left to the learner's choice.
    std::vector<std::pair<std::uint8_t, const KeyRow *>> keys;
    for (const KeyRow &row : Layout)
        if (!IsNumericPad(row.VirtualKey))
            keys.emplace_back(ScanCode(row.VirtualKey), &row);
    std::sort(keys.begin(), keys.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    const layouts::Stroke space{ScanCode(0x20), 0};

    layouts::TypingTable table{};
    std::vector<std::pair<unsigned char, layouts::Stroke>> deadKeys; // each accent's dead keys, in the order met
    constexpr std::pair<std::uint8_t, std::uint8_t> levels[] = {
        {0, DeadBase}, {layouts::ShiftLevel, DeadShift}, {layouts::AltGrLevel, DeadAltGr}};
    for (const auto &[level, deadFlag] : levels) {
        for (const auto &[scan, row] : keys) {
            const int character = level == 0 ? row->Base : level == layouts::ShiftLevel ? row->Shift : row->AltGr;
            if (character < 0x20)
                continue;
            const auto c = static_cast<unsigned char>(character);
            const layouts::Stroke stroke{scan, level};
            if (row->Dead & deadFlag) {
                deadKeys.emplace_back(c, stroke);
                if (!table[c].Typeable())
                    table[c] = {stroke, space};
            } else if (!table[c].Typeable()) {
                table[c].Base = stroke;
            }
        }
    }
    for (const Composition &composition : Compositions) {
        const auto dead = std::find_if(deadKeys.begin(), deadKeys.end(),
                                       [&](const auto &key) { return key.first == composition.Accent; });
        const layouts::Typing &base = table[composition.Character];
        layouts::Typing &made = table[composition.Result];
        if (dead != deadKeys.end() && !made.Typeable() && base.Typeable() && base.Dead.Key == 0)
            made = {dead->second, base.Base};
    }
    return table;
}

} // namespace

const layouts::TypingTable &Table()
{
    static const layouts::TypingTable table = MakeTable();
    return table;
}

const layouts::TypingTable &TableFor(layouts::Layout layout)
{
    return layout == layouts::Layout::FrenchAzerty ? Table() : layouts::TableOf(layout);
}

std::uint16_t VkKeyScan(unsigned char character)
{
    for (const KeyRow &row : Layout) {
        if (IsNumericPad(row.VirtualKey))
            continue;
        if (row.Base == character)
            return row.VirtualKey;
        if (row.Shift == character)
            return static_cast<std::uint16_t>(0x0100 | row.VirtualKey);
        if (row.AltGr == character)
            return static_cast<std::uint16_t>(0x0600 | row.VirtualKey);
    }
    if (character >= 1 && character <= 26)
        return static_cast<std::uint16_t>(0x0200 | ('A' + character - 1));
    return NoKey;
}

std::uint8_t ScanCode(std::uint8_t virtualKey)
{
    for (const auto &[key, scan] : ScanCodes)
        if (key == virtualKey)
            return scan;
    return 0;
}

std::optional<unsigned char> Compose(unsigned char accent, unsigned char character)
{
    for (const Composition &c : Compositions)
        if (c.Accent == accent && c.Character == character)
            return c.Result;
    return std::nullopt;
}

bool Types(unsigned char character)
{
    if (character < 0x20 || character == 0x7F)
        return false;
    if (VkKeyScan(character) != NoKey)
        return true;
    return std::any_of(std::begin(Compositions), std::end(Compositions),
                       [character](const Composition &c) { return c.Result == character; });
}

Translator::Output Translator::KeyDown(std::uint8_t virtualKey, const KeyStateTable &keys)
{
    Output out;
    if (IsModifier(virtualKey))
        return out;
    const KeyRow *row = RowOf(virtualKey);
    if (!row)
        return out;
    const bool shift = keys[16] & KeyDownBit;
    const bool ctrl = keys[17] & KeyDownBit;
    const bool alt = keys[18] & KeyDownBit;

    int character = -1;
    bool dead = false;
    if (ctrl && alt) {
        // AltGr; with Shift as well nothing is typed.
        if (!shift) {
            character = row->AltGr;
            dead = row->Dead & DeadAltGr;
        }
    } else if (ctrl) {
        if (IsLetter(virtualKey))
            character = virtualKey - 'A' + 1;
    } else if (alt) {
        // Alt alone makes a menu key, not a character.
    } else if (IsNumericPad(virtualKey) && row->Shift < 0) {
        if ((keys[144] & ToggleBit) && !shift)
            character = row->Base;
    } else {
        bool shifted = shift;
        if ((keys[20] & ToggleBit) && (IsLetter(virtualKey) || IsDigitRow(virtualKey)))
            shifted = !shifted;
        character = shifted ? row->Shift : row->Base;
        dead = row->Dead & (shifted ? DeadShift : DeadBase);
    }
    if (character < 0)
        return out;

    const auto c = static_cast<unsigned char>(character);
    if (m_pendingAccent != 0) {
        const unsigned char accent = std::exchange(m_pendingAccent, 0);
        if (const auto composed = dead ? std::nullopt : Compose(accent, c))
            out.Characters.push_back(static_cast<char>(*composed));
        else {
            out.Characters.push_back(static_cast<char>(accent));
            out.Characters.push_back(static_cast<char>(c));
        }
        return out;
    }
    if (dead) {
        m_pendingAccent = c;
        out.DeadAccent = c;
        return out;
    }
    out.Characters.push_back(static_cast<char>(c));
    return out;
}

} // namespace kbdlayout
