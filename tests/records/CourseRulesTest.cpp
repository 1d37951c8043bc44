#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "course/Course.h"
#include "records/CourseProgress.h"
#include "records/CourseRules.h"
#include "records/KeyFigures.h"

// The course goes on at the first lesson whose goal has not been reached, wherever the learner stopped before.
TEST(NextLesson, TheFirstGoalNotReachedAndTheLastOnceAllAre)
{
    CourseProgress progress;
    EXPECT_EQ(courserules::NextLesson(progress), 1);
    const auto reach = [&](int lesson, double speed) {
        courserules::Record(progress, lesson, speed, course::GoalSuccess, "2026-12-08");
    };
    reach(1, course::LessonNumber(1).GoalSpeed);
    reach(3, course::LessonNumber(3).GoalSpeed);
    EXPECT_EQ(courserules::NextLesson(progress), 2) << "lesson 3 done does not skip lesson 2";
    reach(2, course::LessonNumber(2).GoalSpeed - 1);
    EXPECT_EQ(courserules::NextLesson(progress), 2) << "tried below its goal";
    for (int lesson = 1; lesson <= course::LessonCount(); ++lesson)
        reach(lesson, course::LessonNumber(lesson).GoalSpeed);
    EXPECT_EQ(courserules::NextLesson(progress), course::LessonCount());
}

// A drill uses the keys the learner has met: those typed, those of the furthest course lesson tried, and all of
// them once the exercises outside the course have been typed.
TEST(KeysMet, FromWhatTheLearnerHasTypedAndTried)
{
    CourseProgress progress;
    KeyFigures keys;
    keys.Record('z', 'z', true, std::nullopt);
    const std::string typedOnly = courserules::MetKeys(progress, keys);
    EXPECT_EQ(typedOnly.find_first_not_of("z "), std::string::npos) << typedOnly;

    progress.Record(3, 50, 90, "2026-12-07", course::GoalSuccess);
    const std::string tried = courserules::MetKeys(progress, keys);
    for (const char c : course::LessonNumber(3).Keys + "z")
        EXPECT_NE(tried.find(c), std::string::npos) << c;
    EXPECT_EQ(tried.find('w'), std::string::npos);

    keys.CountOutsideCourse();
    const std::string all = courserules::MetKeys(progress, keys);
    for (const char c : std::string("w!\xE9\xB2"))
        EXPECT_NE(all.find(c), std::string::npos) << c;
}

// The space is in every line of a drill: it is never one of the keys drilled, and figures of the space alone
// leave nothing to drill.
TEST(KeysToDrill, NeverTheSpaceAndAtMostFive)
{
    KeyFigures keys;
    keys.Record(' ', 'x', false, std::nullopt);
    EXPECT_EQ(courserules::WeakKeysToDrill(keys), "");
    for (const char c : std::string("abcdef"))
        keys.Record(static_cast<unsigned char>(c), c, true, std::nullopt);
    keys.Record('f', 'x', false, std::nullopt);
    EXPECT_EQ(courserules::WeakKeysToDrill(keys), "fabcd");
    // A course attempt brings back three of them, never the space, among its lesson's keys: lesson 3 has f, j, d,
    // k, s and l, not a, b or c.
    keys.Record('s', 'x', false, std::nullopt);
    EXPECT_EQ(courserules::WeakKeysOfLesson(keys, 3), "sfd");
}

// A lesson is reached at its own speed goal with the course's success goal; an attempt below the success goal
// never beats one that reached it, however fast.
TEST(Reached, TheLessonsSpeedGoalWithTheCoursesSuccessGoal)
{
    const int lesson = 5;
    const double goal = course::LessonNumber(lesson).GoalSpeed;
    CourseProgress progress;
    courserules::Record(progress, lesson, goal + 50, course::GoalSuccess - 1, "2026-12-08");
    EXPECT_FALSE(courserules::Reached(progress, lesson));
    courserules::Record(progress, lesson, goal, course::GoalSuccess, "2026-12-08");
    EXPECT_TRUE(courserules::Reached(progress, lesson));
    courserules::Record(progress, lesson, goal + 100, course::GoalSuccess - 1, "2026-12-08");
    EXPECT_TRUE(courserules::Reached(progress, lesson));
    EXPECT_EQ(progress.Of(lesson)->Speed, goal);
}
