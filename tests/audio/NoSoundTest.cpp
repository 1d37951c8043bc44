#include <QTest>

#include "app/MainFixture.h"
#include "WaveCapture.h"
#include "platform/controls/TBitBtn.h"
#include "platform/controls/TLabel.h"

// A machine without a sound card: the sound library cannot open any output.

using NoSound = MainFixture;

TEST_F(NoSound, AWholeLessonIsTypedSilentlyWithBothSwitchesOn)
{
    WriteLesson(1, "Bonjour \xEA\r\n");
    TMain &m = Main();
    EXPECT_FALSE(m.DXSound1.Initialized());
    const int shownBefore = StatisticsShown;
    const QStringList messagesBefore = Messages;
    QTest::mouseClick(m.BoutonPrononcer, Qt::LeftButton);
    ASSERT_TRUE(m.SoundOn());
    ASSERT_TRUE(m.PronunciationOn());
    const auto start = Clock::now();
    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    Type(QStringLiteral("Bonjoux"));
    Type(QStringLiteral("r \u00EA"));
    // Words that would have taken seconds to say, each waited for, went by at once.
    EXPECT_LT(SecondsSince(start), 1.0);
    EXPECT_EQ(StatisticsShown, shownBefore + 1) << "the lesson was finished and recorded";
    EXPECT_EQ(Shown(m.LabelErreur), QStringLiteral("1"));
    EXPECT_TRUE(Errors.isEmpty());
    EXPECT_EQ(Messages, messagesBefore) << "nothing says the sound is missing";
    EXPECT_TRUE(m.DXWaveList3.Find(QStringLiteral("Touche_b.wav")).Voice.empty());
}
