#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lesson/LessonStopwatch.h"
#include "lesson/TypingSession.h"

namespace {

TypingSession Lesson(const std::string &target, Practice mode = Practice::Training)
{
    TypingSession session;
    session.PracticeMode = mode;
    session.TargetText = target;
    return session;
}

// Types each character; the chrono counts as started once a verdict asked for it.
std::vector<KeyVerdict> Type(TypingSession &session, const std::string &keys, bool &chronoRunning)
{
    std::vector<KeyVerdict> verdicts;
    for (char c : keys) {
        verdicts.push_back(JudgeKey(session, static_cast<unsigned char>(c), chronoRunning));
        if (verdicts.back().StartsChrono)
            chronoRunning = true;
        if (verdicts.back().FinishesLesson)
            chronoRunning = false;
    }
    return verdicts;
}

void ExpectInvariants(const TypingSession &s)
{
    EXPECT_EQ(s.KeyCount, s.CorrectCount + s.ErrorCount);
    EXPECT_EQ(s.CorrectCount, s.Cursor - 1);
    EXPECT_EQ(s.TypedText, s.TargetText.substr(0, static_cast<std::size_t>(s.Cursor - 1)));
}

} // namespace

TEST(TypingSession, TextTypedWithoutErrorFinishesWithFullSuccess)
{
    TypingSession s = Lesson("Bonjour");
    bool chrono = false;
    const auto verdicts = Type(s, "Bonjour", chrono);
    EXPECT_EQ(s.KeyCount, 7);
    EXPECT_EQ(s.CorrectCount, 7);
    EXPECT_EQ(s.ErrorCount, 0);
    EXPECT_EQ(s.TypedText, "Bonjour");
    EXPECT_TRUE(s.FullyTyped());
    EXPECT_EQ(s.CharacterAtCursor(), 0);
    EXPECT_TRUE(verdicts.front().StartsChrono);
    for (std::size_t i = 0; i + 1 < verdicts.size(); ++i)
        EXPECT_FALSE(verdicts[i].FinishesLesson) << i;
    EXPECT_TRUE(verdicts.back().FinishesLesson);
    EXPECT_FALSE(verdicts.back().StartsChrono);
    EXPECT_EQ(ComputeFigures(s, 1000).Success, 100);
    ExpectInvariants(s);
}

TEST(TypingSession, WrongCharacterIsCountedAndLeavesCursor)
{
    TypingSession s = Lesson("abc");
    bool chrono = false;
    const auto verdicts = Type(s, "x", chrono);
    EXPECT_FALSE(verdicts[0].Correct);
    EXPECT_FALSE(verdicts[0].StartsChrono);
    EXPECT_FALSE(verdicts[0].RedrawTargetLine);
    EXPECT_EQ(s.Cursor, 1);
    EXPECT_EQ(s.KeyCount, 1);
    EXPECT_EQ(s.ErrorCount, 1);
    EXPECT_EQ(s.CharacterAtCursor(), 'a');
    ExpectInvariants(s);
}

TEST(TypingSession, ComparisonIsExactOnBytes)
{
    struct Row {
        const char *name;
        std::string target;
        char key;
    };
    const Row rows[] = {
        {"e for e acute", "\xE9t\xE9", 'e'},
        {"a for capital A", "Abc", 'a'},
        {"capital A for a", "abc", 'A'},
        {"e grave for e acute", "\xE9", '\xE8'},
        {"Enter", "abc", '\r'},
        {"Backspace", "abc", '\b'},
        {"Escape", "abc", '\x1b'},
        {"NUL", "abc", '\0'},
    };
    for (const Row &row : rows) {
        TypingSession s = Lesson(row.target);
        const KeyVerdict v = JudgeKey(s, static_cast<unsigned char>(row.key), false);
        EXPECT_FALSE(v.Correct) << row.name;
        EXPECT_EQ(s.ErrorCount, 1) << row.name;
        EXPECT_EQ(s.Cursor, 1) << row.name;
    }
}

TEST(TypingSession, SuccessFigureAndItsRounding)
{
    // 1 error in 8 key presses: 87.5, shown as 88; 3 errors in 8: 62.5, shown as 62.
    struct Row {
        std::string keys;
        long double success;
        long long shown;
    };
    const Row rows[] = {{"abcxdefg", 87.5L, 88}, {"axbxcxde", 62.5L, 62}};
    for (const Row &row : rows) {
        TypingSession s = Lesson("abcdefg");
        bool chrono = false;
        Type(s, row.keys, chrono);
        EXPECT_EQ(s.KeyCount, 8);
        const LessonFigures f = ComputeFigures(s, 1000);
        EXPECT_EQ(f.Success, row.success) << row.keys;
        EXPECT_EQ(RoundHalfEven(f.Success), row.shown) << row.keys;
    }
}

TEST(TypingSession, SpeedIsCorrectKeysPerMinuteOfTheLessonsRealTime)
{
    struct Row {
        const char *name;
        int keys;
        int errors;
        long double elapsedMs;
        long long shown;
    };
    const Row rows[] = {
        {"a line of 59 keys in 6 s", 59, 0, 6000, 590},
        {"20 correct and 2 errors in 30 s", 22, 2, 30000, 40},
        {"87 correct of 90 in 29 s", 90, 3, 29000, 180},
        {"three correct keys in 8 s", 3, 0, 8000, 22},
        // Keys that came within one instant count as one tick of 33 ms.
        {"no time at all", 3, 0, 0, 5455},
    };
    for (const Row &row : rows) {
        TypingSession s;
        s.KeyCount = row.keys;
        s.ErrorCount = row.errors;
        // The chronometer's ticks are not seconds: they change nothing.
        s.ChronoTicks = 30;
        EXPECT_EQ(RoundHalfEven(ComputeFigures(s, row.elapsedMs).Speed), row.shown) << row.name;
    }
}

TEST(LessonStopwatch, CountsFromTheFirstKeyAndLeavesOutThePauses)
{
    LessonStopwatch watch;
    EXPECT_EQ(watch.Elapsed(5000), 0) << "not started";
    watch.Resume(5000);
    EXPECT_FALSE(watch.Started());

    watch.Start(1000);
    EXPECT_EQ(watch.Elapsed(3500), 2500);
    watch.Pause(4000);
    watch.Pause(6000);
    EXPECT_EQ(watch.Elapsed(9000), 3000) << "a pause stops the time";
    watch.Resume(10000);
    watch.Resume(11000);
    EXPECT_EQ(watch.Elapsed(12000), 5000);

    // A lesson restarted counts from its own first key.
    watch.Clear();
    EXPECT_EQ(watch.Elapsed(20000), 0);
    watch.Start(20000);
    EXPECT_EQ(watch.Elapsed(20250), 250);
}

TEST(TypingSession, AfterTheEndEveryKeyIsWrongAndNothingFinishesAgain)
{
    TypingSession s = Lesson("ab");
    bool chrono = false;
    Type(s, "ab", chrono);
    const auto after = Type(s, std::string("ab\0c", 4), chrono);
    for (const KeyVerdict &v : after) {
        EXPECT_FALSE(v.Correct);
        EXPECT_FALSE(v.FinishesLesson);
        EXPECT_FALSE(v.StartsChrono);
    }
    EXPECT_EQ(s.ErrorCount, 4);
    EXPECT_EQ(s.Cursor, 3);
    ExpectInvariants(s);
}

TEST(TypingSession, EmptyTargetTakesEveryKeyAsWrong)
{
    TypingSession s;
    const KeyVerdict v = JudgeKey(s, 'a', false);
    EXPECT_FALSE(v.Correct);
    EXPECT_FALSE(v.FinishesLesson);
    EXPECT_EQ(s.KeyCount, 1);
    EXPECT_EQ(s.ErrorCount, 1);
}

TEST(TypingSession, DemonstrationNeverStartsTheChronoNorFinishes)
{
    TypingSession s = Lesson("abc", Practice::Demonstration);
    s.AutoMode = true;
    bool chrono = false;
    const auto verdicts = Type(s, "abc", chrono);
    for (const KeyVerdict &v : verdicts) {
        EXPECT_TRUE(v.Correct);
        EXPECT_FALSE(v.StartsChrono);
        EXPECT_FALSE(v.FinishesLesson);
        EXPECT_FALSE(v.RedrawTargetLine);
    }
    EXPECT_TRUE(s.FullyTyped());
}

TEST(TypingSession, TargetLineIsRedrawnInTrainingAndSentencesOnly)
{
    for (Practice mode :
         {Practice::None, Practice::Training, Practice::Sentences, Practice::Scrolling, Practice::Demonstration}) {
        TypingSession s = Lesson("ab", mode);
        const KeyVerdict v = JudgeKey(s, 'a', false);
        EXPECT_EQ(v.RedrawTargetLine, mode == Practice::Training || mode == Practice::Sentences)
            << static_cast<int>(mode);
    }
}

TEST(TypingSession, RunningChronoIsNotStartedAgain)
{
    TypingSession s = Lesson("abc");
    EXPECT_FALSE(JudgeKey(s, 'a', true).StartsChrono);
    EXPECT_TRUE(JudgeKey(s, 'b', false).StartsChrono);
}

TEST(TypingSession, ResetKeepsModeAndAutomaticFlag)
{
    TypingSession s = Lesson("abc", Practice::Demonstration);
    s.AutoMode = true;
    bool chrono = false;
    Type(s, "ax", chrono);
    s.ChronoTicks = 12;
    s.Reset();
    EXPECT_EQ(s.TargetText, "");
    EXPECT_EQ(s.TypedText, "");
    EXPECT_EQ(s.Cursor, 1);
    EXPECT_EQ(s.KeyCount + s.CorrectCount + s.ErrorCount + s.ChronoTicks, 0);
    EXPECT_EQ(s.PracticeMode, Practice::Demonstration);
    EXPECT_TRUE(s.AutoMode);
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour)
{
    const std::pair<long double, long long> rows[] = {{2.5L, 2},      {3.5L, 4},     {22.5L, 22}, {87.5L, 88},
                                                      {62.5L, 62},    {0.4L, 0},     {0.6L, 1},   {100.0L, 100},
                                                      {96.6666L, 97}, {179.5L, 180}, {0.5L, 0}};
    for (const auto &[value, rounded] : rows)
        EXPECT_EQ(RoundHalfEven(value), rounded) << static_cast<double>(value);
}
