// The flow of a lesson against a view that only writes down what it is told: no window, no sound.

#include <gtest/gtest.h>

#include <string>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "flow/LessonFlow.h"
#include "platform/sound/WaveFile.h"
#include "records/KeyFigures.h"

namespace {

// The view and the learner's records at once, so that the order of the two can be checked.
class RecordingView : public LessonView, public ResultSink
{
public:
    std::vector<Cue> Cues;
    std::string Guide = "(none)";
    std::string Line;
    int Correct = -1;
    int Errors = -1;
    int ChronoStarts = 0;
    bool Chrono = false;
    QString Recording;
    std::vector<std::pair<long double, long double>> Results;
    std::vector<HistoryRecord> Kept;
    std::vector<int> CourseResults;
    std::size_t Shown = 0;
    std::pair<std::size_t, std::size_t> LineOf;
    int NextLines = 0;
    std::vector<LessonResult> Full;
    LessonProgress Progress;
    bool PauseShown = false;

    void ClearLessonDisplay() override { Line.clear(); }
    void BlankTargetLine() override { Line.clear(); }
    void ShowLessonLine(const std::string &text) override { Line = text; }
    void ShowTypedLine(const std::string &typed, const std::string &) override { Line = "typed:" + typed; }
    void ShowHiddenLine(const std::string &message) override { Line = "hidden:" + message; }
    void StartScrollingLine(const std::string &text) override { Line = "scrolling:" + text; }
    void StopScrolling() override {}
    void ShowGuide(unsigned char ch) override { Guide = ch ? std::string(1, char(ch)) : std::string(); }
    void ShowCounters(int correct, int errors) override
    {
        Correct = correct;
        Errors = errors;
    }
    void ShowChrono(int) override {}
    bool ChronoRunning() const override { return Chrono; }
    void StartChrono() override
    {
        Chrono = true;
        ++ChronoStarts;
    }
    void StopChrono() override { Chrono = false; }
    void PlayCue(Cue cue) override { Cues.push_back(cue); }
    void SpeakKey(unsigned char) override {}
    void PlayRecording(const QString &name, const PcmWave &) override { Recording = name; }
    void OfferRecordingAgain(bool) override {}
    void Record(const LessonResult &result) override
    {
        Results.emplace_back(result.Speed, result.Success);
        Kept.push_back(result.Kept);
        if (result.CourseLesson != 0)
            CourseResults.push_back(result.CourseLesson);
        Full.push_back(result);
    }
    void ShowResult(const LessonResult &) override
    {
        ++Shown;
        EXPECT_EQ(Shown, Results.size()) << "a result is shown once it is kept";
    }
    void ShowNextLine(const std::string &text, std::size_t line, std::size_t lines) override
    {
        LineOf = {line, lines};
        Line = text;
        ++NextLines;
    }
    void ShowProgress(const LessonProgress &progress) override { Progress = progress; }
    void ShowPause(bool paused) override
    {
        PauseShown = paused;
        Chrono = false;
        if (paused)
            Line = "paused";
    }
};

class LessonFlowTest : public ::testing::Test
{
protected:
    QTemporaryDir folder;
    RecordingView view;
    LessonFlow flow{view, view};
    std::int64_t now = 0;

    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("Dictees")));
        flow.ProgramFolder = folder.path() + QLatin1Char('/');
        flow.SteadyMilliseconds = [this] { return now; };
    }
    void Write(const QString &relative, const QByteArray &bytes)
    {
        QFile file(folder.filePath(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    char Press(char key)
    {
        flow.KeyPressed(key);
        return key;
    }
};

// A mono 8-bit wave of a few samples, enough to be a recording.
QByteArray TinyWave()
{
    QByteArray wave("RIFF\x2C\x00\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x01\x00\x22\x56\x00\x00\x22\x56\x00\x00"
                    "\x01\x00\x08\x00"
                    "data"
                    "\x08\x00\x00\x00",
                    44);
    wave.append(8, '\x80');
    return wave;
}

} // namespace

TEST_F(LessonFlowTest, ALessonIsJudgedKeyByKeyAndEndsWithItsFigures)
{
    Write(QStringLiteral("Dictees/Level1.dll"), "ab\r\nnever typed\r\n");
    flow.StartLesson(Practice::Training);
    EXPECT_EQ(view.Line, "ab");
    EXPECT_EQ(view.Guide, "a");
    EXPECT_EQ(flow.LessonLines.size(), 1u);

    EXPECT_EQ(Press('x'), 0) << "a wrong key never reaches the edit box";
    EXPECT_EQ(view.Errors, 1);
    now = 5000;
    EXPECT_EQ(Press('a'), 'a');
    EXPECT_EQ(view.Guide, "b");
    EXPECT_EQ(view.ChronoStarts, 1);
    now = 6000;
    EXPECT_EQ(Press('b'), 'b');

    EXPECT_EQ(view.Cues, (std::vector<Cue>{Cue::Wrong, Cue::Correct, Cue::Correct, Cue::Finished}));
    EXPECT_FALSE(view.Chrono) << "stopped at the end";
    ASSERT_EQ(view.Results.size(), 1u);
    // Two right keys in the second between the first right key and the last one; two keys of three right.
    EXPECT_DOUBLE_EQ(double(view.Results[0].first), 120.0);
    EXPECT_NEAR(double(view.Results[0].second), 66.667, 0.001);
    EXPECT_EQ(view.Correct, 2);
}

TEST_F(LessonFlowTest, AHiddenDictationShowsAKeyOnlyOnceItWasMissed)
{
    Write(QStringLiteral("Dictees/Dictee02.txt"), "Le chat.\r\n");
    Write(QStringLiteral("Dictees/Dictee02.wav"), TinyWave());
    flow.StartNumberedDictation(1);
    EXPECT_EQ(view.Recording, QStringLiteral("Dictee02.wav"));
    EXPECT_EQ(view.Line.rfind("hidden:", 0), 0u) << view.Line;
    EXPECT_EQ(view.Guide, "");
    Press('x');
    EXPECT_EQ(view.Guide, "L");
    Press('L');
    EXPECT_EQ(view.Guide, "") << "the next key is hidden again";
    EXPECT_EQ(view.Line.rfind("hidden:", 0), 0u) << "the text is never drawn as it is typed";

    // Without a recording the same text is a sentence shown whole.
    ASSERT_TRUE(QFile::remove(folder.filePath(QStringLiteral("Dictees/Dictee02.wav"))));
    flow.StartNumberedDictation(1);
    EXPECT_EQ(view.Line, "Le chat.");
    EXPECT_EQ(view.Guide, "L");
}

// A course lesson: its lines one after the other in an emptied box, counters and time going on over all of them,
// one result at the end; any other lesson started meanwhile ends it unrecorded.
TEST_F(LessonFlowTest, ACourseLessonRunsItsLinesAndRecordsOnceAtTheEnd)
{
    flow.StartCourseLesson(3, {"ab", "c"}, {"Leçon 3 : s et l", 60, 94});
    EXPECT_EQ(view.Line, "ab");
    EXPECT_EQ(view.Progress.Text(), QStringLiteral("Leçon 3 : s et l — ligne 1 sur 2 — objectif 60 car./min et 94 %"));
    EXPECT_EQ(view.Guide, "a");
    now = 1000;
    Press('a');
    Press('x');
    EXPECT_EQ(Press('b'), 0) << "the key that ends a line does not show in the next line's empty box";
    EXPECT_EQ(view.NextLines, 1);
    EXPECT_EQ(view.LineOf, (std::pair<std::size_t, std::size_t>{2, 2})) << "the second line of two";
    EXPECT_EQ(view.Line, "c");
    EXPECT_EQ(view.Guide, "c");
    EXPECT_EQ(flow.CourseLine(), 1u);
    EXPECT_TRUE(view.Results.empty()) << "nothing is recorded between lines";
    EXPECT_EQ(view.Correct, 2);
    now = 4000;
    EXPECT_EQ(Press('c'), 'c');
    EXPECT_EQ(view.CourseResults, std::vector<int>{3});
    ASSERT_EQ(view.Results.size(), 1u);
    // Three right keys in three seconds of real time; three keys of four right.
    EXPECT_DOUBLE_EQ(double(view.Results[0].first), 60.0);
    EXPECT_DOUBLE_EQ(double(view.Results[0].second), 75.0);
    EXPECT_EQ(view.Cues.back(), Cue::Finished);
    EXPECT_EQ(flow.CourseLesson(), 0);
    // The result says what was typed, where it went wrong, and against which goal.
    const LessonResult &result = view.Full.back();
    EXPECT_EQ(result.Goal.Title, "Leçon 3 : s et l");
    EXPECT_EQ(result.Errors, 1);
    EXPECT_EQ(result.Lines, (std::vector<std::string>{"ab", "c"}));
    EXPECT_EQ(result.Mistakes, (std::vector<Mistake>{{0, 1, 'b', 'x'}}));
    EXPECT_EQ(view.Progress.Text(),
              QStringLiteral("Leçon 3 : s et l — ligne 2 sur 2 — 60 car./min (objectif 60) — 75 % (objectif 94 %)"));

    flow.StartCourseLesson(4, {"ab", "c"}, {});
    Press('a');
    Write(QStringLiteral("Dictees/Level1.dll"), "xyz\r\n");
    flow.StartLesson(Practice::Training);
    EXPECT_EQ(flow.CourseLesson(), 0) << "an exercise button ends the course lesson";
    for (const char c : std::string("xyz"))
        Press(c);
    EXPECT_EQ(view.CourseResults, std::vector<int>{3}) << "the course lesson ended unrecorded";
    EXPECT_EQ(view.Results.size(), 2u);
}

TEST_F(LessonFlowTest, EveryKeyTheLearnerTypesIsCountedAgainstTheCharacterExpected)
{
    KeyFigures keys;
    flow.Keys = &keys;
    // A drill of two lines: its keys count, outside the exercises; the first key of a line is never timed, and
    // a pause of more than five seconds is not slowness.
    flow.StartDrill({"ab", "a b"}, {"Entraînement ciblé", 80, 94});
    EXPECT_EQ(flow.Session.PracticeMode, Practice::Drill);
    now = 1000;
    Press('a');
    now = 1300;
    Press('q');
    now = 1400;
    Press('b'); // the line's last key: 400 ms after the previous correct one, wrong key included
    now = 9000;
    Press('a'); // a new line: untimed
    now = 15000;
    Press(' '); // a pause
    now = 15250;
    Press('b');
    EXPECT_EQ(view.Results.size(), 1u) << "one result for the drill's lines";
    EXPECT_TRUE(view.Full.back().Drill);
    EXPECT_EQ(view.Full.back().Mistakes, (std::vector<Mistake>{{0, 1, 'b', 'q'}}));
    EXPECT_TRUE(view.CourseResults.empty()) << "a drill is not a course lesson";

    const KeyFigures::Figures &a = keys.Of('a'), &b = keys.Of('b'), &space = keys.Of(' ');
    EXPECT_EQ(a.Attempts, 2u);
    EXPECT_EQ(a.Timed, 0u);
    EXPECT_EQ(b.Attempts, 3u);
    EXPECT_EQ(b.Errors, 1u);
    EXPECT_EQ(b.MostTypedInstead(3), "q");
    EXPECT_EQ(b.Timed, 2u);
    EXPECT_EQ(b.TotalMs, 400u + 250u);
    EXPECT_EQ(space.Attempts, 1u);
    EXPECT_EQ(space.Timed, 0u);
    EXPECT_EQ(keys.OutsideCourse(), 0u);

    // The exercises count as well, and as such; a key past the end of the text expects nothing and counts nothing;
    // the demonstration's keys are the program's, not the learner's.
    Write(QStringLiteral("Dictees/Level1.dll"), "z\r\n");
    flow.StartLesson(Practice::Training);
    Press('z');
    Press('z');
    EXPECT_EQ(keys.Of('z').Attempts, 1u);
    EXPECT_EQ(keys.OutsideCourse(), 1u);
    Write(QStringLiteral("Dictees/Level4.dll"), "zz\r\n");
    const std::string demonstration = flow.StartDemonstration();
    for (const char c : demonstration)
        Press(c);
    EXPECT_EQ(keys.Of('z').Attempts, 1u);
}

// A pause stops everything where it stands: keys typed meanwhile count for nothing, the time paused is not the
// lesson's, and the same key goes on from there. Only a lesson that runs pauses.
TEST_F(LessonFlowTest, APauseStopsTheLessonAndItsTimeUntilResumed)
{
    Write(QStringLiteral("Dictees/Level1.dll"), "abc\r\n");
    flow.StartLesson(Practice::Training);
    EXPECT_FALSE(flow.Pause()) << "nothing runs before the first key";
    now = 1000;
    Press('a');
    now = 2000;
    Press('x');
    ASSERT_TRUE(flow.Pause());
    EXPECT_TRUE(view.PauseShown);
    EXPECT_TRUE(view.Progress.Shown) << "a lesson of one line says it is paused";
    EXPECT_TRUE(view.Progress.Text().endsWith(QStringLiteral("En pause — appuyez sur F5 pour reprendre")));
    const std::size_t cues = view.Cues.size();
    for (const char c : std::string("bxc"))
        EXPECT_EQ(Press(c), 0) << c;
    EXPECT_EQ(view.Cues.size(), cues) << "keys typed during the pause are not judged";
    EXPECT_EQ(flow.Session.KeyCount, 2);
    EXPECT_EQ(flow.Session.Cursor, 2);

    // The game opened and closed during the pause leaves it paused.
    flow.PauseTime();
    flow.ResumeTime();
    now = 62000;
    EXPECT_EQ(flow.LessonTime.Elapsed(now), 1000);

    flow.TogglePause();
    EXPECT_FALSE(flow.Paused());
    EXPECT_FALSE(view.PauseShown);
    EXPECT_EQ(view.Line, "typed:a") << "the line as it stood";
    EXPECT_FALSE(view.Progress.Shown);
    now = 63000;
    EXPECT_EQ(Press('b'), 'b');
    now = 64000;
    Press('c');
    ASSERT_EQ(view.Results.size(), 1u);
    // Three right keys over the three seconds the lesson ran, the minute paused left out.
    EXPECT_DOUBLE_EQ(double(view.Results[0].first), 60.0);
    EXPECT_DOUBLE_EQ(double(view.Results[0].second), 75.0);
    EXPECT_FALSE(flow.Pause()) << "a finished lesson does not pause";

    Write(QStringLiteral("Dictees/Level4.dll"), "zz\r\n");
    flow.StartDemonstration();
    Press('z');
    EXPECT_FALSE(flow.Pause()) << "nor does the demonstration";
}
