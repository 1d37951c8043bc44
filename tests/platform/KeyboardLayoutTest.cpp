#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/input/KeyboardLayout.h"

// The layout checked against the reference tables of the Windows French (France) layout, read from their CSV
// files.
namespace {

using kbdlayout::KeyStateTable;
using kbdlayout::NoKey;

std::vector<std::vector<std::string>> ReadCsv(const std::string &name)
{
    std::ifstream file(std::string(TUTOR_LAYOUT_DIR) + "/" + name);
    EXPECT_TRUE(file) << name;
    std::vector<std::vector<std::string>> rows;
    std::string line;
    std::getline(file, line); // the header
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> cells;
        std::stringstream stream(line);
        std::string cell;
        while (std::getline(stream, cell, ','))
            cells.push_back(cell);
        if (!line.empty() && line.back() == ',')
            cells.emplace_back();
        rows.push_back(cells);
    }
    return rows;
}

struct ReferenceKey {
    int VirtualKey;
    int Columns[4]; // base, shift, altgr, shift_altgr; -1 for nothing
    std::string DeadFlags;
};

const std::vector<ReferenceKey> &Reference()
{
    static const std::vector<ReferenceKey> keys = [] {
        std::vector<ReferenceKey> result;
        for (const auto &cells : ReadCsv("kbdfr_layout.csv")) {
            ReferenceKey key{std::stoi(cells.at(0), nullptr, 16), {-1, -1, -1, -1}, cells.size() > 5 ? cells[5] : ""};
            for (int c = 0; c < 4; ++c)
                if (!cells.at(static_cast<std::size_t>(c) + 1).empty())
                    key.Columns[c] = std::stoi(cells[static_cast<std::size_t>(c) + 1]);
            result.push_back(key);
        }
        return result;
    }();
    return keys;
}

// What the reference says a character is typed with: the first key, in table order, that gives it without
// modifier, with Shift or with AltGr, never a numeric-pad key; Ctrl with a letter for the control codes that
// no key gives.
std::uint16_t ReferenceKeyScan(int character)
{
    static const int states[] = {0, 1, 6};
    for (const ReferenceKey &key : Reference()) {
        if (key.VirtualKey >= 0x60 && key.VirtualKey <= 0x6F)
            continue;
        for (int c = 0; c < 3; ++c)
            if (key.Columns[c] == character)
                return static_cast<std::uint16_t>(states[c] << 8 | key.VirtualKey);
    }
    if (character >= 1 && character <= 26)
        return static_cast<std::uint16_t>(0x200 | (0x40 + character));
    return NoKey;
}

TEST(KeyboardLayout, ReferenceTablesAreRead)
{
    EXPECT_EQ(Reference().size(), 69u);
    EXPECT_EQ(ReadCsv("kbdfr_deadkeys.csv").size(), 41u);
}

TEST(KeyboardLayout, EveryCharacterIsLookedUpAsTheReferenceSays)
{
    int typeable = 0;
    for (int character = 1; character < 256; ++character) {
        const std::uint16_t expected = ReferenceKeyScan(character);
        EXPECT_EQ(kbdlayout::VkKeyScan(static_cast<unsigned char>(character)), expected) << "character " << character;
        typeable += expected != NoKey;
    }
    EXPECT_GT(typeable, 100);
}

TEST(KeyboardLayout, KnownAnswers)
{
    struct Row {
        unsigned char character;
        std::uint16_t key;
    };
    // clang-format off
    const Row rows[] = {
        {'a', 0x0041}, {'A', 0x0141}, {'q', 0x0051}, {'m', 0x004D}, {'&', 0x0031}, {'1', 0x0131},
        {'0', 0x0130}, {'*', 0x00DC}, {'+', 0x01BB}, {'-', 0x0036}, {'.', 0x01BE}, {'/', 0x01BF},
        {' ', 0x0020}, {'\r', 0x000D}, {'\b', 0x0008}, {'\t', 0x0009}, {'\n', 0x024A}, {1, 0x0241},
        {0xE9, 0x0032}, {0xE8, 0x0037}, {0xE7, 0x0039}, {0xE0, 0x0030}, {0xF9, 0x00C0}, {0xB2, 0x00DE},
        {0xA8, 0x01DD}, {0xB0, 0x01DB}, {0xB5, 0x01DC}, {0xA7, 0x01DF}, {'<', 0x00E2}, {'>', 0x01E2},
        // AltGr characters.
        {'@', 0x0630}, {'#', 0x0633}, {'{', 0x0634}, {'[', 0x0635}, {'|', 0x0636}, {'`', 0x0637},
        {'\\', 0x0638}, {'^', 0x0639}, {']', 0x06DB}, {'}', 0x06BB}, {0x80, 0x0645}, {'~', 0x0632},
        {0xA4, 0x06BA},
        // Nothing types these on a single key.
        {0xEA, NoKey}, {0xC9, NoKey}, {0xC7, NoKey}, {0x9C, NoKey}, {0, NoKey}, {0x7F, NoKey}, {27 + 100, NoKey},
    };
    // clang-format on
    for (const Row &row : rows)
        EXPECT_EQ(kbdlayout::VkKeyScan(row.character), row.key) << "character " << int(row.character);
}

TEST(KeyboardLayout, ScanCodesOfTheAzertyKeys)
{
    struct Row {
        std::uint8_t key, scan;
    };
    for (const Row &row :
         {Row{'A', 0x10}, Row{'Z', 0x11}, Row{'Q', 0x1E}, Row{'M', 0x27}, Row{'W', 0x2C}, Row{'1', 0x02},
          Row{'0', 0x0B}, Row{0x20, 0x39}, Row{0x10, 0x2A}, Row{0x11, 0x1D}, Row{0x12, 0x38}, Row{0x25, 0x4B},
          Row{0x70, 0x3B}, Row{0xDD, 0x1A}, Row{0xC0, 0x28}, Row{0xE2, 0x56}, Row{0x07, 0x00}})
        EXPECT_EQ(kbdlayout::ScanCode(row.key), row.scan) << "key " << int(row.key);
}

class Typing : public ::testing::Test
{
protected:
    // Presses a key with the modifiers of a shift state (1 Shift, 2 Ctrl, 4 Alt) and returns what it typed.
    std::string Press(std::uint8_t key, int shiftState = 0)
    {
        Keys[16] = shiftState & 1 ? 0x80 : 0;
        Keys[17] = shiftState & 2 ? 0x80 : 0;
        Keys[18] = shiftState & 4 ? 0x80 : 0;
        const std::string typed = Layout.KeyDown(key, Keys).Characters;
        Keys[16] = Keys[17] = Keys[18] = 0;
        return typed;
    }
    // Types a character by the key the layout gives for it.
    std::string Type(unsigned char character)
    {
        const std::uint16_t key = kbdlayout::VkKeyScan(character);
        EXPECT_NE(key, NoKey) << int(character);
        return Press(static_cast<std::uint8_t>(key), key >> 8);
    }

    KeyStateTable Keys{};
    kbdlayout::Translator Layout;
};

TEST_F(Typing, EachColumnOfTheReferenceIsTyped)
{
    // Every key gives the characters the reference lists, through its dead key and the space where it is dead.
    for (const ReferenceKey &key : Reference()) {
        if (key.VirtualKey >= 0x60 && key.VirtualKey <= 0x6F)
            continue;
        const char *columns[] = {"base", "shift", "altgr"};
        for (int c = 0; c < 3; ++c) {
            const int expected = key.Columns[c];
            const std::string typed = Press(static_cast<std::uint8_t>(key.VirtualKey), c == 0 ? 0 : c == 1 ? 1 : 6);
            const bool dead = key.DeadFlags.find(columns[c]) != std::string::npos;
            if (expected < 0) {
                EXPECT_EQ(typed, "") << key.VirtualKey << " " << columns[c];
            } else if (dead) {
                EXPECT_EQ(typed, "") << "a dead key waits: " << key.VirtualKey << " " << columns[c];
                EXPECT_EQ(Press(0x20), std::string(1, static_cast<char>(expected))) << key.VirtualKey;
            } else {
                EXPECT_EQ(typed, std::string(1, static_cast<char>(expected))) << key.VirtualKey << " " << columns[c];
            }
        }
        EXPECT_EQ(Press(static_cast<std::uint8_t>(key.VirtualKey), 7), "") << "Shift with AltGr gives nothing";
    }
}

TEST_F(Typing, DeadKeysComposeAsTheReferenceSays)
{
    // The dead keys of the layout, by the accent they stand for.
    const std::map<std::string, std::pair<std::uint8_t, int>> deadKeys = {
        {"CIRCUMFLEX", {0xDD, 0}}, {"DIAERESIS", {0xDD, 1}}, {"GRAVE", {0x37, 6}}, {"TILDE", {0x32, 6}}};
    for (const auto &cells : ReadCsv("kbdfr_deadkeys.csv")) {
        const auto [key, state] = deadKeys.at(cells.at(1));
        const auto base = static_cast<unsigned char>(std::stoi(cells.at(2)));
        const auto result = static_cast<char>(std::stoi(cells.at(3)));
        EXPECT_EQ(Press(key, state), "") << cells.at(1);
        EXPECT_EQ(Type(base), std::string(1, result)) << cells.at(1) << " then " << int(base);
        EXPECT_EQ(kbdlayout::Compose(static_cast<unsigned char>(std::stoi(cells.at(0))), base),
                  static_cast<unsigned char>(result));
    }
}

TEST_F(Typing, DeadKeyWithACharacterItCannotTake)
{
    EXPECT_EQ(Press(0xDD), "");
    EXPECT_EQ(Type('z'), "^z");
    EXPECT_EQ(Press(0xDD, 1), "");
    EXPECT_EQ(Type('1'), "\xa8"
                         "1");
    // A second dead key gives both accents.
    EXPECT_EQ(Press(0xDD), "");
    EXPECT_EQ(Press(0xDD, 1), "^\xa8");
    // Modifier keys and keys without a character leave the dead key waiting.
    EXPECT_EQ(Press(0xDD), "");
    EXPECT_EQ(Press(0x10, 1), "");
    EXPECT_EQ(Press(0x25), "");
    EXPECT_EQ(Type('e'), "\xea");
    EXPECT_EQ(Type('e'), "e");
}

TEST_F(Typing, CapsLockShiftsLettersAndTheDigitRowOnly)
{
    Keys[20] = kbdlayout::ToggleBit;
    EXPECT_EQ(Press('A'), "A");
    EXPECT_EQ(Press('A', 1), "a");
    EXPECT_EQ(Press('1'), "1");
    EXPECT_EQ(Press('1', 1), "&");
    EXPECT_EQ(Press('2'), "2");
    EXPECT_EQ(Press(0xDE), "\xb2") << "not on the ² key";
    EXPECT_EQ(Press(0xE2), "<") << "not on the < key";
    EXPECT_EQ(Press(0xC0), "\xf9");
    EXPECT_EQ(Press('2', 6), "") << "AltGr takes no CapsLock: the dead tilde waits";
    EXPECT_EQ(Press(' '), "~");
}

// The typing table made from the layout gives a way for every character it types and for nothing else, and that
// way, struck key after key, types the character; Caps Lock reaches nothing Shift does not.
TEST_F(Typing, TheTypingTableTypesEachCharacterTheLayoutTypes)
{
    std::map<std::uint8_t, std::uint8_t> keyOfScan;
    for (int key = 0; key < 256; ++key)
        if (const std::uint8_t scan = kbdlayout::ScanCode(static_cast<std::uint8_t>(key));
            scan != 0 && (key < 0x60 || key > 0x6F))
            keyOfScan.emplace(scan, static_cast<std::uint8_t>(key));
    const auto strike = [&](layouts::Stroke stroke) {
        return Press(keyOfScan.at(stroke.Key),
                     (stroke.Level & layouts::ShiftLevel ? 1 : 0) | (stroke.Level & layouts::AltGrLevel ? 6 : 0));
    };
    const layouts::TypingTable &table = kbdlayout::Table();
    for (int c = 0x20; c < 256; ++c) {
        const auto character = static_cast<unsigned char>(c);
        const layouts::Typing &way = table[character];
        ASSERT_EQ(way.Typeable(), kbdlayout::Types(character)) << c;
        if (!way.Typeable())
            continue;
        if (way.Dead.Key != 0) {
            EXPECT_EQ(strike(way.Dead), "") << "a dead key first: " << c;
        }
        EXPECT_EQ(strike(way.Base), std::string(1, static_cast<char>(character))) << c;
    }
    EXPECT_EQ(table['^'].Dead, (layouts::Stroke{0x1A, 0})) << "the circumflex key, not AltGr+ç";
    EXPECT_EQ(table[0xC0].Dead, (layouts::Stroke{0x08, layouts::AltGrLevel})) << "À: the dead grave first";

    Keys[20] = kbdlayout::ToggleBit;
    for (const auto &[scan, key] : keyOfScan)
        for (const int state : {0, 1, 6})
            for (const char typed : Press(key, state))
                EXPECT_TRUE(static_cast<unsigned char>(typed) < 0x20 ||
                            kbdlayout::Types(static_cast<unsigned char>(typed)))
                    << "Caps Lock on key " << int(key) << ": " << int(static_cast<unsigned char>(typed));
    Layout.Reset();
}

TEST_F(Typing, ControlAndAltKeys)
{
    EXPECT_EQ(Press('A', 2), "\x01");
    EXPECT_EQ(Press('Z', 2), "\x1a");
    EXPECT_EQ(Press('M', 3), "\x0d") << "Ctrl with Shift and a letter";
    EXPECT_EQ(Press('1', 2), "") << "Ctrl with anything but a letter types nothing";
    EXPECT_EQ(Press('A', 4), "") << "Alt alone makes a menu key";
    EXPECT_EQ(Press(0x0D), "\r");
    EXPECT_EQ(Press(0x08), "\b");
    EXPECT_EQ(Press(0x70), "");
}

TEST_F(Typing, NumericPadFollowsNumLock)
{
    EXPECT_EQ(Press(0x61), "");
    Keys[144] = kbdlayout::ToggleBit;
    EXPECT_EQ(Press(0x61), "1");
    EXPECT_EQ(Press(0x6A), "*");
}

} // namespace
