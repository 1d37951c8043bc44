#include <QApplication>
#include <QFile>
#include <QTest>
#include <QTimer>

#include "MainFixture.h"
#include "game/TJeu.h"
#include "platform/controls/TBitBtn.h"
#include "platform/controls/TDXTimer.h"
#include "platform/controls/TEdit.h"
#include "platform/controls/TLabel.h"
#include "platform/controls/TTimer.h"
#include "platform/text/Cp1252.h"
#include "windows/TLineSeries.h"

// The lesson's real time, read from a clock the test sets: the speed is correct keys per minute from the first
// correct key to the last, and the game takes its own time out of the lesson's. The game's best score stays with
// the learner.

namespace {

class LessonTime : public MainFixture
{
protected:
    TMain &MainOnClock()
    {
        TMain &m = Main();
        m.SetClock([this] { return Clock; });
        return m;
    }
    // Types one key at the given time of the test's clock.
    void TypeAt(std::int64_t ms, const QString &keys)
    {
        Clock = ms;
        Type(keys);
    }
    QString SpeedShown() { return Shown(Main().Statistiques().LabelVitesse); }

    // Runs the game window from its button; `play` acts in it once it is up, then Escape leaves it.
    void PlayTheGame(const std::function<void(TJeu &)> &play)
    {
        bool played = false;
        // Polls until the game is up; whatever is still pending goes with this object.
        QObject waiting;
        std::function<void()> whenUp = [&] {
            auto *game = qobject_cast<TJeu *>(QApplication::activeModalWidget());
            if (!game) {
                QTimer::singleShot(10, &waiting, whenUp);
                return;
            }
            play(*game);
            played = true;
            QTest::keyClick(game, Qt::Key_Escape);
        };
        QTimer::singleShot(0, &waiting, whenUp);
        QTest::mouseClick(Main().BoutonJeu, Qt::LeftButton);
        EXPECT_TRUE(played);
    }

    std::int64_t Clock = 0;
};

QString LowestWord(TJeu &game)
{
    const auto &words = game.Rules().Words();
    const auto lowest = std::max_element(words.begin(), words.end(),
                                         [](const FallingWord &a, const FallingWord &b) { return a.Y < b.Y; });
    return cp1252::ToUnicode(lowest->Text);
}

} // namespace

TEST_F(LessonTime, SpeedCountsCorrectKeysPerMinuteFromTheLessonsOwnFirstCorrectKey)
{
    WriteLesson(1, "Bonjour\r\n");
    TMain &m = MainOnClock();
    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    TypeAt(500, QStringLiteral("x")); // a miss before the first correct key starts nothing
    TypeAt(1000, QStringLiteral("B"));
    TypeAt(1600, QStringLiteral("onjou"));
    // Restarted while the chronometer runs: the time counts from this lesson's first key.
    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    TypeAt(5000, QStringLiteral("B"));
    TypeAt(5300, QStringLiteral("x"));
    TypeAt(5400, QStringLiteral("onjou"));
    TypeAt(6200, QStringLiteral("r"));
    // 7 correct keys of 8 in 1.2 s: 350 a minute, whatever the chronometer's ticks.
    EXPECT_EQ(SpeedShown(), QStringLiteral("Nombre de caractere par minute : 350"));
    EXPECT_EQ(m.Statistiques().Series1->YValue(0), 350.0);

    // A one-key lesson takes one tick of 33 ms.
    WriteLesson(1, "a\r\n");
    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    TypeAt(9000, QStringLiteral("a"));
    EXPECT_EQ(SpeedShown(), QStringLiteral("Nombre de caractere par minute : 1818"));
    EXPECT_EQ(m.Statistiques().Series1->YValue(1), 1818.0) << "the speed is kept rounded";
}

TEST_F(LessonTime, TheGameStopsTheLessonsTimeAndTicksUntilTheLearnerComesBack)
{
    WriteLesson(3, "abc\r\n");
    TMain &m = MainOnClock();
    QTest::mouseClick(m.BoutonDifficile, Qt::LeftButton);
    TypeAt(0, QStringLiteral("a"));
    ASSERT_EQ(m.TimerChrono->Interval(), 33);
    ASSERT_TRUE(m.Timer1->Enabled());

    Clock = 1000;
    PlayTheGame([&](TJeu &) {
        EXPECT_EQ(m.TimerChrono->Interval(), 0);
        EXPECT_FALSE(m.Timer1->Enabled());
        Clock = 61000;
    });
    EXPECT_EQ(m.TimerChrono->Interval(), 33);
    EXPECT_TRUE(m.Timer1->Enabled());
    EXPECT_EQ(m.focusWidget(), static_cast<QWidget *>(m.EditText));

    TypeAt(61500, QStringLiteral("bc"));
    // 3 keys in 1.5 s of lesson; the minute in the game does not count.
    EXPECT_EQ(SpeedShown(), QStringLiteral("Nombre de caractere par minute : 120"));
}

TEST_F(LessonTime, TheGamesBestScoreStaysWithTheLearner)
{
    TMain &m = Main();
    const QString path = Folder() + QStringLiteral("Testeur/Jeu.txt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("5\n");
    file.close();

    PlayTheGame([](TJeu &game) {
        EXPECT_EQ(game.BestScore(), 5);
        QTest::keyClick(&game, Qt::Key_Return);
        QTest::keyClicks(&game, LowestWord(game));
        EXPECT_EQ(game.BestScore(), 10);
    });
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("10\n"));
    file.close();
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".tmp")));

    // A game below the record leaves the file alone; a damaged file counts as no score.
    PlayTheGame([](TJeu &game) { EXPECT_EQ(game.BestScore(), 10); });
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("dix");
    file.close();
    PlayTheGame([](TJeu &game) { EXPECT_EQ(game.BestScore(), 0); });
    (void)m;
}

// F5 and the Pause key stop the lesson where it stands, whatever has the keys: its time, ticks and scrolling;
// keys typed meanwhile go nowhere. The window minimised pauses it as well.
TEST_F(LessonTime, APauseStopsTheLessonUntilTheSameKeyResumesIt)
{
    WriteLesson(3, "abc\r\n");
    TMain &m = MainOnClock();
    QTest::mouseClick(m.BoutonDifficile, Qt::LeftButton);
    TypeAt(0, QStringLiteral("a"));
    Clock = 1000;
    QTest::keyClick(m.EditText, Qt::Key_F5);
    EXPECT_EQ(m.TimerChrono->Interval(), 0);
    EXPECT_FALSE(m.Timer1->Enabled());
    EXPECT_FALSE(m.LabelProgression->isHidden());
    EXPECT_EQ(m.LabelProgression->accessibleName(),
              QStringLiteral("Progression : En pause — appuyez sur F5 pour reprendre"));
    TypeAt(2000, QStringLiteral("b"));
    EXPECT_EQ(BoxText(), QStringLiteral("a")) << "a key typed during the pause goes nowhere";

    Clock = 61000;
    QTest::keyClick(m.BoutonSon, Qt::Key_Pause);
    EXPECT_EQ(m.TimerChrono->Interval(), 33);
    EXPECT_TRUE(m.Timer1->Enabled());
    EXPECT_TRUE(m.LabelProgression->isHidden());
    TypeAt(61500, QStringLiteral("bc"));
    // 3 keys in 1.5 s of lesson; the minute paused does not count.
    EXPECT_EQ(SpeedShown(), QStringLiteral("Nombre de caractere par minute : 120"));

    QTest::mouseClick(m.BoutonDifficile, Qt::LeftButton);
    TypeAt(70000, QStringLiteral("a"));
    m.showMinimized();
    EXPECT_EQ(m.TimerChrono->Interval(), 0) << "minimised, the lesson waits";
    m.showNormal();
    EXPECT_EQ(m.TimerChrono->Interval(), 0) << "until the learner resumes it";
}
