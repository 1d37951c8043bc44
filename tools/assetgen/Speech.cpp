// The spoken key names: each word of the key-name list said by espeak-ng's French voice, as 22050 Hz 16-bit mono
// recordings that last exactly the listed time. The speaking rate is chosen so the word fits with a little room
// (slow and clear when it can, quicker only when it must), the speech is trimmed of espeak's own silences, brought
// to a common loudness and padded with silence at the end. A word is never cut.

#include "AssetGen.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include <QByteArray>

#include <espeak-ng/speak_lib.h>

namespace assetgen {

namespace {

constexpr int SampleRate = 22050;

// The rates tried first are the slow end of espeak's natural range, which reads single letters most clearly.
constexpr int SlowestRate = 150;
constexpr int RateStep = 5;

// Around the trimmed speech: a little silence before it, the faded edges kept from espeak's output, and the least
// silence that must remain at the end so the recording never ends on the word.
constexpr double LeadSilence = 0.005;
constexpr double KeptBefore = 0.005;
constexpr double KeptAfter = 0.015;
constexpr double EndRoom = 0.020;

// A dictation is read slowly, each word apart (the gap in tens of milliseconds), with a breath of silence
// before and after it.
constexpr int DictationRate = 110;
constexpr int DictationWordGap = 12;
constexpr double DictationLead = 0.4;
constexpr double DictationTail = 0.6;

// Anything quieter than this fraction of the loudest sample counts as silence when trimming.
constexpr double SilenceFraction = 0.01;

// Every word peaks at -3 dBFS, so the key names sound equally loud whatever espeak's level for each word.
constexpr double TargetPeak = 0.7079 * 32767.0;

// espeak-ng's library keeps global state: it is set up once for the whole run and shut down at exit.
class Speaker
{
public:
    Speaker()
    {
        const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
        if (rate != SampleRate) {
            espeak_Terminate();
            throw std::runtime_error("espeak-ng is not available at 22050 Hz");
        }
        espeak_SetSynthCallback(&Speaker::Collect);
        if (espeak_SetVoiceByName("fr") != EE_OK) {
            espeak_Terminate();
            throw std::runtime_error("espeak-ng has no French voice");
        }
    }
    ~Speaker() { espeak_Terminate(); }
    Speaker(const Speaker &) = delete;
    Speaker &operator=(const Speaker &) = delete;

    static Speaker &Instance()
    {
        static Speaker speaker;
        return speaker;
    }

    // The raw output of espeak for `text` at `rate` words per minute. Every parameter is set again each time so
    // one text's settings never leak into the next. With punctuation, the signs are said by their names and the
    // words are spaced out, as a dictation is read.
    std::vector<short> Say(const QByteArray &text, int rate, bool punctuation = false)
    {
        espeak_SetParameter(espeakRATE, rate, 0);
        espeak_SetParameter(espeakVOLUME, 100, 0);
        espeak_SetParameter(espeakPITCH, 50, 0);
        espeak_SetParameter(espeakRANGE, 50, 0);
        if (punctuation) {
            static const wchar_t signs[] = L",.;:?!";
            espeak_SetPunctuationList(signs);
        }
        espeak_SetParameter(espeakPUNCTUATION, punctuation ? espeakPUNCT_SOME : espeakPUNCT_NONE, 0);
        espeak_SetParameter(espeakWORDGAP, punctuation ? DictationWordGap : 0, 0);
        espeak_SetParameter(espeakCAPITALS, 0, 0);
        std::vector<short> samples;
        const espeak_ERROR result = espeak_Synth(text.constData(), static_cast<std::size_t>(text.size()) + 1, 0,
                                                 POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, &samples);
        if (result != EE_OK || espeak_Synchronize() != EE_OK)
            throw std::runtime_error("espeak-ng could not say \"" + text.toStdString() + "\"");
        return samples;
    }

private:
    static int Collect(short *wave, int count, espeak_EVENT *events)
    {
        if (wave && count > 0 && events) {
            auto *samples = static_cast<std::vector<short> *>(events->user_data);
            if (samples)
                samples->insert(samples->end(), wave, wave + count);
        }
        return 0;
    }
};

int Samples(double seconds)
{
    return static_cast<int>(std::lround(seconds * SampleRate));
}

// The span of `samples` that is speech, with a few milliseconds of espeak's own fade on each side.
struct Span {
    std::size_t Begin = 0;
    std::size_t End = 0;
    std::size_t Length() const { return End - Begin; }
};

Span SpeechSpan(const std::vector<short> &samples)
{
    int peak = 0;
    for (short s : samples)
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    if (peak == 0)
        throw std::runtime_error("espeak-ng said nothing");
    const int threshold = std::max(1, static_cast<int>(peak * SilenceFraction));
    std::size_t first = 0;
    while (std::abs(static_cast<int>(samples[first])) < threshold)
        ++first;
    std::size_t last = samples.size() - 1;
    while (std::abs(static_cast<int>(samples[last])) < threshold)
        --last;
    Span span;
    span.Begin = first - std::min(first, static_cast<std::size_t>(Samples(KeptBefore)));
    span.End = std::min(samples.size(), last + 1 + static_cast<std::size_t>(Samples(KeptAfter)));
    return span;
}

// espeak may start a word on its first sample and stop right after the last glottal pulse, so a few zeros on
// each side give the fades room to work on silence only, never on the voice.
std::vector<short> WithMargins(const std::vector<short> &samples)
{
    std::vector<short> padded(static_cast<std::size_t>(Samples(KeptBefore)), 0);
    padded.insert(padded.end(), samples.begin(), samples.end());
    padded.resize(padded.size() + static_cast<std::size_t>(Samples(KeptAfter)), 0);
    return padded;
}

std::vector<std::uint8_t> LittleEndian(const std::vector<std::int16_t> &samples)
{
    std::vector<std::uint8_t> bytes(samples.size() * 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const auto bits = static_cast<std::uint16_t>(samples[i]);
        bytes[2 * i] = static_cast<std::uint8_t>(bits & 0xFF);
        bytes[2 * i + 1] = static_cast<std::uint8_t>(bits >> 8);
    }
    return bytes;
}

bool Fits(const Span &span, int frames)
{
    return Samples(LeadSilence) + static_cast<int>(span.Length()) + Samples(EndRoom) <= frames;
}

} // namespace

Pcm SpeakKeyName(const keynames::Recording &name)
{
    Pcm sound;
    sound.SampleRate = SampleRate;
    sound.BitsPerSample = 16;
    sound.Channels = 1;
    const int frames = static_cast<int>(BytesForDuration(sound, name.Seconds) / 2);

    // espeak's French rules already read a lone letter by its name ("y" is "i grec", "w" is "double vé"), so the
    // words go to it as they are.
    Speaker &speaker = Speaker::Instance();
    const QByteArray text(name.Words);
    std::vector<short> speech;
    Span span;
    bool fitted = false;
    for (int rate = SlowestRate; rate <= espeakRATE_MAXIMUM && !fitted; rate += RateStep) {
        speech = WithMargins(speaker.Say(text, rate));
        span = SpeechSpan(speech);
        fitted = Fits(span, frames);
    }
    if (!fitted)
        throw std::runtime_error("\"" + text.toStdString() + "\" does not fit in its recording even spoken quickly");

    int peak = 1;
    for (std::size_t i = span.Begin; i < span.End; ++i)
        peak = std::max(peak, std::abs(static_cast<int>(speech[i])));
    const double gain = TargetPeak / peak;

    // The kept edges are below the silence threshold already; fading them keeps the cut from clicking.
    const auto fadeIn = static_cast<std::size_t>(Samples(KeptBefore));
    const auto fadeOut = static_cast<std::size_t>(Samples(KeptAfter));
    std::vector<std::int16_t> out(static_cast<std::size_t>(frames), 0);
    std::size_t at = static_cast<std::size_t>(Samples(LeadSilence));
    for (std::size_t i = span.Begin; i < span.End; ++i, ++at) {
        double fade = 1.0;
        if (i - span.Begin < fadeIn)
            fade = static_cast<double>(i - span.Begin) / fadeIn;
        if (span.End - i <= fadeOut)
            fade = std::min(fade, static_cast<double>(span.End - i - 1) / fadeOut);
        const long value = std::lround(speech[i] * gain * fade);
        out[at] = static_cast<std::int16_t>(std::clamp(value, -32768L, 32767L));
    }

    sound.Data = LittleEndian(out);
    return sound;
}

Pcm SpeakDictation(const QString &text)
{
    Pcm sound;
    sound.SampleRate = SampleRate;
    sound.BitsPerSample = 16;
    sound.Channels = 1;
    const std::vector<short> speech = Speaker::Instance().Say(text.toUtf8(), DictationRate, true);
    const Span span = SpeechSpan(speech);
    int peak = 1;
    for (std::size_t i = span.Begin; i < span.End; ++i)
        peak = std::max(peak, std::abs(static_cast<int>(speech[i])));
    const double gain = TargetPeak / peak;

    std::vector<std::int16_t> out(static_cast<std::size_t>(Samples(DictationLead)), 0);
    for (std::size_t i = span.Begin; i < span.End; ++i)
        out.push_back(static_cast<std::int16_t>(std::clamp(std::lround(speech[i] * gain), -32768L, 32767L)));
    out.resize(out.size() + static_cast<std::size_t>(Samples(DictationTail)), 0);

    sound.Data = LittleEndian(out);
    return sound;
}

} // namespace assetgen
