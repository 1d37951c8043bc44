#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "audio/TDXWaveList.h"
#include "platform/sound/OpenAl.h"
#include "platform/sound/TDXSound.h"
#include "platform/text/TutorError.h"

TEST(TDXWaveList, FindIgnoresLetterCase)
{
    TDXWaveList list;
    list.Add(QStringLiteral("Touche_a.wav"));
    list.Add(QStringLiteral("Touche_majuscule.wav"));
    EXPECT_EQ(list.Find(QStringLiteral("Touche_A.wav")).Name, QStringLiteral("Touche_a.wav"));
    EXPECT_EQ(list.Find(QStringLiteral("TOUCHE_MAJUSCULE.WAV")).Name, QStringLiteral("Touche_majuscule.wav"));
    try {
        list.Find(QStringLiteral("Touche_Euro.wav"));
        FAIL() << "an unknown name must fail";
    } catch (const TutorError &error) {
        EXPECT_EQ(error.Text(), QStringLiteral("Wave 'Touche_Euro.wav' not found"));
    }
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void Sleep(double seconds)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

PcmWave Tone(double seconds)
{
    PcmWave wave;
    wave.Channels = 1;
    wave.SamplesPerSec = 22050;
    wave.BitsPerSample = 8;
    wave.Samples.fill('\x90', static_cast<int>(seconds * wave.SamplesPerSec));
    return wave;
}

} // namespace

// On the silent output, which mixes in real time as a sound card does.
TEST(TDXWaveList, TheDeviceSleepsWhileNothingSoundsAndWakesForTheNextSound)
{
    TDXSound output;
    TDXWaveList list(&output);
    list.Add(QStringLiteral("short"), Tone(0.15));
    list.Add(QStringLiteral("long"), Tone(0.3));
    TDXWaveList::Item &shortOne = list.Items(0);
    TDXWaveList::Item &longOne = list.Items(1);
    ASSERT_TRUE(output.Initialized());
    const openal::Device &device = *output.Device();
    ASSERT_TRUE(device.CanSleep()) << "the sound library can pause its output";
    const auto asleepWithin = [&](double seconds) {
        const auto start = Clock::now();
        while (!device.Asleep() && SecondsSince(start) < seconds)
            Sleep(0.002);
        return device.Asleep();
    };
    EXPECT_TRUE(asleepWithin(0.3)) << "opened with nothing to play";

    // Woken by a play, the sound is mixed to its end, and a play that waits for it returns then.
    const auto start = Clock::now();
    shortOne.Play(true);
    EXPECT_NEAR(SecondsSince(start), 0.15, 0.08);
    EXPECT_TRUE(asleepWithin(0.3));

    // Overlapping voices: never asleep while one still sounds (it would sound for ever), asleep once all have ended.
    longOne.Play(false);
    shortOne.Play(false);
    const auto overlapping = Clock::now();
    bool asleepWhileSounding = false;
    while (SecondsSince(overlapping) < 0.6) {
        if (device.Asleep() && (longOne.Voice.at(0)->Playing() || shortOne.Voice.at(0)->Playing()))
            asleepWhileSounding = true;
        Sleep(0.002);
    }
    EXPECT_FALSE(asleepWhileSounding);
    EXPECT_TRUE(device.Asleep());

    // A loop sounds past its length until it is stopped; the device sleeps once the output has drained.
    longOne.Looped = true;
    longOne.Play(false);
    Sleep(0.5);
    EXPECT_TRUE(longOne.Voice.at(0)->Playing());
    EXPECT_FALSE(device.Asleep());
    longOne.Stop();
    EXPECT_TRUE(asleepWithin(0.3));
    EXPECT_FALSE(longOne.Voice.at(0)->Playing());
}
