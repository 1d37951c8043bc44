#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "guide/KeyDescription.h"
#include "guide/KeyMap.h"
#include "guide/LayoutKeys.h"
#include "platform/input/KeyboardLayout.h"
#include "platform/input/KeyboardLayouts.h"

using namespace keymap;

namespace {

constexpr int None = -1;

// The keys of the main block, top row to bottom row, characters in Windows-1252. `finger` is the picture laid
// over the key, `second` the one drawn after it (the space bar only), `unpictured` the characters of the key
// that get no picture at all.
struct Key {
    KeyPoint centre;
    const char *chars;
    int finger;
    int second = None;
    const char *unpictured = "";
};

// clang-format off
const Key Keys[] = {
    {{30, 97}, "\xB2", None},                     // ²
    {{57, 97}, "&1", AuriculaireG},
    {{83, 97}, "\xE9" "2", AuriculaireG},         // é
    {{110, 97}, "\"3", AnnuaireG},
    {{137, 97}, "'4", MajeurG},
    {{164, 97}, "(5", IndexG},
    {{190, 97}, "-6", IndexG},
    {{217, 97}, "\xE8" "7", IndexD},              // è
    {{244, 97}, "_8", IndexD},
    {{271, 97}, "\xE7" "9", MajeurD},             // ç
    {{297, 97}, "\xE0" "0", AnnuaireD},           // à
    {{324, 97}, ")\xB0", AuriculaireD},           // °
    {{350, 97}, "=+", AuriculaireD},
    {{70, 124}, "aA\xE2\xE4", AuriculaireG},      // â ä
    {{96, 124}, "zZ", AnnuaireG},
    {{124, 124}, "eE\xEA\xEB", MajeurG},          // ê ë
    {{150, 124}, "rR", IndexG},
    {{176, 124}, "tT", IndexG},
    {{203, 124}, "yY", IndexD},
    {{230, 124}, "uU\xFB\xFC", IndexD},           // û ü
    {{256, 124}, "iI\xEE\xEF", MajeurD},          // î ï
    {{283, 124}, "oO\xF4\xF6", AnnuaireD},        // ô ö
    {{310, 124}, "pP", AuriculaireD},
    {{336, 124}, "^\xA8", AuriculaireD},          // ¨
    {{364, 124}, "$\xA3", AuriculaireD},          // £
    {{77, 151}, "qQ", AuriculaireG},
    {{103, 151}, "sS", AnnuaireG},
    {{129, 151}, "dD", MajeurG},
    {{157, 151}, "fF", IndexG},
    {{183, 151}, "gG", IndexG},
    {{209, 151}, "hH", IndexD},
    {{236, 151}, "jJ", IndexD},
    {{262, 151}, "kK", MajeurD},
    {{289, 151}, "lL", AnnuaireD},
    {{316, 151}, "mM", AuriculaireD},
    {{342, 151}, "\xF9%", AuriculaireD},          // ù
    {{371, 151}, "*\xB5", AuriculaireD},          // µ
    {{90, 177}, "wW", AuriculaireG},
    {{116, 177}, "xX", AnnuaireG},
    {{144, 177}, "cC", MajeurG},
    {{170, 177}, "vV", IndexG},
    {{196, 177}, "bB", IndexG},
    {{223, 177}, "nN", IndexD},
    {{250, 177}, ",?", MajeurD, None, "?"},
    {{276, 177}, ";.", AnnuaireD},
    {{303, 177}, ":/", AuriculaireD},
    {{330, 177}, "!\xA7", AuriculaireD},          // §
    {{200, 202}, " ", PouceG, PouceD},
};
// clang-format on

const struct {
    unsigned char code;
    KeyPoint centre;
} NamedKeys[] = {
    {8, {394, 97}}, {13, {400, 137}}, {16, {378, 177}}, {17, {37, 203}}, {18, {107, 203}}, {20, {34, 177}},
};

const Placement Offsets[] = {
    {PouceG, -200, -76},      {PouceD, 0, -76},          {IndexG, -108, -30},   {IndexD, -86, -28},
    {MajeurG, -76, -38},      {MajeurD, -119, -38},      {AnnuaireG, -55, -56}, {AnnuaireD, -140, -57},
    {AuriculaireG, -14, -86}, {AuriculaireD, -181, -86},
};

constexpr std::string_view Shifted = "%+./0123456789?ABCDEFGHIJKLMNOPQRSTUVWXYZ\xA3\xA7\xA8\xB0\xB5";
constexpr std::string_view DeadKeyed = "\xE2\xE4\xEA\xEB\xEE\xEF\xF4\xF6\xFB\xFC";
constexpr std::string_view Outlined =
    "!\"$&'()*,-0123456789:;<=ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz\xE0\xE7\xE8\xE9\xF9";

bool Has(std::string_view set, int code)
{
    return code != 0 && set.find(static_cast<char>(code)) != std::string_view::npos;
}

Placement OffsetOf(int item)
{
    for (const Placement &p : Offsets)
        if (p.Item == item)
            return p;
    ADD_FAILURE() << "no offset for item " << item;
    return {};
}

struct Expected {
    KeyPoint centre = NoKey;
    int pictures[2] = {None, None};
};

Expected ExpectedFor(int code)
{
    Expected e;
    for (const auto &named : NamedKeys)
        if (named.code == code)
            e.centre = named.centre;
    for (const Key &key : Keys)
        if (Has(key.chars, code)) {
            e.centre = key.centre;
            if (!Has(key.unpictured, code))
                e.pictures[0] = key.finger, e.pictures[1] = key.second;
        }
    return e;
}

const KeyCentres &Centres()
{
    static const KeyCentres centres = [] {
        KeyCentres c;
        c.Fill();
        return c;
    }();
    return centres;
}

int Count(bool (*set)(unsigned char))
{
    int n = 0;
    for (int code = 0; code < 256; ++code)
        n += set(static_cast<unsigned char>(code));
    return n;
}

} // namespace

// Every code 0..255: its centre, its finger pictures and its marks. Codes that no table lists have no key.
class EveryCode : public testing::TestWithParam<int>
{};

TEST_P(EveryCode, MatchesTheKeyTables)
{
    const int code = GetParam();
    const auto ch = static_cast<unsigned char>(code);
    const Expected e = ExpectedFor(code);

    EXPECT_EQ(Centres()(ch), e.centre) << "got (" << Centres()(ch).x << ", " << Centres()(ch).y << ")";

    const Placements got = FingerPlacement(ch);
    const int count = (e.pictures[0] != None) + (e.pictures[1] != None);
    ASSERT_EQ(got.Count, count);
    for (int i = 0; i < count; ++i) {
        const Placement want = OffsetOf(e.pictures[i]);
        EXPECT_EQ(got.Items[i].Item, want.Item) << "placement " << i;
        EXPECT_EQ(got.Items[i].dx, want.dx) << "placement " << i;
        EXPECT_EQ(got.Items[i].dy, want.dy) << "placement " << i;
    }

    EXPECT_EQ(ShiftCharacters(ch), Has(Shifted, code));
    EXPECT_EQ(DeadKeyCharacters(ch), Has(DeadKeyed, code));
    EXPECT_EQ(OutlinedCharacters(ch), Has(Outlined, code));
}

INSTANTIATE_TEST_SUITE_P(KeyMap, EveryCode, testing::Range(0, 256),
                         [](const testing::TestParamInfo<int> &info) { return "Code" + std::to_string(info.param); });

TEST(KeyMap, EachFingerHasItsOwnOffset)
{
    for (const Placement &want : Offsets) {
        SCOPED_TRACE("item " + std::to_string(want.Item));
        const Placement got = FingerOffset(want.Item);
        EXPECT_EQ(got.Item, want.Item);
        EXPECT_EQ(got.dx, want.dx);
        EXPECT_EQ(got.dy, want.dy);
    }
    EXPECT_EQ(FingerPictureWidth, 196);
    EXPECT_EQ(FingerPictureHeight, 189);
}

TEST(KeyMap, SetsHaveTheirSizes)
{
    EXPECT_EQ(Count(ShiftCharacters), 46);
    EXPECT_EQ(Count(DeadKeyCharacters), 10);
    EXPECT_EQ(Count(OutlinedCharacters), 82);
}

// The main block is every key above the space bar, in the same order.
TEST(KeyMap, KeyRowsListTheMainBlockInOrder)
{
    const auto &rows = KeyRows();
    ASSERT_EQ(std::size(Keys) - 1, rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        EXPECT_EQ(rows[i].Centre, Keys[i].centre);
        EXPECT_EQ(std::string(rows[i].Characters), std::string(Keys[i].chars));
    }
}

TEST(KeyMapEdgeCases, PictureCornerIsCentrePlusOffset)
{
    const KeyPoint e = Centres()(0xE9); // é
    const Placement p = FingerPlacement(0xE9).Items[0];
    EXPECT_EQ(p.Item, AuriculaireG);
    EXPECT_EQ((KeyPoint{e.x + p.dx, e.y + p.dy}), (KeyPoint{69, 11}));

    const KeyPoint space = Centres()(' ');
    const Placements thumbs = FingerPlacement(' ');
    ASSERT_EQ(thumbs.Count, 2);
    EXPECT_EQ((KeyPoint{space.x + thumbs.Items[0].dx, space.y + thumbs.Items[0].dy}), (KeyPoint{0, 126}));
    EXPECT_EQ((KeyPoint{space.x + thumbs.Items[1].dx, space.y + thumbs.Items[1].dy}), (KeyPoint{200, 126}));
}

TEST(KeyMapEdgeCases, MarksDoNotFollowTheKeys)
{
    // é and 2 share a key and its picture; only 2 needs Shift.
    EXPECT_EQ(Centres()(0xE9), Centres()('2'));
    EXPECT_EQ(FingerPlacement(0xE9).Items[0].Item, FingerPlacement('2').Items[0].Item);
    EXPECT_FALSE(ShiftCharacters(0xE9));
    EXPECT_TRUE(ShiftCharacters('2'));

    // ? has a key and Shift but neither picture nor outline.
    EXPECT_EQ(Centres()('?'), (KeyPoint{250, 177}));
    EXPECT_EQ(FingerPlacement('?').Count, 0);
    EXPECT_FALSE(OutlinedCharacters('?'));

    // â and ä sit on the A key and mark the ^ key instead of Shift.
    for (unsigned char vowel : {0xE2, 0xE4}) {
        EXPECT_EQ(Centres()(vowel), Centres()('a'));
        EXPECT_TRUE(DeadKeyCharacters(vowel));
        EXPECT_FALSE(ShiftCharacters(vowel) || OutlinedCharacters(vowel));
    }
    EXPECT_EQ(Centres()('^'), (KeyPoint{336, 124}));

    // ^ and ¨ get only the little finger here; ¨ needs Shift, neither is outlined or a dead-key mark.
    for (unsigned char c : {0x5E, 0xA8}) { // ^ and ¨
        EXPECT_EQ(FingerPlacement(c).Count, 1);
        EXPECT_EQ(FingerPlacement(c).Items[0].Item, AuriculaireD);
        EXPECT_FALSE(OutlinedCharacters(c) || DeadKeyCharacters(c));
    }
    EXPECT_FALSE(ShiftCharacters('^'));
    EXPECT_TRUE(ShiftCharacters(0xA8));

    // < is outlined although it has no key, so its outline lands off the surface; # has neither.
    EXPECT_EQ(Centres()('<'), NoKey);
    EXPECT_TRUE(OutlinedCharacters('<'));
    EXPECT_EQ(Centres()('#'), NoKey);
    EXPECT_FALSE(OutlinedCharacters('#'));
    EXPECT_FALSE(OutlinedCharacters(' '));
}

TEST(KeyDescription, NamesTheCharacterAndTheFingerOfItsKey)
{
    // `written`: how the lists of keys write the character (Windows-1252), the space by name; checked where given.
    struct Row {
        unsigned char ch;
        const char *expected;
        const char *written = nullptr;
    };
    const Row rows[] = {
        {'A', "A majuscule, auriculaire gauche", "A"},
        {'j', "j, index droit"},
        {' ', "espace, pouce", "espace"},
        {'?', "point d'interrogation, Maj, majeur droit", "?"},
        {0xEA, "e accent circonflexe, accent circonflexe puis e, majeur gauche", "\xEA"},
        {0xEB, "e tréma, tréma (Maj) puis e, majeur gauche"},
        {0xC0, "A accent grave majuscule, accent grave (AltGr) puis A majuscule, auriculaire gauche"},
        {'~', "tilde, AltGr puis espace, auriculaire gauche"},
        {0xE7, "c cédille, majeur droit"},
        {'5', "5, Maj, index gauche"},
        {0xB2, "exposant deux, auriculaire gauche", "\xB2"},
        {'@', "arobase, AltGr, annulaire droit", "@"},
        {0x80, "euro, AltGr, majeur gauche", "\x80"},
        {0x9C, "", "\x9C"},
        {0xC9, ""},
        {0, ""},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(KeyDescription(row.ch), row.expected) << int(row.ch);
        if (row.written) {
            EXPECT_EQ(WrittenName(row.ch), row.written) << int(row.ch);
        }
    }
    EXPECT_EQ(WrittenNames("fj \x80", ", "), "f, j, espace, \x80");
    EXPECT_EQ(FingerName(PouceD), "pouce droit");
    EXPECT_EQ(FingerName(MainG), "");
    // Every character with a key has a name to say.
    for (int c = 1; c < 256; ++c) {
        if (HasKey(static_cast<unsigned char>(c))) {
            EXPECT_FALSE(CharacterName(static_cast<unsigned char>(c)).empty()) << c;
        }
    }
}

// The key figures of a finger sum the characters it presses: no character counts for two fingers but the space,
// which counts for both thumbs.
TEST(KeyMap, NoCharacterIsPressedByTwoFingersButTheSpaceByBothThumbs)
{
    const std::pair<int, std::string_view> anchors[] = {
        {IndexG, "f"}, {IndexD, "j"}, {AuriculaireG, "aq"}, {PouceG, " "}, {PouceD, " "}};
    for (const auto &[finger, characters] : anchors)
        for (const char c : characters)
            EXPECT_NE(FingerCharacters(finger).find(c), std::string::npos) << finger << " " << c;
    for (int ch = 1; ch < 256; ++ch) {
        const auto c = static_cast<unsigned char>(ch);
        int fingers = 0;
        for (int finger = MainG; finger <= AuriculaireD; ++finger)
            fingers += FingerCharacters(finger).find(static_cast<char>(c)) != std::string::npos;
        if (c == ' ')
            EXPECT_EQ(fingers, 2);
        else
            EXPECT_LE(fingers, HasKey(c) ? 1 : 0) << ch;
    }
}

// The physical keys are the French AZERTY's keys by scan code: each character the Windows tables type on a key of
// the main block finds there the centre and the finger the guide has always shown.
TEST(PhysicalKeys, AreTheFrenchKeysByScanCode)
{
    keymap::KeyCentres centres;
    centres.Fill();
    int checked = 0;
    for (int ch = 0x21; ch < 256; ++ch) {
        const auto c = static_cast<unsigned char>(ch);
        const std::uint16_t typed = kbdlayout::VkKeyScan(c);
        // The guide shows the dead key for ^, which AltGr also types elsewhere.
        if (!keymap::HasKey(c) || typed == kbdlayout::NoKey || (typed >> 8) == 6)
            continue;
        const keymap::PhysicalKey *key = keymap::KeyOfScan(kbdlayout::ScanCode(static_cast<std::uint8_t>(typed)));
        ASSERT_NE(key, nullptr) << ch;
        EXPECT_EQ(key->Centre, centres(c)) << ch;
        // The key left of 1 is the left little finger's, though the French guide shows none over its ².
        EXPECT_EQ(key->Finger, c == 0xB2 ? keymap::AuriculaireG : keymap::KeyFinger(c)) << ch;
        ++checked;
    }
    EXPECT_GT(checked, 90);
    EXPECT_EQ(keymap::KeyOfScan(0x39)->Centre, centres(' '));
}

// Every keyboard finds each of its main-block keys on the picture, and its home keys under the index fingers:
// f and j, but e and t on BÉPO.
TEST(PhysicalKeys, EveryKeyboardsKeysAreOnThePicture)
{
    using layouts::Layout;
    const std::pair<Layout, std::string> homes[] = {
        {Layout::FrenchAzerty, "fj"}, {Layout::FrenchAfnor, "fj"}, {Layout::Bepo, "et"},
        {Layout::Belgian, "fj"},      {Layout::SwissFrench, "fj"}, {Layout::CanadianFrench, "fj"},
    };
    for (const auto &[layout, home] : homes) {
        const layouts::TypingTable &table = layouts::TableOf(layout);
        const std::string name = layouts::DescriptionOf(layout).Name;
        for (int ch = 0x20; ch < 256; ++ch) {
            const layouts::Typing &typing = table[ch];
            if (typing.Typeable()) {
                EXPECT_NE(keymap::KeyOfScan(typing.Base.Key), nullptr) << name << ": " << ch;
            }
        }
        EXPECT_EQ(keymap::KeyOfScan(table[static_cast<unsigned char>(home[0])].Base.Key)->Finger, keymap::IndexG)
            << name;
        EXPECT_EQ(keymap::KeyOfScan(table[static_cast<unsigned char>(home[1])].Base.Key)->Finger, keymap::IndexD)
            << name;
    }
}

// On the French AZERTY, as the X keyboard data describes it, the guide's facts are those of the French tables for
// every character struck on one key without AltGr; the other keyboards show their own keys, marks and fingers.
TEST(LayoutKeys, AgreeWithTheFrenchGuideAndShowEachKeyboardsOwnKeys)
{
    using layouts::Layout;
    keymap::KeyCentres centres;
    centres.Fill();
    const keymap::LayoutKeys french(layouts::TableOf(Layout::FrenchAzerty));
    const layouts::TypingTable &frenchTable = layouts::TableOf(Layout::FrenchAzerty);
    int compared = 0;
    for (int ch = 0x20; ch < 256; ++ch) {
        const auto c = static_cast<unsigned char>(ch);
        const layouts::Typing &typing = frenchTable[c];
        // The question mark and the ² have no finger picture of their own on the French guide.
        if (!keymap::HasKey(c) || !typing.Typeable() || typing.Dead.Key || (typing.Base.Level & layouts::AltGrLevel) ||
            c == '?' || c == 0xB2)
            continue;
        const keymap::GuideFacts &facts = french.Of(c);
        EXPECT_EQ(facts.Centre, centres(c)) << ch;
        EXPECT_EQ(facts.Shift, keymap::ShiftCharacters(c)) << ch;
        const keymap::Placements expected = keymap::FingerPlacement(c);
        ASSERT_EQ(facts.Fingers.Count, expected.Count) << ch;
        for (int i = 0; i < expected.Count; ++i)
            EXPECT_EQ(facts.Fingers.Items[i].Item, expected.Items[i].Item) << ch;
        ++compared;
    }
    EXPECT_GT(compared, 80);

    const auto centreOf = [](std::uint8_t scan) { return keymap::KeyOfScan(scan)->Centre; };
    const keymap::LayoutKeys bepo(layouts::TableOf(Layout::Bepo));
    EXPECT_EQ(bepo.Of('E').Centre, centreOf(0x21)) << "BÉPO's E is under the left index finger";
    EXPECT_TRUE(bepo.Of('E').Shift);
    EXPECT_EQ(bepo.Of('E').Fingers.Items[0].Item, keymap::IndexG);
    EXPECT_TRUE(bepo.Of('e').Outlined);
    EXPECT_EQ(keymap::KeyDescription('e', bepo), "e, index gauche") << "what a screen reader hears";
    // "Mes touches" sums a finger's and a key's characters on the keyboard shown.
    const std::string leftIndex = bepo.FingerCharacters(keymap::IndexG);
    EXPECT_NE(leftIndex.find('e'), std::string::npos);
    EXPECT_EQ(leftIndex.find('f'), std::string::npos) << "BÉPO's f is under the right hand";
    const std::vector<std::string> bepoKeys = bepo.KeyCharacters();
    EXPECT_NE(std::find_if(bepoKeys.begin(), bepoKeys.end(),
                           [](const std::string &key) { return key.find('e') != std::string::npos; })
                  ->find('E'),
              std::string::npos)
        << "e and E are one key";
    const keymap::LayoutKeys swiss(layouts::TableOf(Layout::SwissFrench));
    EXPECT_EQ(swiss.Of(0xEA).DeadKey, centreOf(0x0D)) << "ê: the dead circumflex first";
    EXPECT_EQ(swiss.Of(0xEA).Centre, centreOf(0x12));
    EXPECT_FALSE(swiss.Of(0xEA).Outlined);
    EXPECT_TRUE(swiss.Of('^').ThumbOnSpace) << "the accent alone: its dead key, then the space bar";
    EXPECT_EQ(swiss.Of('^').Centre, centreOf(0x0D));
    const keymap::LayoutKeys afnor(layouts::TableOf(Layout::FrenchAfnor));
    EXPECT_TRUE(afnor.Of(0xC9).Shift) << "É: Shift and AltGr";
    EXPECT_FALSE(afnor.Of(0xC9).Outlined);
    EXPECT_EQ(keymap::LayoutKeys(layouts::TableOf(Layout::CanadianFrench)).Of(0x80).Centre, keymap::NoKey)
        << "no euro on the Canadian keyboard";
}

// Every character a line can hold on each keyboard (on the French AZERTY, what the program's own Windows layout
// types) has its way shown and said: a key on the picture and a finger over it, the AltGr mark where the character
// or its dead key takes AltGr, and a description that names the character, says AltGr and the dead key where they
// are struck, and ends on the finger of the key pressed.
TEST(GuideFacts, EveryCharacterALineCanHoldHasItsWayShownAndSaid)
{
    using layouts::Layout;
    const auto keyAt = [](KeyPoint centre) -> const PhysicalKey * {
        for (const PhysicalKey &key : PhysicalKeys())
            if (key.Centre == centre)
                return &key;
        return nullptr;
    };
    const auto endsWith = [](const std::string &text, const std::string &end) {
        return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
    };
    for (const layouts::Description &keyboard : layouts::Descriptions) {
        const bool french = keyboard.Id == Layout::FrenchAzerty;
        const layouts::TypingTable &table = french ? kbdlayout::Table() : layouts::TableOf(keyboard.Id);
        const LayoutKeys keys(table);
        int held = 0;
        for (int ch = 0x20; ch < 256; ++ch) {
            const auto c = static_cast<unsigned char>(ch);
            if (!(french ? kbdlayout::Types(c) : table[c].Typeable()))
                continue;
            ++held;
            SCOPED_TRACE(std::string(keyboard.Name) + ", code " + std::to_string(ch));
            const GuideFacts facts = GuideFactsOf(c, french ? nullptr : &keys);
            const PhysicalKey *key = keyAt(facts.Centre);
            ASSERT_NE(key, nullptr) << "a key on the picture";
            // The French guide has never laid a finger over ? and ², which share their keys with another sign.
            if (!french || (c != '?' && c != 0xB2)) {
                EXPECT_GT(facts.Fingers.Count, 0);
            }
            const layouts::Typing &way = table[c];
            const bool altGr = ((way.Base.Level | way.Dead.Level) & layouts::AltGrLevel) != 0;
            EXPECT_EQ(facts.AltGr, altGr);
            const std::string said = french ? KeyDescription(c) : KeyDescription(c, keys);
            const std::string finger = key->Scan == 0x39 ? "pouce" : FingerName(key->Finger);
            EXPECT_FALSE(CharacterName(c).empty());
            EXPECT_EQ(said.rfind(CharacterName(c) + ", ", 0), 0u) << said;
            EXPECT_TRUE(endsWith(said, ", " + finger)) << said;
            EXPECT_EQ(said.find("AltGr") != std::string::npos, altGr) << said;
            EXPECT_EQ(said.find(" puis ") != std::string::npos, way.Dead.Key != 0) << said;
        }
        EXPECT_GT(held, 140) << keyboard.Name;
    }

    const struct {
        Layout keyboard;
        unsigned char ch;
        const char *said;
    } rows[] = {
        {Layout::Bepo, 0xAB, "guillemet ouvrant, auriculaire gauche"},
        {Layout::Bepo, 0x9C, "e dans l'o, AltGr, index gauche"},
        {Layout::FrenchAfnor, 0xC9, "E accent aigu majuscule, AltGr, auriculaire gauche"},
        {Layout::CanadianFrench, '#', "dièse, auriculaire gauche"},
        {Layout::SwissFrench, 0xE8, "e accent grave, auriculaire droit"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(KeyDescription(row.ch, LayoutKeys(layouts::TableOf(row.keyboard))), row.said) << int(row.ch);
}
