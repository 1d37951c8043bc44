#include "course/Course.h"

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

constexpr int FirstGoal = 60;
constexpr int LastGoal = 150;

std::vector<Lesson> MakeLessons()
{
    std::vector<Lesson> lessons;
    std::string keys;
    const int count = static_cast<int>(std::size(Steps));
    for (int i = 0; i < count; ++i) {
        keys += Steps[i].NewKeys;
        Lesson lesson;
        lesson.Number = i + 1;
        lesson.Title = Steps[i].Title;
        lesson.NewKeys = Steps[i].NewKeys;
        lesson.Keys = keys;
        // The goal rises steadily, in whole characters per minute.
        lesson.GoalSpeed = FirstGoal + ((LastGoal - FirstGoal) * i + (count - 1) / 2) / (count - 1);
        lesson.Kind = Steps[i].Kind;
        lessons.push_back(std::move(lesson));
    }
    return lessons;
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

int FirstLessonAllowing(std::string_view text)
{
    for (const Lesson &lesson : Lessons())
        if (lesson.AllowsAll(text))
            return lesson.Number;
    return 0;
}

} // namespace course
