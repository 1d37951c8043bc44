#include "course/Course.h"

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

// A key's character as a title writes it, in UTF-8 (the keys are Windows-1252 bytes): punctuation by its name.
std::string KeyName(unsigned char c)
{
    static const std::pair<unsigned char, const char *> named[] = {
        {' ', "l'espace"},  {',', "la virgule"},       {'.', "le point"},        {'\'', "l'apostrophe"},
        {'-', "le tiret"},  {';', "le point-virgule"}, {':', "les deux-points"}, {0x92, "l'apostrophe"},
        {0x9C, "\xC5\x93"}, {0x8C, "\xC5\x92"},        {0x80, "\xE2\x82\xAC"},
    };
    for (const auto &[key, name] : named)
        if (key == c)
            return name;
    if (c < 0x80)
        return std::string(1, static_cast<char>(c));
    // Latin-1 letters: the same code point, two bytes of UTF-8.
    return {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
}

// "e, t et l'espace": the keys as a title says them.
std::string KeysTitle(const std::string &keys)
{
    std::vector<std::string> names;
    for (const char c : keys)
        names.push_back(KeyName(static_cast<unsigned char>(c)));
    std::string title;
    for (std::size_t i = 0; i < names.size(); ++i)
        title += (i == 0 ? "" : i + 1 == names.size() ? " et " : ", ") + names[i];
    return title;
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

std::vector<Lesson> LessonsFor(const Keyboard &keyboard)
{
    std::vector<std::string> newKeys(std::size(Steps));
    std::string met;
    const auto bringIn = [&](unsigned char c, std::string &keys) {
        if (c != 0 && keyboard.Typeable(c) && met.find(static_cast<char>(c)) == std::string::npos) {
            met += static_cast<char>(c);
            keys += static_cast<char>(c);
        }
    };
    for (std::size_t i = 0; i < LetterLessons; ++i)
        for (const std::uint8_t scan : LetterKeys[i])
            if (scan != 0)
                bringIn(keyboard.Unshifted(scan), newKeys[i]);
    // Every letter by the end of the letter lessons: one this keyboard puts elsewhere comes with its row.
    for (std::uint8_t scan = 0x02; scan <= 0x56; ++scan) {
        const unsigned char c = keyboard.Unshifted(scan);
        if (c >= 'a' && c <= 'z')
            bringIn(c, newKeys[LessonOfRow(scan)]);
    }
    for (char c = 'a'; c <= 'z'; ++c)
        bringIn(static_cast<unsigned char>(c), newKeys[LetterLessons - 1]);
    std::vector<std::pair<std::string, std::string>> titledKeys;
    for (std::size_t i = 0; i < std::size(Steps); ++i) {
        if (i < LetterLessons) {
            titledKeys.emplace_back(KeysTitle(newKeys[i]), newKeys[i]);
            continue;
        }
        for (const char *c = Steps[i].NewKeys; *c; ++c)
            bringIn(static_cast<unsigned char>(*c), newKeys[i]);
        titledKeys.emplace_back(Steps[i].Title, newKeys[i]);
    }
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
