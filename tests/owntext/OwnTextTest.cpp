#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <stdexcept>

#include "owntext/OwnText.h"

using namespace owntext;

namespace {

// The French AZERTY keyboard: printable ASCII and the accented letters and signs its keys and dead keys give.
bool Azerty(char32_t c)
{
    static const std::u32string others = U"éèàùçâêîôûäëïöüÿÀÈÙÂÊÎÔÛÄËÏÖÜ£§°²µ¤¨";
    return (c >= 0x20 && c < 0x7F) || others.find(c) != std::u32string::npos;
}

bool AzertyWithoutQuote(char32_t c)
{
    return c != '"' && Azerty(c);
}

std::size_t Characters(const std::string &text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char b) { return (static_cast<unsigned char>(b) & 0xC0) != 0x80; }));
}

std::vector<std::string> Words(const std::string &text)
{
    std::istringstream stream(text);
    std::vector<std::string> words;
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

} // namespace

TEST(OwnText, MakesEveryCharacterTypeable)
{
    struct Case {
        const char *Name;
        std::u32string Input;
        std::string Text;
        std::size_t Changed, Dropped;
        bool (*Keyboard)(char32_t) = Azerty;
    } cases[] = {
        // clang-format off
        {"apostrophes", U"l’été ‘a’ ‛b‚ 5′", "l'été 'a' 'b' 5'", 6, 0},
        {"quotes, the spaces inside kept", U"«\u00A0Oui\u00A0» “a” „b‟ 2″", "\" Oui \" \"a\" \"b\" 2\"", 9, 0},
        {"single guillemets", U"‹a›", "'a'", 2, 0},
        {"dashes and ellipsis", U"a–b—c‐d‑e‒f−g…", "a-b-c-d-e-f-g...", 7, 0},
        {"ligatures", U"œuvre Œil æ Æ", "oeuvre OEil ae AE", 4, 0},
        {"letters the keyboard lacks", U"École Ça Ñandú Øre straße Łódź ĳ", "Ecole Ca Nandu Ore strasse Lodz ij", 10, 0},
        {"letters the keyboard gives", U"déjà où ça Ê", "déjà où ça Ê", 0, 0},
        {"combining accents", U"e\u0301te\u0301 E\u0301 x\u0301", "été E x", 1, 1},
        {"emoji and other scripts", U"Bravo 👍🏽 ! 👨\u200D👩\u200D👧 🇫🇷 ❤\uFE0F α \uFFFD", "Bravo !", 0, 6},
        {"invisible characters", U"in\u00ADvi\u200Bsi\u200Dble\uFEFF\u0007\u2060!", "invisible!", 0, 0},
        {"spaces and tabs fold", U"  a \t b\u00A0\u00A0c\u2009d\u3000 ", "a b c d", 5, 0},
        {"line ends, blank lines", U"\r\n un \r\n\r\n\r\ndeux\rtrois\u2028quatre\u2029\n\ncinq \n",
         "un\ndeux\ntrois\nquatre\ncinq", 0, 0},
        {"a substitute the keyboard lacks", U"«a» “b”", "a b", 0, 4, AzertyWithoutQuote},
        {"empty", U"", "", 0, 0},
        // clang-format on
    };
    for (const Case &c : cases) {
        const Conversion conversion = MakeTypeable(c.Input, c.Keyboard);
        EXPECT_EQ(conversion.Text, c.Text) << c.Name;
        EXPECT_EQ(conversion.Changed, c.Changed) << c.Name;
        EXPECT_EQ(conversion.Dropped, c.Dropped) << c.Name;
    }
}

TEST(OwnText, ListsEachReplacementOnceInTheOrderMet)
{
    const Conversion conversion = MakeTypeable(U"’a’ «b» ’\tÉ", Azerty);
    EXPECT_EQ(conversion.Changed, 7u);
    const std::vector<std::pair<std::string, std::string>> expected{
        {"’", "'"}, {"«", "\""}, {"»", "\""}, {"\t", " "}, {"É", "E"}};
    EXPECT_EQ(conversion.Replacements, expected);
}

TEST(OwnText, DecodesAnyFile)
{
    using namespace std::string_literals;
    struct Case {
        const char *Name;
        std::string Bytes;
        std::u32string Text;
        Encoding From;
    } cases[] = {
        // clang-format off
        {"UTF-8", "été \xF0\x9F\x98\x80", U"été 😀", Encoding::Utf8},
        {"UTF-8 with its mark", "\xEF\xBB\xBF" "été", U"été", Encoding::Utf8WithMark},
        {"a bad byte after the mark", "\xEF\xBB\xBF" "a\xFF" "b", U"a\uFFFDb", Encoding::Utf8WithMark},
        {"UTF-16 little endian, a pair", "\xFF\xFE\xE9\x00t\x00\x3D\xD8\x00\xDE"s, U"ét😀", Encoding::Utf16LittleEndian},
        {"UTF-16 big endian, a lone surrogate, an odd byte", "\xFE\xFF\x00\xE9\xD8\x3D\x00t\x00"s, U"é\uFFFDt\uFFFD",
         Encoding::Utf16BigEndian},
        {"Windows-1252", "\xE9t\xE9 \x9C" "uvre \x92 \x80", U"été œuvre ’ €", Encoding::Windows1252},
        {"undefined Windows-1252 bytes", "a\x81\x8D\x8F\x90\x9D", U"a\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD", Encoding::Windows1252},
        {"an overlong form", "\xC0\xAF", U"À¯", Encoding::Windows1252},
        {"a surrogate in UTF-8", "\xED\xA0\x80", U"í\u00A0€", Encoding::Windows1252},
        {"past U+10FFFF", "\xF4\x90\x80\x80", U"ô\uFFFD€€", Encoding::Windows1252},
        {"a sequence cut short", "caf\xC3", U"cafÃ", Encoding::Windows1252},
        {"nothing", "", U"", Encoding::Utf8},
        // clang-format on
    };
    for (const Case &c : cases) {
        const Decoded decoded = Decode(c.Bytes);
        EXPECT_TRUE(decoded.Text == c.Text) << c.Name;
        EXPECT_EQ(decoded.From, c.From) << c.Name;
    }
}

TEST(OwnText, ReportsInOneFrenchSentence)
{
    Conversion many;
    many.Changed = 12;
    many.Dropped = 3;
    many.Replacements = {{"’", "'"}, {"«", "\""}, {"œ", "oe"}};
    Conversion one;
    one.Changed = 1;
    one.Dropped = 1;
    one.Replacements = {{"\u00A0", " "}};
    Conversion longList;
    longList.Changed = 9;
    longList.Replacements = {{"\t", " "},  {"’", "'"}, {"\u00A0", " "}, {"\u2009", " "},
                             {"…", "..."}, {"–", "-"}, {"é", "e"},      {"ß", "ss"}};
    Conversion leftOut;
    leftOut.Dropped = 2;

    Conversion onKeyboard;
    onKeyboard.Changed = 4;
    onKeyboard.Replacements = {{"«", "\""}, {"»", "\""}, {"É", "E"}};
    Conversion oneLeftOnKeyboard;
    oneLeftOnKeyboard.Dropped = 1;
    const Conversion none;

    // What was done to the text as kept, then what the learner's keyboard will do at each session.
    const struct {
        const Conversion &Kept, &OnKeyboard;
        const char *Sentence;
    } cases[] = {
        {none, none, "Le texte est repris tel quel."},
        {many, none,
         "Quel que soit le clavier, 12 caractères ont été remplacés (’ par ', « par \", œ par oe) et 3 caractères "
         "qu'aucune touche ne donne ont été laissés de côté."},
        {one, none,
         "Quel que soit le clavier, 1 caractère a été remplacé (l'espace insécable par une espace) et 1 caractère "
         "qu'aucune touche ne donne a été laissé de côté."},
        {longList, none,
         "Quel que soit le clavier, 9 caractères ont été remplacés (les tabulations par des espaces, ’ par ', les "
         "espaces spéciales par des espaces, … par ..., – par -, …)."},
        {leftOut, none, "Quel que soit le clavier, 2 caractères qu'aucune touche ne donne ont été laissés de côté."},
        {none, onKeyboard, "Sur votre clavier, 4 caractères seront remplacés (« par \", » par \", É par E)."},
        {one, oneLeftOnKeyboard,
         "Quel que soit le clavier, 1 caractère a été remplacé (l'espace insécable par une espace) et 1 caractère "
         "qu'aucune touche ne donne a été laissé de côté\u00A0; sur le vôtre, 1 caractère qu'il ne donne pas sera "
         "laissé "
         "de côté."},
        {leftOut, many,
         "Quel que soit le clavier, 2 caractères qu'aucune touche ne donne ont été laissés de côté\u00A0; sur le "
         "vôtre, "
         "12 caractères seront remplacés (’ par ', « par \", œ par oe) et 3 caractères qu'il ne donne pas seront "
         "laissés de côté."},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Report(c.Kept, c.OnKeyboard), c.Sentence);
}

// A session's lines are made typeable one by one: a line the keyboard gives nothing of is passed over, and the
// session ends just before the next line to type, so that the next one starts there.
TEST(OwnText, TakesASessionsLinesAsTheKeyboardTypesThem)
{
    // Lines of a text kept for every keyboard; the French AZERTY has neither ¡ nor ¿, nor « » or É.
    const std::vector<std::string> lines{"« Un »", "¡ ¿", "Deux ¡", "¿", "École", "¡"};
    const struct {
        const char *Name;
        std::size_t First, Count, End;
        std::vector<std::string> Lines;
    } cases[] = {
        {"each line by itself", 0, 1, 2, {"\" Un \""}},
        {"lines given nothing of are passed over", 0, 2, 4, {"\" Un \"", "Deux"}},
        {"up to the text's end", 1, 8, 6, {"Deux", "Ecole"}},
        {"nothing left to type", 5, 8, 6, {}},
        {"from past the end", 9, 8, 6, {}},
    };
    for (const auto &c : cases) {
        const Passage passage = TypeablePassage(lines, c.First, c.Count, Azerty);
        EXPECT_EQ(passage.First, std::min(c.First, lines.size())) << c.Name;
        EXPECT_EQ(passage.End, c.End) << c.Name;
        EXPECT_EQ(passage.Lines, c.Lines) << c.Name;
    }
}

TEST(OwnText, CutsLinesAtSpaces)
{
    const std::string word90(90, 'x');
    struct Case {
        const char *Name;
        std::string Text;
        std::size_t Shortest, Longest;
        std::vector<std::string> Lines;
    } cases[] = {
        {"filled up to the longest", "aa bb cc dd ee", 5, 8, {"aa bb cc", "dd ee"}},
        {"a paragraph's end ends its line", "un deux\ntrois", 1, 70, {"un deux", "trois"}},
        {"a word too long stands alone",
         "court " + word90 + " fin de ligne",
         40,
         70,
         {"court", word90, "fin de ligne"}},
        {"no short line where another cut avoids it",
         "aa bbb ccc dd eeeeeeeee",
         6,
         10,
         {"aa bbb", "ccc dd", "eeeeeeeee"}},
        {"characters, not bytes", "éééé éé à", 1, 7, {"éééé éé", "à"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CutLines(c.Text, c.Shortest, c.Longest), c.Lines) << c.Name;
    EXPECT_THROW(CutLines("a", 10, 5), std::invalid_argument);
    EXPECT_THROW(CutLines("a", 0, 0), std::invalid_argument);
}

// A long text of words of 1 to 15 letters, some accented, in paragraphs: every line within the bounds but a
// paragraph's last, and the paragraphs given back whole by joining their lines.
TEST(OwnText, CutsALongTextWithinBoundsLosingNothing)
{
    std::mt19937 random(7);
    std::vector<std::string> paragraphs;
    for (int p = 0; p < 60; ++p) {
        std::string paragraph;
        const int words = 1 + static_cast<int>(random() % 120);
        for (int w = 0; w < words; ++w) {
            if (w > 0)
                paragraph += ' ';
            const int letters = 1 + static_cast<int>(random() % 15);
            for (int l = 0; l < letters; ++l)
                paragraph += random() % 7 == 0 ? "é" : std::string(1, static_cast<char>('a' + random() % 26));
        }
        paragraphs.push_back(paragraph);
    }
    std::string text;
    for (const std::string &paragraph : paragraphs)
        text += (text.empty() ? "" : "\n") + paragraph;

    const std::vector<std::string> lines = CutLines(text);
    std::string all;
    for (const std::string &line : lines)
        all += line + ' ';
    EXPECT_EQ(Words(all), Words(text));
    std::size_t next = 0;
    for (const std::string &paragraph : paragraphs) {
        std::string joined;
        while (joined.size() < paragraph.size() && next < lines.size()) {
            const std::string &line = lines[next++];
            joined += (joined.empty() ? "" : " ") + line;
            EXPECT_LE(Characters(line), 70u) << line;
            if (joined.size() < paragraph.size()) {
                EXPECT_GE(Characters(line), 40u) << line;
            }
            EXPECT_EQ(Words(line).size(), static_cast<std::size_t>(std::count(line.begin(), line.end(), ' ') + 1))
                << "single spaces inside, none around: " << line;
        }
        EXPECT_EQ(joined, paragraph);
    }
    EXPECT_EQ(next, lines.size());
}

TEST(OwnText, TitlesTheText)
{
    const std::string longFirst = "Il était une fois un petit prince qui habitait une planète à peine plus grande que "
                                  "lui, et qui avait besoin d’un ami.\nLa suite.";
    struct Case {
        const char *Name;
        std::string Text, FileName, Title;
    } cases[] = {
        {"a short first paragraph", "Le Petit Prince\nIl était une fois", "/home/lea/prince.txt", "Le Petit Prince"},
        {"else the file's name", longFirst, "/home/lea/Textes/Mon conte.v2.txt", "Mon conte.v2"},
        {"on one line", longFirst, "Textes/deux\nlignes\xE9.txt", "deux lignesé"},
        {"cut when too long", longFirst, std::string(80, 'x') + ".txt", std::string(59, 'x') + "…"},
        {"else the first words", longFirst, "", "Il était une fois un petit prince qui habitait une planète…"},
        {"a first word too long", std::string(70, 'y'), "", std::string(59, 'y') + "…"},
        {"never empty", "", "", "Sans titre"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TitleOf(c.Text, c.FileName), c.Title) << c.Name;
}
