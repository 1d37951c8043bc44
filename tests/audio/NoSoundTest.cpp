#include <QTest>

#include "WaveCapture.h"
#include "platform/controls/TBitBtn.h"
#include "platform/controls/TLabel.h"
#include "windows/MainFixture.h"

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
    // The letters of B and ê, each said to its end before the next word with an output, went by at once: well
    // within the time they would have taken, which a loaded machine does not come near.
    const double waited = m.DXWaveList3.Find(QStringLiteral("Touche_b.wav")).Wave.Seconds() +
                          m.DXWaveList3.Find(QStringLiteral("Touche_e.wav")).Wave.Seconds();
    EXPECT_LT(SecondsSince(start), waited / 2);
    EXPECT_EQ(StatisticsShown, shownBefore + 1) << "the lesson was finished and recorded";
    EXPECT_EQ(Shown(m.LabelErreur), QStringLiteral("1"));
    EXPECT_TRUE(Errors.isEmpty());
    EXPECT_EQ(Messages, messagesBefore) << "nothing says the sound is missing";
    EXPECT_TRUE(m.DXWaveList3.Find(QStringLiteral("Touche_b.wav")).Voice.empty());
}
