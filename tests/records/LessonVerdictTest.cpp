#include <gtest/gtest.h>

#include "records/LessonVerdict.h"

// The verdict at the edges of the goals: the figures are judged as the course keeps them (one decimal, cut), and
// what is shown never says a goal is reached when it is not.
TEST(LessonVerdict, AtTheGoalsEdges)
{
    const LessonGoal goal{"Leçon 1 : f et j", 89, 94};
    struct Case {
        long double Speed, Success;
        long long ShownSpeed, MissingSpeed, ShownSuccess, MissingSuccess;
        bool Passed;
    } cases[] = {
        // clang-format off
        {89, 94, 89, 0, 94, 0, true},
        {89.04L, 94.09L, 89, 0, 94, 0, true},       // cut to 89.0 and 94.0
        {88.96L, 94, 88, 1, 94, 0, false},          // 89.0 once rounded, but kept as 88.9
        {88.5L, 93.99L, 88, 1, 93, 1, false},       // a half goes to the even neighbour
        {77, 100, 77, 12, 100, 0, false},
        {150.5L, 62.5L, 150, 0, 62, 32, false},
        {0, 0, 0, 89, 0, 94, false},
        // clang-format on
    };
    for (const Case &c : cases) {
        const verdict::Verdict v = verdict::Judge(c.Speed, c.Success, goal);
        const std::string at =
            std::to_string(static_cast<double>(c.Speed)) + " / " + std::to_string(static_cast<double>(c.Success));
        EXPECT_EQ(v.Speed.Shown, c.ShownSpeed) << at;
        EXPECT_EQ(v.Speed.Missing, c.MissingSpeed) << at;
        EXPECT_EQ(v.Success.Shown, c.ShownSuccess) << at;
        EXPECT_EQ(v.Success.Missing, c.MissingSuccess) << at;
        EXPECT_EQ(v.Passed(), c.Passed) << at;
    }
    EXPECT_EQ(verdict::MissingSpeed(12), "il manque 12 caractères par minute");
    EXPECT_EQ(verdict::MissingSpeed(1), "il manque 1 caractère par minute");
    EXPECT_EQ(verdict::MissingSuccess(3), "il manque 3 % de réussite");
}

TEST(LessonVerdict, MostMissedKeysFirstThenInTheOrderMissed)
{
    const std::vector<Mistake> mistakes{{0, 1, 'k', 'l'}, {0, 4, ' ', 'j'}, {1, 0, 'd', 's'},
                                        {1, 3, 'd', 'f'}, {2, 2, ' ', 'n'}, {2, 5, 'a', 'z'}};
    EXPECT_EQ(verdict::MostMissed(mistakes, 3), " dk");
    EXPECT_EQ(verdict::MostMissed(mistakes, 10), " dka");
    EXPECT_EQ(verdict::MostMissed({}, 3), "");
}
