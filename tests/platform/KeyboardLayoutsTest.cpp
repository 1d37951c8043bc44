// The French-speaking keyboards carried in the program, against the X keyboard data read through libxkbcommon
// now, and against what each keyboard is known to have.

#include <gtest/gtest.h>

#include <string>

#include "XkbReader.h"
#include "platform/input/KeyboardLayouts.h"

using layouts::Layout;

namespace {

constexpr std::uint8_t Shift = layouts::ShiftLevel;
constexpr std::uint8_t AltGr = layouts::AltGrLevel;

std::string Name(Layout layout)
{
    return layouts::DescriptionOf(layout).Name;
}

} // namespace

// Every character of every table is typed as the X keyboard data says: the tables were not made from other data.
TEST(KeyboardLayouts, TheCarriedTablesAreTheXKeyboardDatas)
{
    for (const layouts::Description &description : layouts::Descriptions) {
        const layouts::TypingTable read = layoutgen::ReadTable(description.XkbLayout, description.XkbVariant);
        const layouts::TypingTable &carried = layouts::TableOf(description.Id);
        for (int ch = 0; ch < 256; ++ch)
            EXPECT_EQ(carried[ch], read[ch]) << description.Name << ", character " << ch;
        // Each keyboard types the letters, the digits and the space, one key each.
        for (const char ch : std::string("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 "))
            EXPECT_TRUE(carried[static_cast<unsigned char>(ch)].Typeable() &&
                        carried[static_cast<unsigned char>(ch)].Dead.Key == 0)
                << description.Name << ": " << ch;
    }
}

// What each keyboard is known for: its home row, its digits, its own signs, its dead keys. Keys by PC scan code.
TEST(KeyboardLayouts, EachKeyboardTypesItsCharactersOnItsOwnKeys)
{
    struct Case {
        Layout On;
        char Character;
        layouts::Typing Expected;
    } cases[] = {
        // clang-format off
        {Layout::FrenchAzerty,   'a',    {{}, {0x10, 0}}},
        {Layout::FrenchAzerty,   'q',    {{}, {0x1E, 0}}},
        {Layout::FrenchAzerty,   '1',    {{}, {0x02, Shift}}},
        {Layout::FrenchAzerty,   '\xE9', {{}, {0x03, 0}}},           // é
        {Layout::FrenchAzerty,   '\x80', {{}, {0x12, AltGr}}},       // €
        {Layout::FrenchAzerty,   '\xEA', {{0x1A, 0}, {0x12, 0}}},    // ê: the dead circumflex, then e
        {Layout::FrenchAzerty,   '$',    {{}, {0x1B, 0}}},           // its own key, not AltGr+Shift+4
        {Layout::FrenchAzerty,   '<',    {{}, {0x56, 0}}},           // left of w, not AltGr+Shift+z
        {Layout::FrenchAfnor,    '\xE0', {{}, {0x02, 0}}},           // à on the 1 key
        {Layout::FrenchAfnor,    '\xAB', {{}, {0x0A, 0}}},           // «
        {Layout::FrenchAfnor,    '\x92', {{}, {0x09, 0}}},           // ’
        {Layout::FrenchAfnor,    '\x9C', {{}, {0x18, AltGr}}},       // œ
        {Layout::FrenchAfnor,    '\xC9', {{}, {0x03, Shift | AltGr}}}, // É
        {Layout::Bepo,           'e',    {{}, {0x21, 0}}},           // home row: a u i e , c t s r n
        {Layout::Bepo,           't',    {{}, {0x24, 0}}},
        {Layout::Bepo,           ',',    {{}, {0x22, 0}}},
        {Layout::Bepo,           '\xE9', {{}, {0x11, 0}}},
        {Layout::Bepo,           '"',    {{}, {0x02, 0}}},
        {Layout::Bepo,           '1',    {{}, {0x02, Shift}}},
        {Layout::Belgian,        '\xA7', {{}, {0x07, 0}}},           // §
        {Layout::Belgian,        '!',    {{}, {0x09, 0}}},
        {Layout::Belgian,        '@',    {{}, {0x03, AltGr}}},
        {Layout::Belgian,        '\xEA', {{0x1A, 0}, {0x12, 0}}},
        {Layout::Belgian,        '$',    {{}, {0x1B, 0}}},
        {Layout::SwissFrench,    '\xA7', {{}, {0x29, 0}}},           // §
        {Layout::SwissFrench,    'z',    {{}, {0x15, 0}}},
        {Layout::SwissFrench,    'y',    {{}, {0x2C, 0}}},
        {Layout::SwissFrench,    '\xE9', {{}, {0x27, 0}}},
        {Layout::SwissFrench,    '1',    {{}, {0x02, 0}}},
        {Layout::SwissFrench,    '^',    {{0x0D, 0}, {0x39, 0}}},    // the dead circumflex, then the space
        {Layout::CanadianFrench, 'q',    {{}, {0x10, 0}}},
        {Layout::CanadianFrench, '\xE9', {{}, {0x35, 0}}},
        {Layout::CanadianFrench, '\xEA', {{0x1A, 0}, {0x12, 0}}},
        // clang-format on
    };
    for (const Case &c : cases)
        EXPECT_EQ(layouts::TableOf(c.On)[static_cast<unsigned char>(c.Character)], c.Expected)
            << Name(c.On) << ": character " << int(static_cast<unsigned char>(c.Character));
    EXPECT_FALSE(layouts::TableOf(Layout::CanadianFrench)[0x80].Typeable()) << "no euro on the Canadian keyboard";
}

// A new learner's keyboard is the desktop's when the program knows it: the keyboard itself, or a variant that types
// its letters and digits on the same keys, as the X keyboard data has them now. Any other is unknown.
TEST(KeyboardLayouts, TheDesktopsKeyboardByItsNames)
{
    struct Case {
        const char *Name;
        const char *Variant;
        std::optional<Layout> Expected;
    } cases[] = {
        {"fr", "", Layout::FrenchAzerty},
        {"fr", "afnor", Layout::FrenchAfnor},
        {"fr", "bepo", Layout::Bepo},
        {"be", "", Layout::Belgian},
        {"ch", "fr", Layout::SwissFrench},
        {"ca", "fr", Layout::CanadianFrench},
        {"ca", "", Layout::CanadianFrench},
        {"fr", "latin9", Layout::FrenchAzerty},
        {"fr", "oss", Layout::FrenchAzerty},
        {"fr", "oss_nodeadkeys", Layout::FrenchAzerty},
        {"fr", "nodeadkeys", Layout::FrenchAzerty},
        {"fr", "mac", Layout::FrenchAzerty},
        {"fr", "bepo_latin9", Layout::Bepo},
        {"fr", "bepo_afnor", Layout::Bepo},
        {"be", "oss", Layout::Belgian},
        {"be", "iso-alternate", Layout::Belgian},
        {"be", "nodeadkeys", Layout::Belgian},
        {"ch", "fr_nodeadkeys", Layout::SwissFrench},
        {"ch", "fr_mac", Layout::SwissFrench},
        {"ca", "fr-legacy", Layout::CanadianFrench},
        {"ca", "multix", Layout::CanadianFrench},
        {"us", "", std::nullopt},
        {"de", "", std::nullopt},
        {"ch", "", std::nullopt}, // Swiss German: ü ö ä where the French has è é à
        {"ch", "legacy", std::nullopt},
        {"fr", "dvorak", std::nullopt},
        {"fr", "bre", std::nullopt}, // Breton: z and w swapped
        {"fr", "us", std::nullopt},
        {"ca", "fr-dvorak", std::nullopt},
        {"ca", "eng", std::nullopt},
        {"be", "unknown", std::nullopt},
        {"", "", std::nullopt},
    };
    for (const Case &c : cases) {
        const std::string names = layouts::NamesText(c.Name, c.Variant);
        EXPECT_EQ(layouts::FromDesktopNames(c.Name, c.Variant), c.Expected) << names;
        if (!c.Expected)
            continue;
        const layouts::TypingTable desktop = layoutgen::ReadTable(c.Name, c.Variant);
        const layouts::TypingTable &known = layouts::TableOf(*c.Expected);
        // The letters and digits each key gives by itself or with Shift, the accented ones too.
        for (const char ch : std::string("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
                                         "\xE0\xE7\xE8\xE9\xF9\xC9\xC0\xC8")) {
            const layouts::Typing &typing = known[static_cast<unsigned char>(ch)];
            if (typing.Typeable() && typing.Dead.Key == 0 && typing.Base.Level <= Shift) {
                EXPECT_EQ(desktop[static_cast<unsigned char>(ch)], typing) << names << ": " << ch;
            }
        }
    }
    EXPECT_EQ(layouts::NamesText("ch", "fr_nodeadkeys"), "ch(fr_nodeadkeys)");
    EXPECT_EQ(layouts::NamesText("us", ""), "us");
}

// The desktop's first keyboard from the X server's names, and a learner's choice as their folder keeps it.
TEST(KeyboardLayouts, TheDesktopsNamesAndTheLearnersChoiceRead)
{
    using namespace std::string_literals;
    using Names = std::optional<std::pair<std::string, std::string>>;
    EXPECT_EQ(layouts::FirstDesktopLayout("evdev\0pc105\0fr,us\0bepo,\0grp:alt_shift_toggle\0"s),
              Names({"fr", "bepo"}));
    EXPECT_EQ(layouts::FirstDesktopLayout("evdev\0pc105\0ch\0fr\0\0"s), Names({"ch", "fr"}));
    EXPECT_EQ(layouts::FirstDesktopLayout("evdev\0pc105\0be\0\0\0"s), Names({"be", ""}));
    EXPECT_EQ(layouts::FirstDesktopLayout("evdev\0pc105\0fr\0"s), std::nullopt) << "cut short";
    EXPECT_EQ(layouts::FirstDesktopLayout(""), std::nullopt);

    for (const layouts::Description &description : layouts::Descriptions)
        EXPECT_EQ(layouts::ParseChoice(layouts::ChoiceText(description.Id)), description.Id) << description.Name;
    EXPECT_EQ(layouts::ChoiceText(Layout::SwissFrench), "ch(fr)\n");
    EXPECT_EQ(layouts::ChoiceText(Layout::Belgian), "be\n");
    for (const char *damaged : {"", "fr", "fr(bepo)", "us\n", "fr(bepo)\n\n", "FR\n"})
        EXPECT_EQ(layouts::ParseChoice(damaged), std::nullopt) << damaged;
}
