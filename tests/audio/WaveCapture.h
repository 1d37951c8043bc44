#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include <QString>

#include "platform/sound/WaveFile.h"

// What the sound library wrote into its wave-file output: 16-bit mono samples from the moment the device
// opened, in real time.
struct WaveCapture {
    int Rate = 0;
    std::vector<std::int16_t> Samples;

    // A stretch of sound, in seconds from the device's opening.
    struct Span {
        double Start;
        double End;
        double Length() const { return End - Start; }
    };
    // Stretches where some sample stands above the threshold, merging those less than gap seconds apart. Silence
    // is written as zeros, so a low threshold finds the quiet ends of a sound too.
    std::vector<Span> Sounds(int threshold = 4, double gap = 0.03) const;
    // The median of the samples' absolute values between two times.
    int MedianLevel(double from, double to) const;
    // Sound spans ending before a time.
    double LastEndBefore(double time, int threshold = 4) const;
};

// Where a recording is audible, in seconds from its start: recordings may open and close on silence.
WaveCapture::Span Audible(const PcmWave &wave);

// Reads the file once the device has closed (its sizes are written then); fails the calling test if it
// cannot.
WaveCapture ReadCapture(const QString &path);

using Clock = std::chrono::steady_clock;
inline double SecondsSince(Clock::time_point origin)
{
    return std::chrono::duration<double>(Clock::now() - origin).count();
}
