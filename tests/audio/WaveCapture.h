#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include <QString>
#include <gtest/gtest.h>

#include "platform/sound/WaveFile.h"

using Clock = std::chrono::steady_clock;
inline double SecondsSince(Clock::time_point origin)
{
    return std::chrono::duration<double>(Clock::now() - origin).count();
}

// A time on the test's clock known to lie between two readings. A loaded machine can pause the test between
// any two steps, so what happens is timed by reading the clock before and after it, not at one side only.
struct Moment {
    Moment(double at) : From(at), To(at) {}
    Moment(double from, double to) : From(from), To(to) {}
    double From;
    double To;
};
inline Moment operator+(Moment m, double seconds)
{
    return {m.From + seconds, m.To + seconds};
}
// How long from one moment to another, at the least and at the most.
inline Moment operator-(Moment later, Moment earlier)
{
    return {later.From - earlier.To, later.To - earlier.From};
}

// Reads the test's clock around an action.
template <class Action>
Moment Around(Clock::time_point origin, Action &&action)
{
    const double from = SecondsSince(origin);
    action();
    return {from, SecondsSince(origin)};
}

// Whether two moments can be the same, give or take a tolerance.
::testing::AssertionResult Near(Moment heard, Moment expected, double tolerance);

// What the sound library wrote into its wave-file output: 16-bit mono samples from the moment its mixing
// thread started, in real time.
struct WaveCapture {
    int Rate = 0;
    std::vector<std::int16_t> Samples;
    // The first sample on the test's clock. The mixing thread starts some time after the device opens, tens of
    // milliseconds on a loaded machine, so a capture is lined up on the test's clock by its end instead.
    Moment Opened{0};

    // A time of the capture, on the test's clock.
    Moment At(double seconds) const { return Opened + seconds; }

    // A stretch of sound, in seconds from the capture's first sample.
    struct Span {
        double Start;
        double End;
        double Length() const { return End - Start; }
    };
    // Stretches where some sample stands above the threshold, merging those less than gap seconds apart, in the
    // capture's own seconds. Silence is written as zeros, so a low threshold finds the quiet ends of a sound too.
    std::vector<Span> Sounds(int threshold = 4, double gap = 0.03) const;
    // The median of the samples' absolute values over what surely lies between two times of the test's clock.
    int MedianLevel(Moment from, Moment to) const;
    // The end of the last sound span that surely ends before a time of the test's clock, in the capture's own
    // seconds.
    double LastEndBefore(Moment time, int threshold = 4) const;
};

// Where a recording is audible, in seconds from its start: recordings may open and close on silence.
WaveCapture::Span Audible(const PcmWave &wave);

// Reads the file once the device has closed (its sizes are written then); fails the calling test if it
// cannot. Given when the device closed on the test's clock, the capture is lined up on that clock.
WaveCapture ReadCapture(const QString &path);
WaveCapture ReadCapture(const QString &path, Moment closed);
