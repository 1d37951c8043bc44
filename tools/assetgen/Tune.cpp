// The splash-window tune: a cheerful little polka of 32 bars in C major, synthesised into an 8000 Hz 8-bit
// stereo recording. A reed and a brass voice take turns on the melody over an oom-pah of tuba and musette
// accordion, with a light drum kit; the middle eight turns to woodblock and a slide whistle, and the tune ends on
// the old "shave and a haircut" knock. Every voice is a handful of sine partials kept below 3.6 kHz, so nothing
// folds back at this low sampling rate.

#include "AssetGen.h"
#include "Synth.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

namespace assetgen {

namespace {

using synth::Pi;
using synth::Ramp;
constexpr int Rate = 8000;
constexpr double Ceiling = 3600.0;
constexpr double Length = 59.08;

// 32 bars of four beats fill the recording exactly, the last bar ringing out.
constexpr int Bars = 32;
constexpr double Beat = Length / (Bars * 4);
constexpr double Eighth = Beat / 2;

double BarStart(int bar)
{
    return (bar - 1) * 4 * Beat;
}

double Frequency(int midi)
{
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

class StereoMix
{
public:
    explicit StereoMix(std::size_t frames) : m_left(frames, 0.0), m_right(frames, 0.0) {}

    std::size_t First(double start) const { return Index(start); }
    std::size_t End(double start, double length) const { return Index(start + length); }
    static double Time(std::size_t i) { return static_cast<double>(i) / Rate; }

    // Constant-power panning: -1 is hard left, +1 hard right.
    void Add(std::size_t i, double value, double pan)
    {
        const double angle = (pan + 1.0) * Pi / 4.0;
        m_left[i] += value * std::cos(angle);
        m_right[i] += value * std::sin(angle);
    }

    // Brings the last `seconds` of the mix smoothly down to silence.
    void FadeOut(double seconds)
    {
        const double end = Time(m_left.size());
        for (std::size_t i = First(end - seconds); i < m_left.size(); ++i) {
            const double gain = Ramp(end - Time(i), seconds);
            m_left[i] *= gain;
            m_right[i] *= gain;
        }
    }

    // A small room: each side hears itself and the other side again a little later and softer, which rounds off
    // the staccato and widens the picture.
    void Room()
    {
        const std::size_t nearDelay = static_cast<std::size_t>(0.089 * Rate);
        const std::size_t farDelay = static_cast<std::size_t>(0.131 * Rate);
        for (std::size_t i = farDelay; i < m_left.size(); ++i) {
            m_left[i] += 0.22 * m_left[i - nearDelay] + 0.12 * m_right[i - farDelay];
            m_right[i] += 0.22 * m_right[i - farDelay] + 0.12 * m_left[i - nearDelay];
        }
    }

    Pcm ToPcm(double peak) const
    {
        double loudest = 1e-9;
        for (std::size_t i = 0; i < m_left.size(); ++i)
            loudest = std::max({loudest, std::fabs(m_left[i]), std::fabs(m_right[i])});
        Pcm sound;
        sound.SampleRate = Rate;
        sound.BitsPerSample = 8;
        sound.Channels = 2;
        sound.Data.reserve(2 * m_left.size());
        auto quantise = [&](double s) {
            const long value = std::lround(128.0 + 127.0 * peak * s / loudest);
            return static_cast<std::uint8_t>(std::clamp(value, 0L, 255L));
        };
        for (std::size_t i = 0; i < m_left.size(); ++i) {
            sound.Data.push_back(quantise(m_left[i]));
            sound.Data.push_back(quantise(m_right[i]));
        }
        return sound;
    }

private:
    std::size_t Index(double seconds) const
    {
        const auto i = static_cast<std::size_t>(std::lround(std::max(0.0, seconds) * Rate));
        return std::min(i, m_left.size());
    }

    std::vector<double> m_left;
    std::vector<double> m_right;
};

// A pitched instrument: its harmonic recipe and the shape of its notes.
struct Timbre {
    std::vector<double> Partials; // amplitude of the fundamental, the octave, the twelfth ...
    double Attack;
    double Decay;   // time constant of the fall from the attack peak to the sustain level
    double Sustain; // 0: the note simply dies away
    double Release;
    double Vibrato = 0.0; // depth, as a fraction of the frequency, reached on long notes
    double Detune = 0.0;  // a second reed this much sharp, as a fraction: the accordion's wobble
};

const Timbre Reed{{1.0, 0.06, 0.5, 0.05, 0.28, 0.03, 0.14, 0.02, 0.06}, 0.012, 0.10, 0.7, 0.03, 0.005};
const Timbre Brass{{1.0, 0.7, 0.5, 0.35, 0.22, 0.14, 0.08}, 0.025, 0.12, 0.75, 0.04, 0.006};
const Timbre Tuba{{1.0, 0.6, 0.3, 0.15, 0.06}, 0.012, 0.15, 0.35, 0.04};
const Timbre Accordion{{1.0, 0.5, 0.35, 0.2, 0.12, 0.06}, 0.01, 0.08, 0.6, 0.03, 0.0, 0.004};
const Timbre Glockenspiel{{1.0}, 0.002, 0.25, 0.0, 0.05};

void Play(StereoMix &mix, double start, double length, int midi, double level, const Timbre &timbre, double pan)
{
    const double frequency = Frequency(midi);
    const double detuned = frequency * (1.0 + timbre.Detune);
    double phase = 0.0;
    double phase2 = 0.0;
    for (std::size_t i = mix.First(start); i < mix.End(start, length); ++i) {
        const double t = StereoMix::Time(i) - start;
        const double fall = timbre.Sustain + (1.0 - timbre.Sustain) * std::exp(-t / timbre.Decay);
        const double envelope = level * Ramp(t, timbre.Attack) * fall * Ramp(length - t, timbre.Release);
        const double wobble = 1.0 + timbre.Vibrato * Ramp(t - 0.3, 0.25) * std::sin(2.0 * Pi * 5.2 * t);
        phase += 2.0 * Pi * frequency * wobble / Rate;
        phase2 += 2.0 * Pi * detuned * wobble / Rate;
        double sum = 0.0;
        for (std::size_t n = 1; n <= timbre.Partials.size(); ++n) {
            if (n * detuned >= Ceiling)
                break;
            const double a = timbre.Partials[n - 1];
            sum += a * std::sin(n * phase);
            if (timbre.Detune != 0.0)
                sum += a * std::sin(n * phase2);
        }
        mix.Add(i, envelope * sum, pan);
    }
}

// The drum kit's noise comes from a fixed generator so every run makes the same recording.
class Noise
{
public:
    double Next()
    {
        m_state = m_state * 1664525u + 1013904223u;
        return static_cast<double>(m_state >> 8) / (1u << 23) - 1.0;
    }

private:
    std::uint32_t m_state = 20020u;
};

void Kick(StereoMix &mix, double start, double level)
{
    double phase = 0.0;
    for (std::size_t i = mix.First(start); i < mix.End(start, 0.25); ++i) {
        const double t = StereoMix::Time(i) - start;
        phase += 2.0 * Pi * (48.0 + 80.0 * std::exp(-t / 0.03)) / Rate;
        mix.Add(i, level * Ramp(t, 0.002) * std::exp(-t / 0.07) * Ramp(0.25 - t, 0.02) * std::sin(phase), 0.0);
    }
}

void Snare(StereoMix &mix, Noise &noise, double start, double level)
{
    double smooth = 0.0;
    for (std::size_t i = mix.First(start); i < mix.End(start, 0.2); ++i) {
        const double t = StereoMix::Time(i) - start;
        smooth += 0.6 * (noise.Next() - smooth);
        const double body = 0.5 * std::exp(-t / 0.03) * std::sin(2.0 * Pi * 190.0 * t);
        const double value = Ramp(t, 0.002) * (std::exp(-t / 0.05) * smooth + body) * Ramp(0.2 - t, 0.02);
        mix.Add(i, level * value, 0.15);
    }
}

void HiHat(StereoMix &mix, Noise &noise, double start, double level, double decay)
{
    double previous = 0.0;
    const double length = std::min(0.25, 6.0 * decay);
    for (std::size_t i = mix.First(start); i < mix.End(start, length); ++i) {
        const double t = StereoMix::Time(i) - start;
        const double white = noise.Next();
        const double bright = white - previous; // only the hiss, none of the rumble
        previous = white;
        mix.Add(i, level * Ramp(t, 0.001) * std::exp(-t / decay) * Ramp(length - t, 0.01) * bright, 0.45);
    }
}

void Woodblock(StereoMix &mix, double start, double level, double pitch)
{
    for (std::size_t i = mix.First(start); i < mix.End(start, 0.12); ++i) {
        const double t = StereoMix::Time(i) - start;
        const double value = std::exp(-t / 0.022) * std::sin(2.0 * Pi * pitch * t) +
                             0.4 * std::exp(-t / 0.008) * std::sin(2.0 * Pi * pitch * 2.47 * t);
        mix.Add(i, level * Ramp(t, 0.001) * Ramp(0.12 - t, 0.02) * value, -0.45);
    }
}

// A slide whistle swooping up from `from` to `to` Hz, with a little wobble from the player's breath.
void SlideWhistle(StereoMix &mix, double start, double length, double from, double to, double level)
{
    double phase = 0.0;
    for (std::size_t i = mix.First(start); i < mix.End(start, length); ++i) {
        const double t = StereoMix::Time(i) - start;
        const double glide = Ramp(t, length * 0.9);
        const double frequency = from * std::pow(to / from, glide) * (1.0 + 0.01 * std::sin(2.0 * Pi * 6.0 * t));
        phase += 2.0 * Pi * frequency / Rate;
        const double envelope = Ramp(t, 0.04) * Ramp(length - t, 0.08);
        mix.Add(i, level * envelope * (std::sin(phase) + 0.12 * std::sin(2.0 * phase)), 0.35);
    }
}

// ---- The score ------------------------------------------------------------------------------------------------

enum class Quality { Major, Minor, Seventh };

struct Chord {
    int Root; // semitones above C
    Quality Kind;
};

constexpr Chord C{0, Quality::Major};
constexpr Chord F{5, Quality::Major};
constexpr Chord G7{7, Quality::Seventh};
constexpr Chord D7{2, Quality::Seventh};
constexpr Chord Am{9, Quality::Minor};
constexpr Chord Dm{2, Quality::Minor};

// One bar: its harmony and the melody in eighths, written as note names ("C5", "F#5", "Bb4"), "." for a rest and
// "-" to hold the note before.
struct Bar {
    Chord Harmony;
    const char *Melody;
};

enum class Section { Intro, Verse, Chorus, Bridge, Reprise, Ending };

Section SectionOf(int bar)
{
    if (bar <= 2)
        return Section::Intro;
    if (bar <= 10)
        return Section::Verse;
    if (bar <= 18)
        return Section::Chorus;
    if (bar <= 22)
        return Section::Bridge;
    if (bar <= 30)
        return Section::Reprise;
    return Section::Ending;
}

const Bar Score[Bars] = {
    {C, ". . . . . . . ."},
    {G7, ". . . . . G4 A4 B4"},
    // Verse
    {C, "C5 . E5 . G5 . E5 ."},
    {F, "A5 . G5 . F5 E5 F5 ."},
    {G7, "G5 F5 E5 D5 B4 . G4 ."},
    {C, "C5 . E5 . C5 - . ."},
    {C, "C5 . E5 . G5 . C6 ."},
    {F, "A5 . C6 . A5 G5 F5 ."},
    {G7, "G5 . B4 . D5 F5 E5 D5"},
    {C, "C5 . G4 . C5 - . ."},
    // Chorus
    {F, "F5 . A5 . C6 - A5 ."},
    {F, "Bb5 . A5 . G5 . F5 ."},
    {C, "E5 . G5 . C6 - G5 ."},
    {C, "A5 . G5 . F5 . E5 ."},
    {D7, "F#5 . A5 . D6 - C6 ."},
    {G7, "B5 . A5 . G5 . F5 ."},
    {C, "E5 G5 C6 G5 E5 G5 C6 ."},
    {G7, "D6 . B5 . G5 - . ."},
    // Bridge
    {Am, "A4 . C5 . E5 . A4 ."},
    {Dm, "D5 . F5 . A5 . F5 ."},
    {G7, "G5 F5 E5 D5 C5 B4 A4 G4"},
    {G7, ". . . . . G4 A4 B4"},
    // Reprise
    {C, "C5 . E5 . G5 . E5 ."},
    {F, "A5 . G5 . F5 E5 F5 ."},
    {G7, "G5 F5 E5 D5 B4 . G4 ."},
    {C, "C5 . E5 . C5 - . ."},
    {C, "C5 . E5 . G5 . C6 ."},
    {F, "A5 . C6 . A5 G5 F5 ."},
    {G7, "G5 . B4 . D5 F5 E5 D5"},
    {C, "C5 . G4 . C5 . E5 G5"},
    // Ending
    {C, "C5 - G4 G4 A4 - G4 -"},
    {C, ". . B4 - C5 - - -"},
};

// MIDI number of a note name, or -1 for a rest and -2 for a hold.
int Pitch(std::string_view name)
{
    if (name == ".")
        return -1;
    if (name == "-")
        return -2;
    static const int Steps[] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    int semitone = Steps[name[0] - 'A'];
    std::size_t at = 1;
    if (name[at] == '#' || name[at] == 'b') {
        semitone += name[at] == '#' ? 1 : -1;
        ++at;
    }
    const int octave = name[at] - '0';
    return 12 * (octave + 1) + semitone;
}

std::vector<int> Eighths(const char *melody)
{
    std::vector<int> slots;
    std::string_view rest(melody);
    while (!rest.empty()) {
        const std::size_t space = rest.find(' ');
        slots.push_back(Pitch(rest.substr(0, space)));
        rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
    }
    return slots;
}

std::vector<int> ChordTones(Chord chord)
{
    const int third = chord.Kind == Quality::Minor ? 3 : 4;
    std::vector<int> tones{chord.Root, chord.Root + third, chord.Root + 7};
    if (chord.Kind == Quality::Seventh)
        tones[0] = chord.Root + 10; // the seventh replaces the doubled root the tuba already plays
    return tones;
}

// The accordion keeps its chord tones between the G below middle C and the F sharp above it, clear of both the
// tuba and the melody.
int CompVoice(int pitchClass)
{
    const int pc = ((pitchClass % 12) + 12) % 12;
    return pc < 7 ? 60 + pc : 48 + pc;
}

int BassRoot(int pitchClass)
{
    const int pc = ((pitchClass % 12) + 12) % 12;
    return pc < 4 ? 48 + pc : 36 + pc;
}

void PlayMelody(StereoMix &mix, int bar, const std::vector<int> &slots, const Timbre &timbre, double level, double pan,
                int transpose)
{
    for (std::size_t s = 0; s < slots.size(); ++s) {
        if (slots[s] < 0)
            continue;
        std::size_t held = 1;
        while (s + held < slots.size() && slots[s + held] == -2)
            ++held;
        // Held notes are nearly legato; a note before a rest is a crisp quarter, one in a run a short eighth.
        double sounding = held * Eighth - 0.03;
        if (held == 1)
            sounding = s + 1 < slots.size() && slots[s + 1] == -1 ? 1.3 * Eighth : 0.85 * Eighth;
        Play(mix, BarStart(bar) + s * Eighth, sounding, slots[s] + transpose, level, timbre, pan);
    }
}

void PlayBar(StereoMix &mix, Noise &noise, int bar)
{
    const Bar &score = Score[bar - 1];
    const Section section = SectionOf(bar);
    const double start = BarStart(bar);
    const std::vector<int> slots = Eighths(score.Melody);
    const int root = BassRoot(score.Harmony.Root);
    const std::vector<int> chord = ChordTones(score.Harmony);

    switch (section) {
    case Section::Intro:
    case Section::Verse: PlayMelody(mix, bar, slots, Reed, 0.34, -0.3, 0); break;
    case Section::Chorus: PlayMelody(mix, bar, slots, Brass, 0.26, 0.25, 0); break;
    case Section::Bridge: PlayMelody(mix, bar, slots, Reed, 0.3, -0.2, -12); break;
    case Section::Reprise:
        PlayMelody(mix, bar, slots, Brass, 0.24, -0.2, 0);
        PlayMelody(mix, bar, slots, Glockenspiel, 0.16, 0.55, 12);
        break;
    case Section::Ending:
        PlayMelody(mix, bar, slots, Brass, 0.26, -0.1, 0);
        PlayMelody(mix, bar, slots, Reed, 0.2, 0.3, -12);
        break;
    }

    if (bar == Bars) {
        // The closing knock: a snare on the "two", then everyone on the "bits", left to ring.
        const double last = start + 2 * Beat;
        const double ring = Length - last - 0.05;
        Snare(mix, noise, start + Beat, 0.35);
        Kick(mix, last, 0.45);
        Snare(mix, noise, last, 0.3);
        HiHat(mix, noise, last, 0.25, 0.15);
        Play(mix, last + 0.01, ring, root - 12, 0.25, Tuba, 0.0);
        Play(mix, last + 0.01, ring, root, 0.2, Tuba, 0.0);
        for (std::size_t k = 0; k < chord.size(); ++k)
            Play(mix, last, ring, CompVoice(chord[k]), 0.1, Accordion, 0.35 - 0.35 * k);
        return;
    }

    // The oom-pah: tuba on the strong beats (a walking line in the chorus and bridge), accordion chords between.
    const bool walking = section == Section::Chorus || section == Section::Bridge;
    const int third = score.Harmony.Kind == Quality::Minor ? 3 : 4;
    const int walk[4] = {0, third, 7, score.Harmony.Kind == Quality::Seventh ? 10 : 9};
    for (int beat = 0; beat < 4; ++beat) {
        const double at = start + beat * Beat;
        if (walking) {
            Play(mix, at, 0.85 * Beat, root + walk[beat], 0.42, Tuba, 0.0);
        } else if (beat % 2 == 0) {
            Play(mix, at, 0.8 * Beat, beat == 0 ? root : root + 7 - 12 * (root + 7 > 52), 0.45, Tuba, 0.0);
        }
        if (beat % 2 == 1 || section == Section::Bridge) {
            const double stab = section == Section::Bridge ? 0.3 * Beat : 0.45 * Beat;
            const double when = section == Section::Bridge ? at + Eighth : at;
            for (std::size_t k = 0; k < chord.size(); ++k)
                Play(mix, when, stab, CompVoice(chord[k]), 0.09, Accordion, 0.35 - 0.35 * k);
        }
    }

    // The kit: kick on the oom, snare on the pah, hi-hat on every eighth, opening up in the chorus; the bridge
    // trades it all for a woodblock.
    for (int beat = 0; beat < 4; ++beat) {
        const double at = start + beat * Beat;
        if (section == Section::Bridge) {
            if (beat == 0)
                Kick(mix, at, 0.55);
            Woodblock(mix, at, beat % 2 == 0 ? 0.3 : 0.22, beat % 2 == 0 ? 900.0 : 1250.0);
            continue;
        }
        if (beat % 2 == 0)
            Kick(mix, at, 0.65);
        else if (section != Section::Intro || bar == 2)
            Snare(mix, noise, at, 0.28);
        HiHat(mix, noise, at, 0.12, 0.012);
        HiHat(mix, noise, at + Eighth, section == Section::Chorus ? 0.13 : 0.08,
              section == Section::Chorus ? 0.04 : 0.012);
    }

    if (bar == 22)
        SlideWhistle(mix, start, 2.4 * Beat, 520.0, 1560.0, 0.28);
}

} // namespace

Pcm ComedyTune()
{
    Pcm format;
    format.SampleRate = Rate;
    format.BitsPerSample = 8;
    format.Channels = 2;
    StereoMix mix(BytesForDuration(format, Length) / 2);
    Noise noise;
    for (int bar = 1; bar <= Bars; ++bar)
        PlayBar(mix, noise, bar);
    mix.Room();
    mix.FadeOut(0.6);
    return mix.ToPcm(0.85);
}

} // namespace assetgen
