#include <thread>

#include <QTest>

#include "WaveCapture.h"
#include "audio/KeyNames.h"
#include "platform/controls/TBitBtn.h"
#include "platform/controls/TSpinEdit.h"
#include "windows/MainFixture.h"

// The main window's cues and key names as the learner hears them, captured from the sound library's output.

using MainSound = MainFixture;

namespace {

void Sleep(double seconds)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

} // namespace

TEST_F(MainSound, EveryWordTheKeyNamesSayIsInTheWordList)
{
    TMain &m = Main();
    QTest::mouseClick(m.BoutonPrononcer, Qt::LeftButton);
    for (int code = 0; code < 256; ++code) {
        const keynames::Words words = keynames::WordsFor(static_cast<unsigned char>(code));
        for (int i = 0; i < words.Count; ++i)
            EXPECT_NO_THROW(m.DXWaveList3.Find(QLatin1String(words.Names[static_cast<std::size_t>(i)])))
                << "code " << code;
    }
}

TEST_F(MainSound, CorrectAndWrongKeysSoundTheirCuesAtTheirRecordedRate)
{
    WriteLesson(1, "ab\r\n");
    TMain &m = Main();
    ASSERT_TRUE(m.DXSound1.Initialized());
    const auto origin = Clock::now();
    const double typeLength = m.DXWaveList1.Items(0).Wave.Seconds();
    const double errorLength = m.DXWaveList1.Items(1).Wave.Seconds();
    const WaveCapture::Span typeHeard = Audible(m.DXWaveList1.Items(0).Wave);
    const WaveCapture::Span errorHeard = Audible(m.DXWaveList1.Items(1).Wave);
    // The voice speed box changes the key names only: whatever it says, the cues keep their length.
    m.SpinEdit2->setValue(17100);
    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    Sleep(0.1);
    const Moment correct = Around(origin, [&] { Type(QStringLiteral("a")); });
    Sleep(typeLength + 0.15);
    const Moment wrong = Around(origin, [&] { Type(QStringLiteral("x")); });
    Sleep(errorLength + 0.15);
    const Moment closed = Around(origin, [&] { CloseMain(); });
    const WaveCapture capture = ReadCapture(qEnvironmentVariable("TUTOR_WAVE_CAPTURE"), closed);
    const auto sounds = capture.Sounds(4, 0.1);
    ASSERT_EQ(sounds.size(), 2u);
    // The cues are compared with each other on the capture's own clock; each is heard no earlier than its key,
    // give or take the output's mixing period of about 12 ms.
    EXPECT_GE(capture.At(sounds[0].Start).To, correct.From + typeHeard.Start - 0.02);
    EXPECT_TRUE(
        Near(sounds[1].Start - sounds[0].Start, (wrong + errorHeard.Start) - (correct + typeHeard.Start), 0.05));
    EXPECT_NEAR(sounds[0].Length(), typeHeard.Length(), 0.02);
    EXPECT_NEAR(sounds[1].Length(), errorHeard.Length(), 0.02);
}

TEST_F(MainSound, WithPronunciationOnTheNextKeyIsNamedAfterEveryKey)
{
    WriteLesson(1, "ab\r\n");
    TMain &m = Main();
    QTest::mouseClick(m.BoutonSon, Qt::LeftButton);
    QTest::mouseClick(m.BoutonPrononcer, Qt::LeftButton);
    ASSERT_FALSE(m.SoundOn());
    ASSERT_TRUE(m.PronunciationOn());
    TDXWaveList::Item &a = m.DXWaveList3.Find(QStringLiteral("Touche_a.wav"));
    TDXWaveList::Item &b = m.DXWaveList3.Find(QStringLiteral("Touche_b.wav"));
    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    ASSERT_EQ(a.Voice.size(), 1u) << "the lesson's first key is named as it starts";
    EXPECT_TRUE(a.Voice[0]->Playing());
    Type(QStringLiteral("a"));
    ASSERT_EQ(b.Voice.size(), 1u);
    EXPECT_TRUE(b.Voice[0]->Playing());
    Sleep(b.Wave.Seconds() + 0.1);
    ASSERT_FALSE(b.Voice[0]->Playing());
    Type(QStringLiteral("z"));
    EXPECT_TRUE(b.Voice[0]->Playing()) << "after a wrong key the same key is named again";
    EXPECT_EQ(b.Voice.size(), 1u);
    EXPECT_TRUE(m.DXWaveList1.Items(1).Voice.empty()) << "with the sound switch off, no cue";
    EXPECT_TRUE(Errors.isEmpty());
}

TEST_F(MainSound, TheVoiceSpeedBoxPlaysTheKeyNamesSlowerOrFaster)
{
    WriteLesson(1, "aa\r\n");
    TMain &m = Main();
    QTest::mouseClick(m.BoutonSon, Qt::LeftButton);
    QTest::mouseClick(m.BoutonPrononcer, Qt::LeftButton);
    const PcmWave &word = m.DXWaveList3.Find(QStringLiteral("Touche_a.wav")).Wave;
    const double heard = Audible(word).Length();
    m.SpinEdit2->setValue(17100);
    QTest::mouseClick(m.BoutonFacile, Qt::LeftButton);
    Sleep(word.Seconds() * 22050 / 17100 + 0.15);
    m.SpinEdit2->setValue(28100);
    Type(QStringLiteral("a"));
    Sleep(word.Seconds() + 0.15);
    CloseMain();
    const auto sounds = ReadCapture(qEnvironmentVariable("TUTOR_WAVE_CAPTURE")).Sounds(4, 0.1);
    ASSERT_EQ(sounds.size(), 2u);
    EXPECT_NEAR(sounds[0].Length(), heard * 22050 / 17100, 0.03) << "slower and lower";
    EXPECT_NEAR(sounds[1].Length(), heard * 22050 / 28100, 0.03) << "faster and higher";
}
