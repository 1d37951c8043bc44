#include <gtest/gtest.h>

#include "records/LessonAttempts.h"

namespace {

// Attempt n (1..59) of lesson 5: n minutes past midnight, at 100 + n characters per minute.
std::string When(int n)
{
    return std::string("2026-12-01 00:") + (n < 10 ? "0" : "") + std::to_string(n);
}
std::string Line(int n)
{
    return "5;" + When(n) + ';' + std::to_string(100 + n) + ".0;95.0;3\n";
}

} // namespace

TEST(LessonAttempts, ReadsBackWhatItWritesAndRefusesAnythingElse)
{
    const std::string good = "0;2026-12-01 09:05;60.5;91.2;12\n"
                             "3;2026-12-01 09:30;142.0;97.0;3\n"
                             "3;2026-11-30 23:59;150.1;100.0;0\n" // the clock may go back: the order is the file's
                             "26;2028-02-29 00:00;10000.0;0.0;999999\n";
    const auto read = LessonAttempts::Parse(good, 26);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Format(), good);
    ASSERT_EQ(read->Of(3).size(), 2u);
    EXPECT_EQ(read->Of(3)[1].When, "2026-11-30 23:59");
    EXPECT_DOUBLE_EQ(read->Of(3)[1].Speed, 150.1);
    EXPECT_EQ(read->Of(LessonAttempts::Drills)[0].Errors, 12);
    EXPECT_TRUE(read->Of(4).empty());
    EXPECT_TRUE(LessonAttempts::Parse("", 26)) << "no attempt yet";

    const char *const damaged[] = {
        "3;2026-12-01 09:30;142.0;97.0;3",                                    // no line feed at the end
        "3;2026-12-01 09:30;142.0;97.0\n",                                    // a field missing
        "3;2026-12-01 09:30;142.0;97.0;3;1\n",                                // one too many
        "27;2026-12-01 09:30;142.0;97.0;3\n",                                 // past the last lesson
        "-1;2026-12-01 09:30;142.0;97.0;3\n",                                 // a sign
        "03;2026-12-01 09:30;142.0;97.0;3\n",                                 // not as written
        "4;2026-12-01 09:30;142.0;97.0;3\n3;2026-12-01 09:31;142.0;97.0;3\n", // lessons out of order
        "3;2026-12-01;142.0;97.0;3\n",                                        // no time
        "3;2026-12-01 09:30:12;142.0;97.0;3\n",                               // seconds
        "3;2026-12-01T09:30;142.0;97.0;3\n",                                  // another form
        "3;2026-02-29 09:30;142.0;97.0;3\n",                                  // no such day that year
        "3;2026-12-01 24:00;142.0;97.0;3\n",                                  // no such hour
        "3;2026-12-01 09:60;142.0;97.0;3\n",                                  // no such minute
        "3;2026-12-01 09:30;142;97.0;3\n",                                    // no decimal
        "3;2026-12-01 09:30;142,0;97.0;3\n",                                  // a decimal comma
        "3;2026-12-01 09:30;10000.1;97.0;3\n",                                // faster than any typist
        "3;2026-12-01 09:30;142.0;100.1;3\n",                                 // above 100 %
        "3;2026-12-01 09:30;142.0;97.0;\n",                                   // no errors
        "3;2026-12-01 09:30;142.0;97.0;03\n",                                 // not as written
        "3;2026-12-01 09:30;142.0;97.0;1000000\n",                            // more than any lesson counts
        "3;2026-12-01 09:30;142.0;97.0;3\r\n",                                // a carriage return
        "\n",                                                                 // an empty line
    };
    for (const char *text : damaged)
        EXPECT_FALSE(LessonAttempts::Parse(text, 26)) << text;
}

// Each lesson keeps its latest fifty, whether they come one by one or from a file that holds more.
TEST(LessonAttempts, KeepsTheLatestFiftyOfEachLesson)
{
    LessonAttempts recorded;
    std::string file, latest;
    for (int n = 1; n <= 51; ++n) {
        EXPECT_TRUE(recorded.Record(5, {When(n), 100.0 + n, 95, 3}));
        file += Line(n);
        latest += n > 1 ? Line(n) : "";
    }
    ASSERT_TRUE(recorded.Record(LessonAttempts::Drills, {"2026-12-02 10:00", 80.25, 120, -4}));
    ASSERT_EQ(recorded.Of(5).size(), LessonAttempts::Kept);
    EXPECT_EQ(recorded.Of(5).front().When, "2026-12-01 00:02") << "the first let go";
    EXPECT_EQ(recorded.Format(), "0;2026-12-02 10:00;80.2;100.0;0\n" + latest) << "figures kept within range";

    const auto read = LessonAttempts::Parse(file, 26);
    ASSERT_TRUE(read) << "more than fifty is no damage";
    EXPECT_EQ(read->Format(), latest);

    EXPECT_FALSE(recorded.Record(-1, {"2026-12-02 10:00", 80, 90, 1}));
    EXPECT_FALSE(recorded.Record(5, {"2026-12-02", 80, 90, 1}));
    EXPECT_EQ(recorded.Of(5).back().When, "2026-12-01 00:51") << "nothing the file could not hold";
}
