#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "keysend/SendKeys.h"

namespace {

using sndkey32::NoKey;

struct KeyEvent {
    std::uint8_t VirtualKey;
    std::uint8_t ScanCode;
    std::uint32_t Flags;
};

// A keyboard that writes down what the sender does with it. Its layout is a small one of its own: the answers
// are the test's, not a real layout's.
class RecordingPlatform : public sndkey32::KeyPlatform
{
public:
    std::map<char, std::uint16_t> Layout = {
        {'a', 0x41},  {'b', 0x42},  {'c', 0x43}, {'A', 0x141}, {'B', 0x142}, {'+', 0x1BB},
        {'}', 0x6BB}, {'~', 0x632}, {'(', 0x35}, {'%', 0x1C0}, {' ', 0x20},
    };
    std::vector<KeyEvent> Events;
    std::vector<std::string> Boxes;
    sndkey32::KeyStateTable Table{};
    int Pauses = 0;
    int Passes = 0;
    int Processed = 0;
    // Runs inside the given pause (1 for the first), as a handler would.
    std::function<void(int pause)> DuringPause;

    // Pauses as "|", key-downs as "D41", key-ups as "U41", extended keys with "e", boxes as "box:text".
    std::string Trace;

    void KeybdEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) override
    {
        Events.push_back({virtualKey, scanCode, flags});
        char text[8];
        std::snprintf(text, sizeof text, "%c%02X%s", (flags & sndkey32::KeyUp) ? 'U' : 'D', virtualKey,
                      (flags & sndkey32::ExtendedKey) ? "e" : "");
        Append(text);
    }
    // The high bits must be dropped by the sender.
    std::uint32_t MapVirtualKey(std::uint32_t virtualKey) override { return 0xAB00u | ((virtualKey + 1) & 0xFF); }
    std::uint16_t VkKeyScan(char character) override
    {
        const auto found = Layout.find(character);
        return found == Layout.end() ? NoKey : found->second;
    }
    std::int16_t GetKeyState(int virtualKey) override { return Table[static_cast<std::size_t>(virtualKey)] & 1; }
    void GetKeyboardState(sndkey32::KeyStateTable &table) override { table = Table; }
    void SetKeyboardState(const sndkey32::KeyStateTable &table) override { Table = table; }
    void PassKeyboardMessages() override { ++Passes; }
    void ProcessMessages() override { ++Processed; }
    void WaitMilliseconds(double ms) override
    {
        EXPECT_EQ(ms, 100);
        ++Pauses;
        Append("|");
        if (DuringPause)
            DuringPause(Pauses);
    }
    void MessageBox(const std::string &text) override
    {
        Boxes.push_back(text);
        Append("box:" + text);
    }

private:
    void Append(const std::string &token)
    {
        if (!Trace.empty())
            Trace += ' ';
        Trace += token;
    }
};

class Sender : public ::testing::Test
{
protected:
    bool Send(std::string_view text, bool wait = true) { return sndkey32::SendKeys(Keys, text, wait); }

    // How many presses of a key were sent.
    int Presses(std::uint8_t virtualKey) const
    {
        int count = 0;
        for (const KeyEvent &e : Keys.Events)
            count += e.VirtualKey == virtualKey && !(e.Flags & sndkey32::KeyUp);
        return count;
    }

    RecordingPlatform Keys;
};

TEST_F(Sender, EmptyTextSendsNothingAndReturnsFalse)
{
    EXPECT_FALSE(Send(""));
    EXPECT_FALSE(Send(std::string_view("\0ab", 3))) << "the text ends at its first NUL";
    EXPECT_EQ(Keys.Trace, "");
    EXPECT_EQ(Keys.Pauses, 0);
}

TEST_F(Sender, PlainCharactersGoThroughTheLayoutWithAPauseBeforeEach)
{
    EXPECT_TRUE(Send("ab"));
    EXPECT_EQ(Keys.Trace, "| D41 U41 | D42 U42");
    ASSERT_EQ(Keys.Events.size(), 4u);
    EXPECT_EQ(Keys.Events[0].ScanCode, 0x42) << "only the low byte of the scan code is used";
    EXPECT_EQ(Keys.Events[0].Flags, 0u);
    EXPECT_EQ(Keys.Events[1].Flags, 2u);

    Keys = RecordingPlatform();
    EXPECT_TRUE(Send(std::string_view("ab\0c", 4)));
    EXPECT_EQ(Keys.Trace, "| D41 U41 | D42 U42");
}

TEST_F(Sender, ShiftStateOfTheLayoutWrapsTheKey)
{
    EXPECT_TRUE(Send("A}"));
    // AltGr is Ctrl then Alt, released in the same order.
    EXPECT_EQ(Keys.Trace, "| D10 D41 U41 U10 | D11 D12 DBB UBB U11 U12");
}

TEST_F(Sender, ModifierSignsHoldForTheNextKeyOnly)
{
    EXPECT_TRUE(Send("+ab"));
    EXPECT_EQ(Keys.Trace, "| D10 | D41 U41 U10 | D42 U42");

    Keys = RecordingPlatform();
    EXPECT_TRUE(Send("^%b"));
    EXPECT_EQ(Keys.Trace, "| D11 | D12 | D42 U42 U11 U12");

    Keys = RecordingPlatform();
    EXPECT_TRUE(Send("+A"));
    EXPECT_EQ(Keys.Trace, "| D10 | D10 D41 U41 U10 U10") << "the layout's Shift comes on top of the held one";
}

TEST_F(Sender, GroupKeepsTheModifiersUntilItCloses)
{
    EXPECT_TRUE(Send("+(ab)c"));
    EXPECT_EQ(Keys.Trace, "| D10 | | D41 U41 | D42 U42 | U10 | D43 U43");
}

TEST_F(Sender, TildeIsEnterAndEndsTheHeldModifiers)
{
    EXPECT_TRUE(Send("+~a"));
    EXPECT_EQ(Keys.Trace, "| D10 | D0D U0D U10 | D41 U41");
}

TEST_F(Sender, TextEndingOnAModifierReleasesIt)
{
    EXPECT_TRUE(Send("a%"));
    EXPECT_EQ(Keys.Trace, "| D41 U41 | D12 U12");
}

TEST_F(Sender, ModifiersNeverStayDownWhereTheTextStops)
{
    // An open group at the end.
    EXPECT_TRUE(Send("+(ab"));
    EXPECT_EQ(Keys.Trace, "| D10 | | D41 U41 | D42 U42 U10");

    // A missing closing brace.
    Keys = RecordingPlatform();
    EXPECT_FALSE(Send("^+{ENTE"));
    EXPECT_EQ(Keys.Trace, "| D11 | D10 | box:No Close U10 U11");

    // A repeat count that is not a number.
    Keys = RecordingPlatform();
    EXPECT_THROW(Send("%(a{F1 x}b)"), sndkey32::EConvertError);
    EXPECT_EQ(Keys.Trace, "| D12 | | D41 U41 | U12");
}

TEST_F(Sender, CharacterTheLayoutCannotTypeIsReportedAndSkipped)
{
    EXPECT_TRUE(Send("a\xe9"
                     "b"));
    EXPECT_EQ(Keys.Trace, "| D41 U41 | box:Invalid KeyName | D42 U42");
}

TEST_F(Sender, NamedKeysInAnyCaseWithTheExtendedFlag)
{
    EXPECT_TRUE(Send("{LEFT 3}"));
    EXPECT_EQ(Keys.Trace, "| D25e U25e D25e U25e D25e U25e");
    for (std::size_t i = 0; i < Keys.Events.size(); ++i)
        EXPECT_EQ(Keys.Events[i].Flags, i % 2 ? 3u : 1u);
    EXPECT_EQ(Keys.Pauses, 1) << "the presses of one braced key follow each other without a pause";

    Keys = RecordingPlatform();
    EXPECT_TRUE(Send("{left}{Del}{f12}{tab}"));
    EXPECT_EQ(Keys.Trace, "| D25e U25e | D2Ee U2Ee | D7B U7B | D09 U09");
}

TEST_F(Sender, EveryBackspaceNameSendsTheBackspaceKey)
{
    for (const char *text : {"{BKSP}", "{BS}", "{BACKSPACE}", "{bs}"}) {
        Keys = RecordingPlatform();
        EXPECT_TRUE(Send(text)) << text;
        EXPECT_EQ(Keys.Trace, "| D08 U08") << text;
    }
}

TEST_F(Sender, BracedSingleCharacterIsLookedUpAsACapital)
{
    EXPECT_TRUE(Send("{a}{+}{( 2}"));
    EXPECT_EQ(Keys.Trace, "| D10 D41 U41 U10 | D10 DBB UBB U10 | D35 U35 D35 U35");

    // Nothing is said for a braced character the layout cannot type.
    Keys = RecordingPlatform();
    EXPECT_TRUE(Send("{\xe9}b"));
    EXPECT_EQ(Keys.Trace, "| | D42 U42");
}

TEST_F(Sender, RepeatCountTakesTheLow16BitsOfAWholeNumber)
{
    struct Row {
        const char *text;
        int presses;
    };
    for (const Row &row :
         {Row{"{F1 0}", 0}, Row{"{F1 65537}", 1}, Row{"{F1 -1}", 65535}, Row{"{F1 $10}", 16}, Row{"{F1  3}", 3},
          Row{"{F1 0x10}", 16}, Row{"{F1 x1f}", 31}, Row{"{F1 -$10}", 65520}, Row{"{F1 +7}", 7}}) {
        Keys = RecordingPlatform();
        EXPECT_TRUE(Send(row.text)) << row.text;
        EXPECT_EQ(Presses(0x70), row.presses) << row.text;
        EXPECT_TRUE(Keys.Boxes.empty()) << row.text;
    }
}

TEST_F(Sender, RepeatCountThatIsNotANumberStopsTheCall)
{
    struct Row {
        const char *text;
        const char *message;
    };
    for (const Row &row : {Row{"{F1 2 3}a", "'2 3' n'est pas une valeur entière correcte"},
                           Row{"{F1 }a", "'' n'est pas une valeur entière correcte"},
                           Row{"{f1 1x}a", "'1X' n'est pas une valeur entière correcte"}}) {
        Keys = RecordingPlatform();
        try {
            Send(row.text);
            ADD_FAILURE() << row.text << " was accepted";
        } catch (const sndkey32::EConvertError &error) {
            EXPECT_STREQ(error.what(), row.message);
        }
        EXPECT_EQ(Keys.Trace, "|") << row.text;
    }
}

TEST_F(Sender, BracesAreTypedByTheirFixedKeys)
{
    EXPECT_TRUE(Send("{{}a"));
    EXPECT_EQ(Keys.Trace, "| D10 DDB UDB U10 | D41 U41");

    Keys = RecordingPlatform();
    EXPECT_TRUE(Send("{ENTER}}a"));
    EXPECT_EQ(Keys.Trace, "| D10 DDD UDD U10 | D41 U41") << "the closing brace, and no Enter";

    Keys = RecordingPlatform();
    EXPECT_TRUE(Send("{}}"));
    EXPECT_EQ(Keys.Trace, "| D10 DDD UDD U10");
}

TEST_F(Sender, LoneClosingBraceIsAnOrdinaryCharacter)
{
    EXPECT_TRUE(Send("}"));
    EXPECT_EQ(Keys.Trace, "| D11 D12 DBB UBB U11 U12");
}

TEST_F(Sender, UnknownNamesAreReported)
{
    // 26 letters: the first 20 are kept, and they name nothing.
    EXPECT_TRUE(Send("{ABCDEFGHIJKLMNOPQRSTUVWXYZ}a"));
    EXPECT_EQ(Keys.Trace, "| box:Invalid Key Name | D41 U41");

    Keys = RecordingPlatform();
    EXPECT_TRUE(Send("{}a{F17}"));
    EXPECT_EQ(Keys.Trace, "| box:Invalid Key Name | D41 U41 | box:Invalid Key Name");
}

TEST_F(Sender, MissingClosingBraceStopsAtOnce)
{
    EXPECT_FALSE(Send("a{ENTE"));
    EXPECT_EQ(Keys.Trace, "| D41 U41 | box:No Close");
    Keys = RecordingPlatform();
    EXPECT_FALSE(Send("{"));
    EXPECT_EQ(Keys.Trace, "| box:No Close");
}

TEST_F(Sender, NumLockFlipsItsToggleWithoutAKeyEvent)
{
    Keys.Table[20] = 1;
    EXPECT_TRUE(Send("{NUMLOCK}"));
    EXPECT_TRUE(Keys.Events.empty());
    EXPECT_EQ(Keys.Table[144], 1);
    EXPECT_EQ(Keys.Table[20], 1) << "the rest of the table is written back unchanged";
    EXPECT_TRUE(Send("{numlock 5}"));
    EXPECT_EQ(Keys.Table[144], 0);
}

TEST_F(Sender, OnePausePerStepAndMessagesProcessedBeforeEach)
{
    EXPECT_TRUE(Send("+(ab){LEFT 3}~c"));
    EXPECT_EQ(Keys.Pauses, 8);
    // One before each step, one before each character of the braced name and its "}".
    EXPECT_EQ(Keys.Processed, 8 + 7);
}

TEST_F(Sender, WaitPassesTheKeyboardMessagesAfterEveryEvent)
{
    EXPECT_TRUE(Send("+ab", true));
    EXPECT_EQ(Keys.Passes, static_cast<int>(Keys.Events.size()));
    Keys = RecordingPlatform();
    EXPECT_TRUE(Send("+ab", false));
    EXPECT_EQ(Keys.Passes, 0);
}

TEST_F(Sender, NestedCallKeepsItsOwnState)
{
    // A handler running in the pause before "b" sends a text of its own; the outer Shift stays down through it.
    Keys.DuringPause = [this](int pause) {
        if (pause == 4) {
            Keys.DuringPause = nullptr;
            EXPECT_TRUE(Send("c"));
        }
    };
    EXPECT_TRUE(Send("+(ab)"));
    EXPECT_EQ(Keys.Trace, "| D10 | | D41 U41 | | D43 U43 D42 U42 | U10");
}

TEST(KeyNames, EveryNameOfTheTableIsFound)
{
    struct Row {
        const char *name;
        std::uint16_t key;
    };
    const Row rows[] = {
        {"BACKSPACE", 8}, {"BKSP", 8},    {"BREAK", 3},        {"BS", 8},        {"CAPSLOCK", 20}, {"CLEAR", 12},
        {"DEL", 46},      {"DELETE", 46}, {"DOWN", 40},        {"END", 35},      {"ENTER", 13},    {"ESC", 27},
        {"ESCAPE", 27},   {"F1", 112},    {"F10", 121},        {"F11", 122},     {"F12", 123},     {"F13", 124},
        {"F14", 125},     {"F15", 126},   {"F16", 127},        {"F2", 113},      {"F3", 114},      {"F4", 115},
        {"F5", 116},      {"F6", 117},    {"F7", 118},         {"F8", 119},      {"F9", 120},      {"HELP", 47},
        {"HOME", 36},     {"INS", 45},    {"LEFT", 37},        {"NUMLOCK", 144}, {"PGDN", 34},     {"PGUP", 33},
        {"PRTSC", 42},    {"RIGHT", 39},  {"SCROLLLOCK", 145}, {"TAB", 9},       {"UP", 38},
    };
    for (const Row &row : rows)
        EXPECT_EQ(sndkey32::FindKeyName(row.name), row.key) << row.name;
    for (const char *name : {"", "F", "F0", "F17", "ENTE", "ENTERS", "enter", "AAA", "ZZZ", "BACKSPACEX"})
        EXPECT_EQ(sndkey32::FindKeyName(name), NoKey) << name;
}

TEST(RepeatCount, AcceptedAndRejectedForms)
{
    struct Row {
        const char *text;
        std::int32_t value;
    };
    for (const Row &row : {Row{"0", 0}, Row{"  12", 12}, Row{"+5", 5}, Row{"-5", -5}, Row{"$1F", 31}, Row{"X1F", 31},
                           Row{"0X1F", 31}, Row{"0x1f", 31}, Row{"-$10", -16}, Row{"007", 7},
                           Row{"2147483647", 2147483647}, Row{"-2147483648", INT32_MIN}, Row{"$7FFFFFFF", INT32_MAX}})
        EXPECT_EQ(sndkey32::StrToInt(row.text), row.value) << row.text;
    for (const char *text : {"", " ", "1 ", "1A", "$", "0X", "X", "--1", "+", "+ 1", "2147483648", "-2147483649",
                             "$80000000", "99999999999", "1.5", "$G"})
        EXPECT_THROW(sndkey32::StrToInt(text), sndkey32::EConvertError) << text;
}

} // namespace
