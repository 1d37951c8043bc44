#include <gtest/gtest.h>

#include "records/CourseProgress.h"

TEST(CourseProgress, ReadsBackWhatItWritesAndRefusesAnythingElse)
{
    const std::string good = "1;80.5;97.0;2026-12-01\n12;151.2;100.0;2026-12-07\n";
    const auto read = CourseProgress::Parse(good, 26);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Format(), good);
    EXPECT_EQ(read->Of(12)->Date, "2026-12-07");
    EXPECT_EQ(read->Of(2), nullptr);
    EXPECT_TRUE(CourseProgress::Parse("", 26)) << "no lesson tried yet";

    const char *const damaged[] = {
        "1;80.5;97.0;2026-12-01",                           // no line feed at the end
        "1;80.5;97.0\n",                                    // a field missing
        "1;80.5;97.0;2026-12-01;x\n",                       // one too many
        "0;80.5;97.0;2026-12-01\n",                         // no lesson 0
        "27;80.5;97.0;2026-12-01\n",                        // nor past the last
        "01;80.5;97.0;2026-12-01\n",                        // not as written
        "1;80,5;97.0;2026-12-01\n",                         // a decimal comma
        "1;80.5;100.1;2026-12-01\n",                        // above 100 %
        "1;-1.0;97.0;2026-12-01\n",                         // a sign
        "1;80.5;97.0;2026-13-01\n",                         // no such month
        "1;80.5;97.0;01/12/2026\n",                         // another date form
        "1;80.5;97.0;2026-12-01\r\n",                       // a carriage return
        "1;80.5;97.0;2026-12-01\n1;90.0;97.0;2026-12-02\n", // a lesson twice
        "\xEF\xBB\xBF"
        "1;80.5;97.0;2026-12-01\n", // a byte-order mark
    };
    for (const char *text : damaged)
        EXPECT_FALSE(CourseProgress::Parse(text, 26)) << text;
}

TEST(CourseProgress, KeepsTheBestAttemptAndKnowsWhenALessonIsDone)
{
    CourseProgress progress;
    struct Attempt {
        double Speed, Success;
        const char *Date;
        double KeptSpeed, KeptSuccess;
    };
    // Reaching 94 % beats any attempt below it; then the faster wins, below it the more accurate.
    const Attempt attempts[] = {
        {50, 80, "2026-12-01", 50, 80}, {40, 90, "2026-12-02", 40, 90},     {45, 85, "2026-12-03", 40, 90},
        {30, 95, "2026-12-04", 30, 95}, {200, 93.99, "2026-12-05", 30, 95}, {70.06, 94, "2026-12-06", 70, 94},
        {60, 99, "2026-12-07", 70, 94},
    };
    for (const Attempt &a : attempts) {
        progress.Record(1, a.Speed, a.Success, a.Date, 94);
        EXPECT_DOUBLE_EQ(progress.Of(1)->Speed, a.KeptSpeed) << a.Date;
        EXPECT_DOUBLE_EQ(progress.Of(1)->Success, a.KeptSuccess) << a.Date;
    }
    EXPECT_EQ(progress.Of(1)->Date, "2026-12-06");
    EXPECT_TRUE(progress.Done(1, 70, 94));
    EXPECT_FALSE(progress.Done(1, 71, 94));
    EXPECT_FALSE(progress.Done(2, 0, 0)) << "never tried";
    EXPECT_EQ(progress.Format(), "1;70.0;94.0;2026-12-06\n") << "figures kept as they are shown, never rounded up";
}
