#include "course/Course.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace course {
namespace {

struct Step {
    const char *Title;
    const char *NewKeys;
    TextKind Kind;
};

// clang-format off
// Each step adds its keys to all those before it. The capitals are typed with the Shift of the other hand; the
// digits take Shift on this keyboard; the circumflex and the diaeresis are dead keys, then the letter.
constexpr Step Steps[] = {
    {"f, j et l'espace",                       "fj ",                         TextKind::Drill},
    {"d et k",                                 "dk",                          TextKind::Drill},
    {"s et l",                                 "sl",                          TextKind::Drill},
    {"q et m",                                 "qm",                          TextKind::Drill},
    {"g et h",                                 "gh",                          TextKind::Drill},
    {"e et i",                                 "ei",                          TextKind::Words},
    {"r et u",                                 "ru",                          TextKind::Words},
    {"z et o",                                 "zo",                          TextKind::Words},
    {"a et p",                                 "ap",                          TextKind::Words},
    {"t et y",                                 "ty",                          TextKind::Words},
    {"w, x et c",                              "wxc",                         TextKind::Words},
    {"v, b et n",                              "vbn",                         TextKind::Words},
    {"La virgule",                             ",",                           TextKind::Words},
    {"Point-virgule, deux-points, ! et ?",     ";:!?",                        TextKind::Words},
    {"Les majuscules et le point",             "ABCDEFGHIJKLMNOPQRSTUVWXYZ.", TextKind::Sentences},
    {"é et è",                                 "\xE9\xE8",                    TextKind::Sentences},
    {"à, ç et ù",                              "\xE0\xE7\xF9",                TextKind::Sentences},
    {"L'apostrophe et le trait d'union",       "'-",                          TextKind::Sentences},
    {"L'accent circonflexe : â ê î ô û",       "\xE2\xEA\xEE\xF4\xFB",        TextKind::Sentences},
    {"Le tréma : ë ï ü",                       "\xEB\xEF\xFC",                TextKind::Sentences},
    {"Guillemets et parenthèses",              "\"()",                        TextKind::Sentences},
    {"Les chiffres de 1 à 5",                  "12345",                       TextKind::Sentences},
    {"Les chiffres de 6 à 0",                  "67890",                       TextKind::Sentences},
    {"Arobase, dièse et euro (AltGr)",         "@#\x80",                      TextKind::Sentences},
    {"Accolades et crochets (AltGr)",          "{}[]",                        TextKind::Sentences},
    {"Barre, antislash, tilde, accent grave",  "|\\~`",                       TextKind::Sentences},
};
// clang-format on

// Where the French AZERTY's letter lessons put their keys, by PC scan code, lesson by lesson; 0 ends a lesson's list.
constexpr std::uint8_t LetterKeys[][4] = {
    {0x21, 0x24, 0x39, 0}, {0x20, 0x25, 0, 0}, {0x1F, 0x26, 0, 0},    {0x1E, 0x27, 0, 0},
    {0x22, 0x23, 0, 0},    {0x12, 0x17, 0, 0}, {0x13, 0x16, 0, 0},    {0x11, 0x18, 0, 0},
    {0x10, 0x19, 0, 0},    {0x14, 0x15, 0, 0}, {0x2C, 0x2D, 0x2E, 0}, {0x2F, 0x30, 0x31, 0},
};
constexpr std::size_t LetterLessons = std::size(LetterKeys);

// A key's character as a title writes it, in UTF-8 (the keys are Windows-1252 bytes): punctuation and signs by
// their names.
std::string KeyName(unsigned char c)
{
    static const std::pair<unsigned char, const char *> named[] = {
        {' ', "l'espace"},
        {',', "la virgule"},
        {'.', "le point"},
        {'\'', "l'apostrophe"},
        {'-', "le trait d'union"},
        {';', "le point-virgule"},
        {':', "les deux-points"},
        {'"', "le guillemet"},
        {'@', "l'arobase"},
        {'#', "le di\xC3\xA8se"},
        {0x92, "l'apostrophe typographique"},
        {0x9C, "\xC5\x93"},
        {0x8C, "\xC5\x92"},
        {0x80, "l'euro"},
    };
    for (const auto &[key, name] : named)
        if (key == c)
            return name;
    if (c < 0x80)
        return std::string(1, static_cast<char>(c));
    // Latin-1 letters: the same code point, two bytes of UTF-8.
    return {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
}

// "e, t et l'espace": names as a title lists them.
std::string ListTitle(const std::vector<std::string> &names)
{
    std::string title;
    for (std::size_t i = 0; i < names.size(); ++i)
        title += (i == 0 ? "" : i + 1 == names.size() ? " et " : ", ") + names[i];
    return title;
}

std::string KeysTitle(const std::string &keys)
{
    std::vector<std::string> names;
    for (const char c : keys)
        names.push_back(KeyName(static_cast<unsigned char>(c)));
    return ListTitle(names);
}

bool IsCapital(unsigned char c)
{
    return c >= 'A' && c <= 'Z';
}

bool IsDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

constexpr int FirstGoal = 60;
constexpr int LastGoal = 150;

// The lessons from each step's title and new keys, in order.
std::vector<Lesson> MakeLessons(const std::vector<std::pair<std::string, std::string>> &titledKeys)
{
    std::vector<Lesson> lessons;
    std::string keys;
    const int count = static_cast<int>(std::size(Steps));
    for (int i = 0; i < count; ++i) {
        keys += titledKeys[static_cast<std::size_t>(i)].second;
        Lesson lesson;
        lesson.Number = i + 1;
        lesson.Title = titledKeys[static_cast<std::size_t>(i)].first;
        lesson.NewKeys = titledKeys[static_cast<std::size_t>(i)].second;
        lesson.Keys = keys;
        // The goal rises steadily, in whole characters per minute.
        lesson.GoalSpeed = FirstGoal + ((LastGoal - FirstGoal) * i + (count - 1) / 2) / (count - 1);
        lesson.Kind = Steps[i].Kind;
        lessons.push_back(std::move(lesson));
    }
    return lessons;
}

std::vector<Lesson> MakeLessons()
{
    std::vector<std::pair<std::string, std::string>> titledKeys;
    for (const Step &step : Steps)
        titledKeys.emplace_back(step.Title, step.NewKeys);
    return MakeLessons(titledKeys);
}

} // namespace

bool Lesson::AllowsAll(std::string_view text) const
{
    for (const char c : text)
        if (!Allows(static_cast<unsigned char>(c)))
            return false;
    return true;
}

const std::vector<Lesson> &Lessons()
{
    static const std::vector<Lesson> lessons = MakeLessons();
    return lessons;
}

int LessonCount()
{
    return static_cast<int>(Lessons().size());
}

const Lesson &LessonNumber(int number)
{
    if (number < 1 || number > LessonCount())
        throw std::out_of_range("no such lesson");
    return Lessons()[static_cast<std::size_t>(number - 1)];
}

namespace {

// The letter lesson that takes a letter the French places leave out: the last of its row's lessons (the upper row's
// lesson 10, the home row's lesson 5, the lower row's and any other's lesson 12), counted from 0.
std::size_t LessonOfRow(std::uint8_t scan)
{
    if (scan >= 0x10 && scan <= 0x1B)
        return 9;
    if (scan >= 0x1E && scan <= 0x2B)
        return 4;
    return LetterLessons - 1;
}

constexpr std::size_t CommaLesson = 12;
constexpr std::size_t AccentedLesson = 16; // à, ç et ù
constexpr std::size_t ApostropheLesson = 17;
constexpr unsigned char Apostrophe = 0x92;
constexpr unsigned char Ligature = 0x9C;
constexpr unsigned char OpeningQuote = 0xAB;
constexpr unsigned char ClosingQuote = 0xBB;

int CountKeys(std::string_view keys, const layouts::TypingTable &table)
{
    bool capitals = false;
    bool digits = false;
    std::vector<std::pair<std::uint8_t, std::uint8_t>> deadKeys;
    int count = 0;
    for (const char c : keys) {
        const auto u = static_cast<unsigned char>(c);
        const layouts::Typing &typing = table[u];
        if (IsCapital(u)) {
            capitals = true;
        } else if (IsDigit(u)) {
            digits = true;
        } else if (typing.Dead.Key != 0 && (u >= 0xC0 || (u >= 'a' && u <= 'z'))) {
            const std::pair<std::uint8_t, std::uint8_t> dead{typing.Dead.Key, typing.Dead.Level};
            if (std::find(deadKeys.begin(), deadKeys.end(), dead) == deadKeys.end())
                deadKeys.push_back(dead);
        } else {
            ++count;
        }
    }
    return count + capitals + digits + static_cast<int>(deadKeys.size());
}

// A title that names what a lesson brings on this keyboard: the French one where the lesson brings the same keys
// (without "(AltGr)" where AltGr types none of them here), else one made of the keys' names.
std::string TitleOf(std::size_t lesson, const std::string &keys, const layouts::TypingTable &table)
{
    if (lesson < LetterLessons)
        return KeysTitle(keys);
    if (keys == Steps[lesson].NewKeys) {
        std::string title = Steps[lesson].Title;
        const std::string altGr = " (AltGr)";
        const bool allAltGr = std::all_of(keys.begin(), keys.end(), [&](char c) {
            const layouts::Typing &typing = table[static_cast<unsigned char>(c)];
            return typing.Dead.Key == 0 && (typing.Base.Level & layouts::AltGrLevel) != 0;
        });
        if (const std::size_t at = title.find(altGr); at != std::string::npos && !allAltGr)
            title.erase(at, altGr.size());
        return title;
    }
    std::vector<std::string> names;
    if (std::any_of(keys.begin(), keys.end(), [](char c) { return IsCapital(static_cast<unsigned char>(c)); }))
        names.emplace_back("les majuscules");
    // Signs that go in pairs are named together, where the first of them comes.
    static const std::pair<std::string_view, const char *> pairs[] = {{"()", "les parenth\xC3\xA8ses"},
                                                                      {"{}", "les accolades"},
                                                                      {"[]", "les crochets"},
                                                                      {"\xAB\xBB", "les guillemets \xC2\xAB \xC2\xBB"}};
    std::string named;
    for (const char c : keys) {
        if (IsCapital(static_cast<unsigned char>(c)) || named.find(c) != std::string::npos)
            continue;
        const auto pair = std::find_if(std::begin(pairs), std::end(pairs), [&](const auto &candidate) {
            return candidate.first.find(c) != std::string_view::npos &&
                   keys.find(candidate.first[0]) != std::string::npos &&
                   keys.find(candidate.first[1]) != std::string::npos;
        });
        if (pair != std::end(pairs)) {
            names.emplace_back(pair->second);
            named += pair->first;
        } else {
            names.push_back(KeyName(static_cast<unsigned char>(c)));
        }
    }
    std::string title = ListTitle(names);
    // A title that starts with an article starts with a capital, as the French ones do.
    if (title.rfind("l", 0) == 0 && (title.size() > 1 && (title[1] == 'a' || title[1] == 'e' || title[1] == '\'')))
        title[0] = 'L';
    return title;
}

} // namespace

bool TeachesTypography(layouts::Layout layout)
{
    return layout == layouts::Layout::FrenchAfnor || layout == layouts::Layout::Bepo;
}

int NewKeyCount(const Lesson &lesson, layouts::Layout layout)
{
    return CountKeys(lesson.NewKeys, layouts::TableOf(layout));
}

std::vector<Lesson> LessonsFor(layouts::Layout layout)
{
    if (layout == layouts::Layout::FrenchAzerty)
        return Lessons();
    const layouts::TypingTable &table = layouts::TableOf(layout);
    std::vector<std::string> newKeys(std::size(Steps));
    std::string met;
    const auto bringIn = [&](unsigned char c, std::string &keys) {
        if (c != 0 && table[c].Typeable() && met.find(static_cast<char>(c)) == std::string::npos) {
            met += static_cast<char>(c);
            keys += static_cast<char>(c);
        }
    };
    const auto unshifted = [&](std::uint8_t scan) { return layouts::CharacterAt(table, {scan, 0}); };
    for (std::size_t i = 0; i < LetterLessons; ++i)
        for (const std::uint8_t scan : LetterKeys[i])
            if (scan != 0)
                bringIn(unshifted(scan), newKeys[i]);
    // Every letter by the end of the letter lessons: one this keyboard puts elsewhere comes with its row.
    for (std::uint8_t scan = 0x02; scan <= 0x56; ++scan) {
        const unsigned char c = unshifted(scan);
        if (c >= 'a' && c <= 'z')
            bringIn(c, newKeys[LessonOfRow(scan)]);
    }
    for (char c = 'a'; c <= 'z'; ++c)
        bringIn(static_cast<unsigned char>(c), newKeys[LetterLessons - 1]);
    for (std::size_t i = LetterLessons; i < std::size(Steps); ++i)
        for (const char *c = Steps[i].NewKeys; *c; ++c)
            bringIn(static_cast<unsigned char>(*c), newKeys[i]);

    // No lesson brings more than MostNewKeys: the last keys of a full one go on to the next.
    const auto count = [&](const std::string &keys) { return CountKeys(keys, table); };
    const auto spread = [&] {
        for (std::size_t i = 0; i + 1 < newKeys.size(); ++i) {
            while (count(newKeys[i]) > MostNewKeys) {
                // The last key whose leaving makes the lesson lighter (one capital among others does not).
                std::size_t at = newKeys[i].size();
                while (at > 0 && count(std::string(newKeys[i]).erase(at - 1, 1)) == count(newKeys[i]))
                    --at;
                if (at == 0)
                    break;
                newKeys[i + 1].insert(newKeys[i + 1].begin(), newKeys[i][at - 1]);
                newKeys[i].erase(at - 1, 1);
            }
        }
    };
    spread();

    // The typographer's signs: the ligature with the other accented letters, the curly apostrophe with the straight
    // one, the French quotation marks in the first lesson from the comma's on that brings nothing, or else has room.
    if (TeachesTypography(layout)) {
        bringIn(Ligature, newKeys[AccentedLesson]);
        bringIn(Apostrophe, newKeys[ApostropheLesson]);
        std::string quotes;
        quotes += static_cast<char>(OpeningQuote);
        quotes += static_cast<char>(ClosingQuote);
        if (table[OpeningQuote].Typeable() && table[ClosingQuote].Typeable() &&
            met.find_first_of(quotes) == std::string::npos) {
            auto room = std::find_if(newKeys.begin() + CommaLesson, newKeys.end(),
                                     [](const std::string &keys) { return keys.empty(); });
            if (room == newKeys.end())
                room = std::find_if(newKeys.begin() + CommaLesson, newKeys.end(),
                                    [&](const std::string &keys) { return count(keys + quotes) <= MostNewKeys; });
            if (room != newKeys.end()) {
                *room += quotes;
                met += quotes;
            }
        }
        spread();
    }

    // A lesson left with nothing new takes the first key of the next lesson that has several, or else the last of
    // the one before.
    for (std::size_t i = 0; i < newKeys.size(); ++i) {
        if (!newKeys[i].empty())
            continue;
        const auto movable = [](const std::string &keys) {
            return std::count_if(keys.begin(), keys.end(),
                                 [](char c) { return !IsCapital(static_cast<unsigned char>(c)); }) >= 2;
        };
        std::size_t from = i + 1;
        while (from < newKeys.size() && !movable(newKeys[from]))
            ++from;
        if (from < newKeys.size()) {
            const std::size_t at = newKeys[from].find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
            newKeys[i] += newKeys[from][at];
            newKeys[from].erase(at, 1);
            continue;
        }
        for (from = i; from-- > 0;) {
            if (movable(newKeys[from])) {
                const std::size_t at = newKeys[from].find_last_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
                newKeys[i] += newKeys[from][at];
                newKeys[from].erase(at, 1);
                break;
            }
        }
    }

    std::vector<std::pair<std::string, std::string>> titledKeys;
    for (std::size_t i = 0; i < newKeys.size(); ++i)
        titledKeys.emplace_back(TitleOf(i, newKeys[i], table), newKeys[i]);
    return MakeLessons(titledKeys);
}

int FirstLessonAllowing(std::string_view text)
{
    for (const Lesson &lesson : Lessons())
        if (lesson.AllowsAll(text))
            return lesson.Number;
    return 0;
}

} // namespace course
