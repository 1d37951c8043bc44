#include <QTest>

#include "MainFixture.h"
#include "platform/controls/TBitBtn.h"
#include "platform/controls/TDXTimer.h"
#include "platform/controls/TSpinEdit.h"
#include "platform/controls/TTimer.h"
#include "platform/drawing/TDXDraw.h"
#include "windows/TLineSeries.h"

// The scrolling text: the lesson enters from the right edge of the line, moves at the spin box's speed, comes in
// again when it has gone by unfinished, and is recorded like any lesson once typed.

using ScrollingText = MainFixture;

namespace {

// Yellow, or the smoothed edge of a yellow glyph.
bool IsYellow(QRgb p)
{
    return qRed(p) > 160 && qGreen(p) > 160 && qBlue(p) < 60;
}

// The leftmost column of the line with a yellow pixel, or -1.
int FirstYellowColumn(const QImage &line)
{
    for (int x = 0; x < line.width(); ++x)
        for (int y = 0; y < line.height(); ++y)
            if (IsYellow(line.pixel(x, y)))
                return x;
    return -1;
}

} // namespace

TEST_F(ScrollingText, StartsAtTheRightEdgeAtTheSpinBoxSpeed)
{
    WriteLesson(3, "Le vent du soir\r\n");
    TMain &m = Main();
    m.SpinEdit1->setValue(3);
    QTest::mouseClick(m.BoutonDifficile, Qt::LeftButton);
    ASSERT_TRUE(Errors.isEmpty()) << Errors.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(m.Session().PracticeMode, Practice::Scrolling);
    EXPECT_EQ(m.Session().TargetText, "Le vent du soir");
    EXPECT_TRUE(m.Timer1->Enabled());
    EXPECT_EQ(m.Timer1->Interval(), 40);
    EXPECT_EQ(m.ScrollOffset, 705) << "just beyond the right edge";
    EXPECT_EQ(m.ScrollBitmap.height(), 33);
    EXPECT_GT(m.ScrollBitmap.width(), 60);
    EXPECT_EQ(FirstYellowColumn(m.DXPaintBoxTexte->Shown()), -1) << "nothing shows before the first step";

    m.Timer1Timer(0);
    EXPECT_EQ(m.ScrollOffset, 703) << "2 pixels a step below 50 ms";
    for (int i = 0; i < 20; ++i)
        m.Timer1Timer(0);
    EXPECT_EQ(m.ScrollOffset, 663);
    const int shownAt = FirstYellowColumn(m.DXPaintBoxTexte->Shown());
    EXPECT_GE(shownAt, 663);
    EXPECT_LT(shownAt, 663 + 4) << "the text's first letter is drawn where the picture stands";

    // The slowest speed moves 1 pixel a step, and a new start takes it.
    m.SpinEdit1->setValue(1);
    QTest::mouseClick(m.BoutonDifficile, Qt::LeftButton);
    EXPECT_EQ(m.Timer1->Interval(), 60);
    EXPECT_EQ(m.ScrollOffset, 705);
    m.Timer1Timer(0);
    EXPECT_EQ(m.ScrollOffset, 704);

    // The idle tick moves it by itself.
    EXPECT_TRUE(QTest::qWaitFor([&] { return m.ScrollOffset < 700; }, 3000));
}

TEST_F(ScrollingText, TextThatHasGoneByUnfinishedComesInAgain)
{
    WriteLesson(3, "abc\r\n");
    TMain &m = Main();
    QTest::mouseClick(m.BoutonDifficile, Qt::LeftButton);
    Type(QStringLiteral("a"));
    m.ScrollOffset = -m.ScrollBitmap.width() + 1;
    m.Timer1Timer(0);
    EXPECT_TRUE(m.Timer1->Enabled());
    EXPECT_EQ(m.ScrollOffset, 705);
    EXPECT_EQ(m.Session().TypedText, "a") << "the typing goes on where it was";
}

TEST_F(ScrollingText, FinishedLessonIsRecordedAndStopsTheText)
{
    WriteLesson(3, "abc\r\n");
    TMain &m = Main();
    QTest::mouseClick(m.BoutonDifficile, Qt::LeftButton);
    Type(QStringLiteral("ab"));
    EXPECT_EQ(m.TimerChrono->Interval(), 33) << "the chrono runs as in the other lessons";
    EXPECT_EQ(FirstYellowColumn(m.DXPaintBoxTexte->Shown()), -1) << "the line is not redrawn as keys are typed";
    Type(QStringLiteral("c"));
    EXPECT_FALSE(m.Timer1->Enabled());
    EXPECT_EQ(StatisticsShown, 2) << "once at the identification, once for the lesson";
    ASSERT_EQ(m.Statistiques().Series2->Count(), 1);
    EXPECT_EQ(m.Statistiques().Series2->YValue(0), 100);
    EXPECT_TRUE(QFile::exists(m.HistoryPath()));

    m.ScrollOffset = -m.ScrollBitmap.width();
    m.Timer1Timer(0);
    EXPECT_FALSE(m.Timer1->Enabled()) << "a finished text does not come in again";
}

TEST_F(ScrollingText, MissingLessonLeavesTheRunningOneAlone)
{
    WriteLesson(1, "abc\r\n");
    TMain &m = Main();
    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    QTest::mouseClick(m.BoutonDifficile, Qt::LeftButton);
    ASSERT_EQ(Errors.size(), 1);
    EXPECT_TRUE(Errors[0].startsWith(QStringLiteral("Impossible d'ouvrir le fichier "))) << Errors[0].toStdString();
    EXPECT_EQ(m.Session().TargetText, "abc");
    EXPECT_FALSE(m.Timer1->Enabled());
}
