// The three short cues of the lessons, synthesised: the soft click of a right key, the low two-note buzz of a
// wrong one, and the little brass fanfare that closes a lesson. All are 8-bit unsigned mono; each sound is built
// from a few sine partials with smooth envelopes so nothing in it clicks or aliases.

#include "AssetGen.h"
#include "Synth.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>

namespace assetgen {

namespace {

using synth::Pi;
using synth::Ramp;

// A mono mix in floating point, full scale at +-1.
class Track
{
public:
    Track(int rate, double seconds) : m_rate(rate)
    {
        Pcm format;
        format.SampleRate = rate;
        format.BitsPerSample = 8;
        format.Channels = 1;
        m_samples.assign(BytesForDuration(format, seconds), 0.0);
    }

    int Rate() const { return m_rate; }
    std::size_t Size() const { return m_samples.size(); }
    double Seconds(std::size_t i) const { return static_cast<double>(i) / m_rate; }
    double &operator[](std::size_t i) { return m_samples[i]; }

    // The samples between `start` and `start + length` seconds, clipped to the track.
    std::size_t First(double start) const { return Index(start); }
    std::size_t Last(double start, double length) const { return Index(start + length); }

    // 8-bit unsigned, silence at 128. The mix is scaled so its loudest sample reaches `peak` of full scale.
    Pcm ToPcm(double peak) const
    {
        double loudest = 1e-9;
        for (double s : m_samples)
            loudest = std::max(loudest, std::fabs(s));
        Pcm sound;
        sound.SampleRate = m_rate;
        sound.BitsPerSample = 8;
        sound.Channels = 1;
        sound.Data.reserve(m_samples.size());
        for (double s : m_samples) {
            const long value = std::lround(128.0 + 127.0 * peak * s / loudest);
            sound.Data.push_back(static_cast<std::uint8_t>(std::clamp(value, 0L, 255L)));
        }
        return sound;
    }

private:
    std::size_t Index(double seconds) const
    {
        const auto i = static_cast<long>(std::lround(std::max(0.0, seconds) * m_rate));
        return std::min(static_cast<std::size_t>(i), m_samples.size());
    }

    int m_rate;
    std::vector<double> m_samples;
};

// A struck partial: a sine that starts at once (after a very short ramp) and dies away exponentially.
void AddStrike(Track &track, double start, double frequency, double level, double decay, double length)
{
    for (std::size_t i = track.First(start); i < track.Last(start, length); ++i) {
        const double t = track.Seconds(i) - start;
        const double tail = Ramp(length - t, 0.01);
        track[i] += level * Ramp(t, 0.0008) * std::exp(-t / decay) * tail * std::sin(2.0 * Pi * frequency * t);
    }
}

// A held note of additive partials (amplitudes in `partials`, the first is the fundamental) with a smooth
// attack and release. Partials at or above `ceiling` are left out so the sampling rate never folds them back.
void AddNote(Track &track, double start, double length, double frequency, double level,
             std::initializer_list<double> partials, double attack, double release, double ceiling)
{
    for (std::size_t i = track.First(start); i < track.Last(start, length); ++i) {
        const double t = track.Seconds(i) - start;
        const double envelope = level * Ramp(t, attack) * Ramp(length - t, release);
        double sum = 0.0;
        int n = 1;
        for (double amplitude : partials) {
            if (n * frequency < ceiling)
                sum += amplitude * std::sin(2.0 * Pi * n * frequency * t);
            ++n;
        }
        track[i] += envelope * sum;
    }
}

// A brass voice: the higher harmonics swell in as the note opens, which is what makes it sound blown rather than
// struck, and a slow vibrato comes in on held notes.
void AddBrass(Track &track, double start, double length, double frequency, double level)
{
    const double ceiling = 0.85 * track.Rate() / 2.0;
    const int harmonics = std::max(1, std::min(8, static_cast<int>(ceiling / frequency)));
    double phase = 0.0;
    for (std::size_t i = track.First(start); i < track.Last(start, length); ++i) {
        const double t = track.Seconds(i) - start;
        const double opening = Ramp(t, 0.035) * (1.0 + 0.15 * std::exp(-t / 0.06)) * Ramp(length - t, 0.07);
        const double vibrato = 1.0 + 0.004 * Ramp(t - 0.25, 0.2) * std::sin(2.0 * Pi * 5.5 * t);
        phase += 2.0 * Pi * frequency * vibrato / track.Rate();
        double sum = 0.0;
        for (int n = 1; n <= harmonics; ++n)
            sum += std::pow(std::min(opening, 1.0), 0.5 * (n - 1)) / std::pow(n, 1.1) * std::sin(n * phase);
        track[i] += level * opening * sum;
    }
}

double Note(int semitonesFromA4)
{
    return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0);
}

} // namespace

Pcm TypeCue()
{
    // A small wooden "tock": a bright partial that dies almost at once over a rounder body that rings a little
    // longer, the whole well inside the first tenth of a second.
    Track track(22050, 0.17);
    AddStrike(track, 0.0, 1318.5, 0.55, 0.012, 0.10);
    AddStrike(track, 0.0, 2637.0 * 1.01, 0.18, 0.004, 0.04);
    AddStrike(track, 0.0, 659.3, 0.35, 0.022, 0.12);
    AddStrike(track, 0.0, 3950.0, 0.05, 0.0015, 0.02);
    return track.ToPcm(0.4);
}

Pcm ErrorCue()
{
    // Two low notes falling by a tritone, with a soft reed-like tone whose gentle tremolo gives the buzz. The first
    // note opens within a millisecond, as the right key's click does: a slower swell would reach the ear a few
    // milliseconds after the key.
    Track track(22050, 0.45);
    const double ceiling = 4000.0;
    auto buzz = [&](double start, double length, double frequency, double attack) {
        AddNote(track, start, length, frequency, 1.0, {1.0, 0.55, 0.45, 0.3, 0.22, 0.15, 0.1, 0.07, 0.05}, attack, 0.04,
                ceiling);
        AddNote(track, start, length, frequency * 1.006, 0.5, {1.0, 0.3, 0.2}, attack * 1.5, 0.04, ceiling);
    };
    const int BFlat3 = -11, E3 = -17;
    buzz(0.0, 0.17, Note(BFlat3), 0.001);
    buzz(0.20, 0.24, Note(E3), 0.008);
    for (std::size_t i = 0; i < track.Size(); ++i)
        track[i] *= 1.0 - 0.25 * (0.5 + 0.5 * std::sin(2.0 * Pi * 28.0 * track.Seconds(i)));
    return track.ToPcm(0.5);
}

Pcm SoluceCue()
{
    // Three quick repeated notes, a leap up, an answer and a held major chord over a soft drum.
    Track track(11025, 2.39);
    const int G4 = -2, C5 = 3, E5 = 7, G5 = 10, C6 = 15, E4 = -5, C4 = -9;
    struct Call {
        double Start;
        double Length;
        int High;
        int Low;
    };
    const Call calls[] = {
        {0.00, 0.12, G4, E4}, {0.14, 0.12, G4, E4}, {0.28, 0.12, G4, E4}, {0.42, 0.42, C5, G4},
        {0.86, 0.12, G4, E4}, {1.00, 0.12, C5, G4}, {1.14, 0.12, E5, C5},
    };
    for (const Call &call : calls) {
        AddBrass(track, call.Start, call.Length, Note(call.High), 0.5);
        AddBrass(track, call.Start, call.Length, Note(call.Low), 0.3);
    }
    const double chord = 1.28;
    const double held = 1.05;
    for (int note : {C4, G4, C5, E5})
        AddBrass(track, chord, held, Note(note), 0.25);
    AddBrass(track, chord, held, Note(G5), 0.4);
    AddBrass(track, chord + 0.2, held - 0.2, Note(C6), 0.3);

    for (double hit : {0.42, chord}) {
        AddStrike(track, hit, 82.4, 0.6, 0.25, 0.9);
        AddStrike(track, hit, 123.5, 0.25, 0.15, 0.6);
    }
    return track.ToPcm(0.8);
}

} // namespace assetgen
