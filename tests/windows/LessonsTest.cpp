#include <QKeyEvent>
#include <QTest>
#include <QTimer>

#include "MainFixture.h"
#include "platform/controls/TBitBtn.h"
#include "platform/controls/TDXTimer.h"
#include "platform/controls/TEdit.h"
#include "platform/controls/TLabel.h"
#include "platform/controls/TSpinEdit.h"
#include "platform/controls/TTimer.h"
#include "platform/drawing/TDXDraw.h"
#include "windows/TLineSeries.h"

namespace {

const std::string kBonjour = "  Bonjour  \r\nautre ligne\r\n";

} // namespace

using Lessons = MainFixture;

TEST_F(Lessons, TrainingLessonTypedWithoutErrorIsRecorded)
{
    WriteLesson(1, kBonjour);
    TMain &m = Main();
    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    ASSERT_TRUE(Errors.isEmpty()) << Errors.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(m.Session().TargetText, "Bonjour");
    EXPECT_EQ(m.Session().PracticeMode, Practice::Training);
    EXPECT_TRUE(m.EditText->hasFocus());

    Type(QStringLiteral("Bonj"));
    EXPECT_EQ(BoxText(), QStringLiteral("Bonj"));
    EXPECT_EQ(Shown(m.LabelCorrect), QStringLiteral("4"));
    EXPECT_EQ(Shown(m.LabelErreur), QStringLiteral("0"));
    EXPECT_EQ(m.TimerChrono->Interval(), 33);

    Type(QStringLiteral("our"));
    EXPECT_EQ(BoxText(), QStringLiteral("Bonjour"));
    EXPECT_EQ(Shown(m.LabelCorrect), QStringLiteral("7"));
    EXPECT_EQ(m.TimerChrono->Interval(), 0);
    ASSERT_EQ(m.Statistiques().Series2->Count(), 1);
    EXPECT_EQ(m.Statistiques().Series2->YValue(0), 100);

    // After the end every key is wrong, and nothing is recorded twice.
    Type(QStringLiteral("x!"));
    EXPECT_EQ(BoxText(), QStringLiteral("Bonjour"));
    EXPECT_EQ(Shown(m.LabelErreur), QStringLiteral("2"));
    EXPECT_EQ(m.Statistiques().Series2->Count(), 1);
}

TEST_F(Lessons, WrongKeysLeaveTheBoxAsItWas)
{
    WriteLesson(2, "\xC0 la for\xEAt, l'\xE9t\xE9 !\r\n");
    TMain &m = Main();
    QTest::mouseClick(m.BoutonMoyen, Qt::LeftButton);
    ASSERT_EQ(m.Session().TargetText, "\xC0 la for\xEAt, l'\xE9t\xE9 !");

    Type(QStringLiteral("a"));                   // a for À
    QTest::keyClick(m.EditText, Qt::Key_Return); // never in a target
    QTest::keyClick(m.EditText, Qt::Key_Backspace);
    QTest::keyClick(m.EditText, Qt::Key_Escape);
    EXPECT_EQ(BoxText(), QString());
    EXPECT_EQ(Shown(m.LabelErreur), QStringLiteral("4"));
    EXPECT_EQ(m.Session().KeyCount, 4);
    EXPECT_EQ(m.TimerChrono->Interval(), 0) << "a wrong key does not start the chrono";

    Type(QString::fromUtf8("À lxa"));
    EXPECT_EQ(BoxText(), QString::fromUtf8("À la"));
    EXPECT_EQ(Shown(m.LabelCorrect), QStringLiteral("4"));
    EXPECT_EQ(Shown(m.LabelErreur), QStringLiteral("5"));
    EXPECT_EQ(m.Session().TypedText, "\xC0 la");
}

TEST_F(Lessons, CharacterOutsideTheCodePageIsWrongAndNotReplaced)
{
    WriteLesson(1, "oe\r\n");
    TMain &m = Main();
    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("ő"));
    QCoreApplication::sendEvent(m.EditText, &press);
    EXPECT_EQ(BoxText(), QString());
    EXPECT_EQ(m.Session().ErrorCount, 1);
}

TEST_F(Lessons, ClickingTrainingAgainRestartsFromTheFirstCharacter)
{
    WriteLesson(1, "abcdef\r\n");
    TMain &m = Main();
    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    Type(QStringLiteral("abxc"));
    ASSERT_EQ(m.TimerChrono->Interval(), 33);
    m.TimerChronoTimer();
    m.TimerChronoTimer();
    ASSERT_EQ(Shown(m.LabelChrono), QStringLiteral("2"));

    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    EXPECT_EQ(m.Session().Cursor, 1);
    EXPECT_EQ(m.Session().KeyCount, 0);
    EXPECT_EQ(BoxText(), QString());
    for (const TLabel *label : {m.LabelCorrect, m.LabelErreur, m.LabelChrono})
        EXPECT_EQ(Shown(label), QStringLiteral("0"));
    // The chrono was running: it goes on, counting from 0 at once.
    EXPECT_EQ(m.TimerChrono->Interval(), 33);
    m.TimerChronoTimer();
    EXPECT_EQ(Shown(m.LabelChrono), QStringLiteral("1"));
}

TEST_F(Lessons, ChronoTicksCountInTheLabel)
{
    WriteLesson(1, "abc\r\n");
    TMain &m = Main();
    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    Type(QStringLiteral("a"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return m.Session().ChronoTicks >= 3; }, 2000));
    EXPECT_EQ(Shown(m.LabelChrono), QString::number(m.Session().ChronoTicks));
}

TEST_F(Lessons, MissingLessonFileIsReportedAndChangesNothing)
{
    WriteLesson(1, "abc\r\n");
    TMain &m = Main();
    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    Type(QStringLiteral("ab"));

    QTest::mouseClick(m.BoutonMoyen, Qt::LeftButton);
    ASSERT_EQ(Errors.size(), 1);
    EXPECT_EQ(Errors[0], QStringLiteral("Impossible d'ouvrir le fichier %1Dictees/Level2.dll.").arg(Folder()));
    EXPECT_EQ(m.Session().PracticeMode, Practice::Sentences);
    EXPECT_FALSE(m.Session().AutoMode);
    EXPECT_EQ(m.Session().TargetText, "abc");
    EXPECT_EQ(m.Session().Cursor, 3);
    EXPECT_EQ(BoxText(), QStringLiteral("ab"));
}

TEST_F(Lessons, LessonWithoutTextIsRefused)
{
    struct Row {
        const char *name;
        std::string bytes;
        QString error;
    };
    const Row rows[] = {
        {"empty file", "", QStringLiteral("Indice de liste hors limites (0)")},
        {"NUL first", std::string("\0abc", 4), QStringLiteral("Indice de liste hors limites (0)")},
        {"blank first line", "  \t \r\nabc\r\n",
         QStringLiteral("La première ligne du fichier %1Dictees/Level2.dll est vide : aucun texte à taper.")
             .arg(Folder())},
    };
    WriteLesson(1, "abc\r\n");
    TMain &m = Main();
    for (const Row &row : rows) {
        QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
        Type(QStringLiteral("a"));
        Errors.clear();
        WriteLesson(2, row.bytes);
        QTest::mouseClick(m.BoutonMoyen, Qt::LeftButton);
        ASSERT_EQ(Errors.size(), 1) << row.name;
        EXPECT_EQ(Errors[0], row.error.endsWith(QLatin1Char('.')) ? row.error : row.error + QLatin1Char('.'))
            << row.name;
        EXPECT_EQ(m.Session().TargetText, "abc") << row.name;
        EXPECT_EQ(m.Session().Cursor, 2) << row.name;
    }
}

TEST_F(Lessons, DemonstrationTypesTheLessonByItself)
{
    WriteLesson(4, "Le chat\r\n");
    TMain &m = Main();
    m.BoutonPrononcer->SetTag(1);
    QTest::mouseClick(m.BoutonAuto, Qt::LeftButton);
    EXPECT_TRUE(Errors.isEmpty());
    EXPECT_EQ(BoxText(), QStringLiteral("Le chat"));
    EXPECT_EQ(m.Session().PracticeMode, Practice::Demonstration);
    EXPECT_TRUE(m.Session().AutoMode);
    EXPECT_EQ(m.Session().CorrectCount, 7);
    EXPECT_EQ(m.BoutonSon->Tag(), 0) << "the demonstration turns the sound cues off";
    EXPECT_EQ(m.TimerChrono->Interval(), 0);
    EXPECT_EQ(Shown(m.LabelChrono), QStringLiteral("0"));
    EXPECT_EQ(m.Statistiques().Series1->Count(), 0);
}

TEST_F(Lessons, DemonstrationWithoutLessonSendsNothing)
{
    TMain &m = Main();
    QTest::mouseClick(m.BoutonAuto, Qt::LeftButton);
    ASSERT_EQ(Errors.size(), 1);
    EXPECT_TRUE(Errors[0].startsWith(QStringLiteral("Impossible d'ouvrir le fichier ")));
    EXPECT_EQ(m.Session().PracticeMode, Practice::Demonstration);
    EXPECT_EQ(m.Session().TargetText, "");
    EXPECT_EQ(m.BoutonSon->Tag(), 1);
    EXPECT_EQ(BoxText(), QString());
}

TEST_F(Lessons, LessonStartedDuringTheDemonstrationTakesOver)
{
    WriteLesson(4, "abcdef\r\n");
    WriteLesson(1, "defxyz\r\n");
    TMain &m = Main();
    // A training click lands while the demonstration is typing: the rest of the demonstration text is checked
    // against the new lesson.
    QTimer::singleShot(250, &m, [&m] { m.BoutonFacile->click(); });
    QTest::mouseClick(m.BoutonAuto, Qt::LeftButton);
    EXPECT_EQ(m.Session().PracticeMode, Practice::Training);
    EXPECT_FALSE(m.Session().AutoMode);
    EXPECT_EQ(m.Session().TargetText, "defxyz");
    EXPECT_GT(m.Session().CorrectCount, 0);
    EXPECT_EQ(m.Session().TypedText, "def");
}

TEST_F(Lessons, SwitchesToggleAndGiveTheFocusBack)
{
    TMain &m = Main();
    struct Row {
        TBitBtn *button;
        int start;
    };
    for (const Row &row : {Row{m.BoutonSon, 1}, Row{m.BoutonPrononcer, 0}}) {
        EXPECT_EQ(row.button->Tag(), row.start);
        QTest::mouseClick(row.button, Qt::LeftButton);
        EXPECT_EQ(row.button->Tag(), 1 - row.start);
        EXPECT_TRUE(m.EditText->hasFocus());
        QTest::mouseClick(row.button, Qt::LeftButton);
        EXPECT_EQ(row.button->Tag(), row.start);
    }
}

TEST_F(Lessons, ScrollSpeedSetsTheScrollingTickInterval)
{
    TMain &m = Main();
    EXPECT_EQ(m.Timer1->Interval(), 0);
    // The fastest speed moves twice as fast as the one before, without a tick on every idle pass.
    const int expected[] = {60, 50, 40, 30, 20, 10, 5};
    for (int value = 2; value <= 7; ++value) {
        m.SpinEdit1->setValue(value);
        EXPECT_EQ(m.Timer1->Interval(), expected[value - 1]) << value;
        EXPECT_TRUE(m.EditText->hasFocus());
    }
    m.SpinEdit1->setValue(1);
    EXPECT_EQ(m.Timer1->Interval(), 60);
}

TEST_F(Lessons, ScrollingTickMovesLeftAndStartsAgainPastTheTextWidth)
{
    WriteLesson(3, "abc\r\n");
    TMain &m = Main();
    QTest::mouseClick(m.BoutonDifficile, Qt::LeftButton);
    ASSERT_EQ(m.Session().TargetText, "abc");
    m.ScrollBitmap = QImage(40, 20, QImage::Format_RGB32);
    m.ScrollBitmap.fill(Qt::yellow);
    struct Row {
        int interval;
        int step;
    };
    for (const Row row : {Row{60, 1}, Row{50, 1}, Row{40, 2}, Row{0, 2}}) {
        m.Timer1->SetInterval(row.interval);
        m.Timer1->SetEnabled(true);
        m.ScrollOffset = 10;
        m.Timer1Timer(1);
        EXPECT_EQ(m.ScrollOffset, 10 - row.step) << row.interval;
        EXPECT_TRUE(m.Timer1->Enabled());
        // The picture, drawn at the new offset, shows on the text line.
        EXPECT_EQ(m.DXPaintBoxTexte->Shown().pixel(10 - row.step, 5), qRgb(255, 255, 0));
        EXPECT_EQ(m.DXPaintBoxTexte->Shown().pixel(10 - row.step + 40, 5), qRgb(0, 0, 0));
    }
    m.ScrollOffset = -1000;
    m.Timer1Timer(1);
    EXPECT_TRUE(m.Timer1->Enabled());
    EXPECT_EQ(m.ScrollOffset, 705) << "scrolled past the width of the text unfinished, it comes in again";
}
