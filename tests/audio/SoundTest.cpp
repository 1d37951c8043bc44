#include <thread>

#include <AL/al.h>
#include <gtest/gtest.h>

#include "WaveCapture.h"
#include "assets/EmbeddedAssets.h"
#include "audio/KeyNames.h"
#include "audio/TDXWaveList.h"
#include "platform/sound/OpenAl.h"
#include "platform/sound/TDXSound.h"
#include "platform/text/TutorError.h"

// Sound really produced: the sound library mixes into a wave file in real time, and each test reads back where
// there was sound and how loud. Each play is timed by reading the clock around it, and each capture is lined up on
// the test's clock by when the device closed, so a loaded machine only widens what is compared.

namespace {

void Sleep(double seconds)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

// A recording of a constant level: overlapping copies add up, which a tone would not show reliably.
PcmWave Level(double seconds, std::int16_t value)
{
    PcmWave wave;
    wave.Channels = 1;
    wave.SamplesPerSec = 22050;
    wave.BitsPerSample = 16;
    const int frames = static_cast<int>(seconds * wave.SamplesPerSec);
    wave.Samples.resize(frames * 2);
    for (int i = 0; i < frames; ++i) {
        wave.Samples[2 * i] = static_cast<char>(value & 0xFF);
        wave.Samples[2 * i + 1] = static_cast<char>((value >> 8) & 0xFF);
    }
    return wave;
}

class Sound : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Output = std::make_unique<TDXSound>();
        ASSERT_TRUE(Output->Initialized()) << "the wave-file output opens";
        ASSERT_FALSE(Output->Device()->CanSleep()) << "kept awake, so that the file runs in real time";
        Origin = Clock::now();
        List = std::make_unique<TDXWaveList>(Output.get());
    }

    // Closes the device, which completes the file, and reads it.
    WaveCapture Finish()
    {
        List.reset();
        const Moment closed = When([&] { Output.reset(); });
        return ReadCapture(qEnvironmentVariable("TUTOR_WAVE_CAPTURE"), closed);
    }

    template <class Action>
    Moment When(Action &&action) const
    {
        return Around(Origin, action);
    }

    TDXWaveList::Item &Add(const char *name)
    {
        List->Add(QLatin1String(name), assets::Wave(QLatin1String(name)));
        return List->Find(QLatin1String(name));
    }

    std::unique_ptr<TDXSound> Output;
    std::unique_ptr<TDXWaveList> List;
    Clock::time_point Origin;
};

} // namespace

TEST_F(Sound, ACueSoundsFromThePlayForTheLengthOfItsRecording)
{
    for (const char *name : {"Type.wav", "Error.wav", "Soluce.wav"}) {
        SCOPED_TRACE(name);
        TDXWaveList::Item &cue = Add(name);
        const WaveCapture::Span audible = Audible(cue.Wave);
        Sleep(0.1);
        const Moment played = When([&] { cue.Play(false); });
        EXPECT_LT(played.To - played.From, cue.Wave.Seconds() / 2) << "a play without wait returns at once";
        EXPECT_TRUE(cue.Voice.at(0)->Playing());
        Sleep(cue.Wave.Seconds() + 0.1);
        const WaveCapture capture = Finish();
        const auto sounds = capture.Sounds(4, 0.1);
        ASSERT_EQ(sounds.size(), 1u);
        EXPECT_TRUE(Near(capture.At(sounds[0].Start), played + audible.Start, 0.04));
        EXPECT_NEAR(sounds[0].Length(), audible.Length(), 0.02);
        SetUp();
    }
}

TEST_F(Sound, ASoundStartedAgainWhileItSoundsOverlapsOnASecondVoice)
{
    TDXWaveList::Item &type = Add("Type.wav");
    const double length = type.Wave.Seconds();
    const WaveCapture::Span audible = Audible(type.Wave);
    ASSERT_GT(audible.End, 0.06) << "the first copy still sounds when the second starts";
    Sleep(0.1);
    const Moment first = When([&] { type.Play(false); });
    Sleep(0.06);
    ASSERT_TRUE(type.Voice.at(0)->Playing());
    const Moment second = When([&] { type.Play(false); });
    ASSERT_EQ(type.Voice.size(), 2u);
    EXPECT_TRUE(type.Voice[0]->Playing()) << "the first copy is not cut off";
    EXPECT_TRUE(type.Voice[1]->Playing());
    Sleep(length + 0.1);
    EXPECT_FALSE(type.Voice[0]->Playing());
    EXPECT_FALSE(type.Voice[1]->Playing());
    type.Play(false);
    EXPECT_EQ(type.Voice.size(), 2u) << "a silent voice is reused";
    Sleep(length + 0.1);
    const WaveCapture capture = Finish();
    const auto sounds = capture.Sounds();
    ASSERT_EQ(sounds.size(), 2u);
    EXPECT_TRUE(Near(capture.At(sounds[0].Start), first + audible.Start, 0.04));
    EXPECT_TRUE(Near(sounds[0].Length(), second - first + audible.Length(), 0.03)) << "the first copy was not cut off";
    EXPECT_NEAR(sounds[1].Length(), audible.Length(), 0.02);
}

TEST_F(Sound, OverlappingCopiesAreMixedTogether)
{
    List->Add(QStringLiteral("level"), Level(0.3, 5000));
    TDXWaveList::Item &level = List->Items(0);
    Sleep(0.1);
    const Moment first = When([&] { level.Play(false); });
    Sleep(0.15);
    const Moment second = When([&] { level.Play(false); });
    Sleep(0.5);
    const WaveCapture capture = Finish();
    const int alone = capture.MedianLevel(first + 0.03, second - 0.03);
    const int together = capture.MedianLevel(second + 0.03, first + 0.3 - 0.03);
    const int secondAlone = capture.MedianLevel(first + 0.3 + 0.03, second + 0.3 - 0.03);
    EXPECT_GT(alone, 1000);
    EXPECT_NEAR(together, 2 * alone, alone / 10) << "both copies are heard at once";
    EXPECT_NEAR(secondAlone, alone, alone / 10);
}

TEST_F(Sound, EightBitStereoAndOtherRatesPlayForTheirLength)
{
    // 8-bit samples are unsigned: 128 is silence, 228 a steady level above it.
    PcmWave wave;
    wave.Channels = 2;
    wave.SamplesPerSec = 8000;
    wave.BitsPerSample = 8;
    wave.Samples = QByteArray(2 * 8000 / 4, static_cast<char>(228));
    List->Add(QStringLiteral("stereo8"), wave);
    Sleep(0.1);
    const Moment start = When([&] { List->Items(0).Play(false); });
    Sleep(0.45);
    const WaveCapture capture = Finish();
    const auto sounds = capture.Sounds();
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_TRUE(Near(capture.At(sounds[0].Start), start, 0.04));
    EXPECT_NEAR(sounds[0].Length(), 0.25, 0.03);
}

TEST_F(Sound, StopSilencesEveryVoiceOfTheItem)
{
    List->Add(QStringLiteral("level"), Level(1.0, 5000));
    TDXWaveList::Item &level = List->Items(0);
    Sleep(0.1);
    const Moment start = When([&] {
        level.Play(false);
        level.Play(false);
    });
    Sleep(0.1);
    const Moment stopped = When([&] { level.Stop(); });
    EXPECT_FALSE(level.Voice[0]->Playing());
    EXPECT_FALSE(level.Voice[1]->Playing());
    Sleep(0.2);
    const WaveCapture capture = Finish();
    const auto sounds = capture.Sounds();
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_TRUE(Near(capture.At(sounds[0].Start), start, 0.04));
    EXPECT_TRUE(Near(sounds[0].Length(), stopped - start, 0.04)) << "silent from the stop";
}

TEST_F(Sound, ClearingTheListFreesEverySoundOnTheDevice)
{
    // Each lesson start clears a list: a sound the device cannot free would be lost every time.
    List->Add(QStringLiteral("level"), Level(0.3, 5000));
    List->Items(0).Play(false);
    List->Items(0).Play(false);
    const ALuint buffer = List->Items(0).BufferName();
    ASSERT_TRUE(alIsBuffer(buffer));
    List->Clear();
    EXPECT_FALSE(alIsBuffer(buffer));
}

TEST_F(Sound, ALimitOfCopiesRestartsTheOldestVoice)
{
    List->Add(QStringLiteral("level"), Level(0.3, 5000));
    TDXWaveList::Item &level = List->Items(0);
    level.MaxPlayingCount = 1;
    Sleep(0.1);
    const Moment first = When([&] { level.Play(false); });
    Sleep(0.1);
    const Moment second = When([&] { level.Play(false); });
    EXPECT_EQ(level.Voice.size(), 1u);
    Sleep(0.5);
    const WaveCapture capture = Finish();
    const auto sounds = capture.Sounds();
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_TRUE(Near(capture.At(sounds[0].Start), first, 0.04));
    EXPECT_TRUE(Near(sounds[0].Length(), second - first + 0.3, 0.04))
        << "the one voice started again from the beginning";
    EXPECT_LT(capture.MedianLevel(second + 0.03, first + 0.27), 6000) << "never two copies at once";
}

TEST_F(Sound, TwoWordNamesSayTheFirstToItsEndThenStartTheSecond)
{
    TDXWaveList::Item &a = Add("Touche_a.wav");
    TDXWaveList::Item &capital = Add("Touche_majuscule.wav");
    TDXWaveList::Item &e = Add("Touche_e.wav");
    TDXWaveList::Item &circumflex = Add("Touche_Circ.wav");
    TDXWaveList::Item &ec = Add("Touche_ec.wav");
    Sleep(0.1);
    // The output mixes in periods of about 12 ms and catches up after a pause of the machine, so a word can end a
    // few periods before its length has passed.
    const double early = 0.05;

    const Moment saidA = When([&] { keynames::Pronounce(*List, 'A'); });
    EXPECT_GE(saidA.To - saidA.From, a.Wave.Seconds() - early) << "the letter is said to its end first";
    EXPECT_LT(saidA.To - saidA.From, a.Wave.Seconds() + 0.08);
    EXPECT_FALSE(a.Voice.at(0)->Playing());
    EXPECT_TRUE(capital.Voice.at(0)->Playing()) << "the call returns while the second word sounds";
    // The letter started with the call; the capital word once the letter had ended, before the call returned.
    const Moment aPlayed{saidA.From, saidA.To - a.Wave.Seconds() + early};
    const Moment capitalPlayed{saidA.From + a.Wave.Seconds() - early, saidA.To};
    Sleep(capital.Wave.Seconds() + 0.2);

    const Moment saidE = When([&] { keynames::Pronounce(*List, 0xEA); }); // ê
    EXPECT_GE(saidE.To - saidE.From, e.Wave.Seconds() - early);
    EXPECT_LT(saidE.To - saidE.From, e.Wave.Seconds() + 0.08);
    EXPECT_TRUE(circumflex.Voice.at(0)->Playing());
    EXPECT_TRUE(ec.Voice.empty()) << "the word for è is not the one for ê";
    Sleep(circumflex.Wave.Seconds() + 0.2);

    // Finish frees the list and its items: what is still wanted of them is measured first.
    const WaveCapture::Span aAudible = Audible(a.Wave);
    const WaveCapture::Span capitalAudible = Audible(capital.Wave);
    const WaveCapture capture = Finish();
    ASSERT_FALSE(capture.Sounds().empty());
    EXPECT_TRUE(Near(capture.At(capture.Sounds().front().Start), aPlayed + aAudible.Start, 0.04));
    EXPECT_TRUE(Near(capture.At(capture.LastEndBefore(saidE)), capitalPlayed + capitalAudible.End, 0.04))
        << "the capital word was said to its end";
}

TEST(WaveList, FindIgnoresCaseAndNamesWhatIsMissing)
{
    TDXWaveList list;
    list.Add(QStringLiteral("Touche_a.wav"));
    list.Add(QStringLiteral("Type.wav"));
    EXPECT_EQ(&list.Find(QStringLiteral("TOUCHE_A.WAV")), &list.Items(0));
    EXPECT_EQ(&list.Find(QStringLiteral("type.wav")), &list.Items(1));
    try {
        list.Find(QStringLiteral("Touche_1.wav"));
        FAIL() << "a missing name is an error";
    } catch (const TutorError &error) {
        EXPECT_EQ(error.Text(), QStringLiteral("Wave 'Touche_1.wav' not found"));
    }
    EXPECT_THROW(list.Items(2), TutorError);
}

TEST(WaveList, WithoutAnOutputEveryPlayReturnsAtOnce)
{
    TDXWaveList list;
    list.Add(QStringLiteral("long"), Level(2.0, 5000));
    const auto start = Clock::now();
    list.Items(0).Play(true);
    EXPECT_LT(SecondsSince(start), 0.5);
    EXPECT_TRUE(list.Items(0).Voice.empty());
}
