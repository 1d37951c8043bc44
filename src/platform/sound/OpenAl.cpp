#include "platform/sound/OpenAl.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

namespace openal {

using Clock = std::chrono::steady_clock;

struct Device::Handles {
    ALCdevice *device = nullptr;
    ALCcontext *context = nullptr;
    LPALCDEVICEPAUSESOFT pause = nullptr;
    LPALCDEVICERESUMESOFT resume = nullptr;
    // How long what the mixer has written takes to leave the output's buffer. Paused sooner, the device would keep
    // the end of the last sound there and play it before the next one.
    Clock::duration drain{};

    // What the watch thread shares with the voices, under the mutex.
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<unsigned> sources;
    // When to see whether anything still sounds; none while asleep or while only loops sound.
    std::optional<Clock::time_point> due;
    bool asleep = false;
    bool closing = false;
    std::thread watch;
};

namespace {

std::mutex g_mutex;
std::weak_ptr<Device> g_device;

} // namespace

Device::Device(std::unique_ptr<Handles> handles) : m_handles(std::move(handles))
{
    if (!m_handles->pause || !m_handles->resume)
        return;
    // Opened, the device mixes already: it sleeps until the first voice starts.
    m_handles->due = Clock::now();
    m_handles->watch = std::thread([this] { Watch(); });
}

Device::~Device()
{
    if (m_handles->watch.joinable()) {
        {
            std::lock_guard<std::mutex> lock(m_handles->mutex);
            m_handles->closing = true;
        }
        m_handles->changed.notify_one();
        m_handles->watch.join();
    }
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(m_handles->context);
    alcCloseDevice(m_handles->device);
}

std::shared_ptr<Device> Device::Acquire()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    if (auto shared = g_device.lock())
        return shared;
    auto handles = std::make_unique<Handles>();
    // Without a sound card OpenAL Soft gives no device rather than falling back on a silent one.
    handles->device = alcOpenDevice(nullptr);
    if (!handles->device)
        return nullptr;
    handles->context = alcCreateContext(handles->device, nullptr);
    if (!handles->context || !alcMakeContextCurrent(handles->context)) {
        if (handles->context)
            alcDestroyContext(handles->context);
        alcCloseDevice(handles->device);
        return nullptr;
    }
    // TUTOR_SOUND_NEVER_SLEEPS keeps the device awake, for an output that cannot be paused: the library's own
    // wave-file writer, which the tests listen through, writes its header over the sound when it is.
    const char *neverSleeps = std::getenv("TUTOR_SOUND_NEVER_SLEEPS");
    const bool mayPause = !neverSleeps || !*neverSleeps || std::strcmp(neverSleeps, "0") == 0;
    if (mayPause && alcIsExtensionPresent(handles->device, "ALC_SOFT_pause_device")) {
        handles->pause =
            reinterpret_cast<LPALCDEVICEPAUSESOFT>(alcGetProcAddress(handles->device, "alcDevicePauseSOFT"));
        handles->resume =
            reinterpret_cast<LPALCDEVICERESUMESOFT>(alcGetProcAddress(handles->device, "alcDeviceResumeSOFT"));
    }
    // The output holds a few mixing periods; the library says how many periods it mixes a second.
    ALCint refresh = 0;
    alcGetIntegerv(handles->device, ALC_REFRESH, 1, &refresh);
    handles->drain = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(refresh > 0 ? 3.0 / refresh + 0.01 : 0.1));
    std::shared_ptr<Device> shared(new Device(std::move(handles)));
    g_device = shared;
    return shared;
}

bool Device::Asleep() const
{
    std::lock_guard<std::mutex> lock(m_handles->mutex);
    return m_handles->asleep;
}

bool Device::CanSleep() const
{
    return m_handles->watch.joinable();
}

template <class Start>
void Device::Wake(Start &&start)
{
    Handles &h = *m_handles;
    std::lock_guard<std::mutex> lock(h.mutex);
    // Awake before the voice starts: a voice started on a paused device would wait, playing, for ever.
    if (h.asleep) {
        h.resume(h.device);
        h.asleep = false;
    }
    start();
    if (CanSleep())
        LookAt(Clock::now());
}

void Device::Register(unsigned source, bool add)
{
    std::lock_guard<std::mutex> lock(m_handles->mutex);
    auto &sources = m_handles->sources;
    if (add)
        sources.push_back(source);
    else
        sources.erase(std::remove(sources.begin(), sources.end(), source), sources.end());
}

void Device::CheckSoon()
{
    if (!CanSleep())
        return;
    std::lock_guard<std::mutex> lock(m_handles->mutex);
    if (!m_handles->asleep)
        LookAt(Clock::now());
}

void Device::LookAt(Clock::time_point silent)
{
    Handles &h = *m_handles;
    const Clock::time_point due = silent + h.drain;
    if (!h.due || due < *h.due) {
        h.due = due;
        h.changed.notify_one();
    }
}

namespace {

// How long a playing voice still sounds: what is left of its sound, at its pitch.
double Remaining(ALuint source)
{
    ALint buffer = 0, size = 0, bits = 0, channels = 0, frequency = 0;
    alGetSourcei(source, AL_BUFFER, &buffer);
    alGetBufferi(static_cast<ALuint>(buffer), AL_SIZE, &size);
    alGetBufferi(static_cast<ALuint>(buffer), AL_BITS, &bits);
    alGetBufferi(static_cast<ALuint>(buffer), AL_CHANNELS, &channels);
    alGetBufferi(static_cast<ALuint>(buffer), AL_FREQUENCY, &frequency);
    ALfloat offset = 0.0f, pitch = 1.0f;
    alGetSourcef(source, AL_SEC_OFFSET, &offset);
    alGetSourcef(source, AL_PITCH, &pitch);
    if (bits < 8 || channels <= 0 || frequency <= 0 || pitch <= 0.0f)
        return 0.0;
    const double length = static_cast<double>(size) / (bits / 8 * channels) / frequency;
    return std::max(0.0, (length - offset) / pitch);
}

} // namespace

void Device::Watch()
{
    Handles &h = *m_handles;
    std::unique_lock<std::mutex> lock(h.mutex);
    while (!h.closing) {
        if (!h.due) {
            h.changed.wait(lock);
            continue;
        }
        // Woken sooner, or the time put off meanwhile: wait on.
        h.changed.wait_until(lock, *h.due);
        if (h.closing || !h.due || Clock::now() < *h.due)
            continue;
        // What still sounds: the device is looked at again once the longest voice has ended.
        double longest = -1.0;
        bool looping = false;
        for (unsigned source : h.sources) {
            ALint state = AL_STOPPED;
            alGetSourcei(source, AL_SOURCE_STATE, &state);
            if (state != AL_PLAYING)
                continue;
            ALint loop = AL_FALSE;
            alGetSourcei(source, AL_LOOPING, &loop);
            if (loop)
                looping = true;
            else
                longest = std::max(longest, Remaining(source));
        }
        h.due.reset();
        if (longest >= 0.0)
            h.due = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(longest)) +
                    h.drain;
        else if (!looping) {
            h.pause(h.device);
            h.asleep = true;
        }
    }
}

Buffer::Buffer(std::shared_ptr<Device> device, unsigned name, int rate)
    : m_device(std::move(device)), m_name(name), m_rate(rate)
{
}

Buffer::~Buffer()
{
    alDeleteBuffers(1, &m_name);
}

std::unique_ptr<Buffer> Buffer::Make(std::shared_ptr<Device> device, const PcmWave &wave)
{
    if (!device || wave.SamplesPerSec <= 0 || wave.BlockAlign() <= 0)
        return nullptr;
    ALenum format = 0;
    if (wave.Channels == 1)
        format = wave.BitsPerSample == 8 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16;
    else if (wave.Channels == 2)
        format = wave.BitsPerSample == 8 ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16;
    if (format == 0 || (wave.BitsPerSample != 8 && wave.BitsPerSample != 16))
        return nullptr;
    // Only whole sample frames are given to the device.
    const int bytes = static_cast<int>(wave.Samples.size()) / wave.BlockAlign() * wave.BlockAlign();
    alGetError();
    ALuint name = 0;
    alGenBuffers(1, &name);
    if (alGetError() != AL_NO_ERROR)
        return nullptr;
    alBufferData(name, format, wave.Samples.constData(), bytes, wave.SamplesPerSec);
    if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &name);
        return nullptr;
    }
    return std::unique_ptr<Buffer>(new Buffer(std::move(device), name, wave.SamplesPerSec));
}

Source::Source(std::shared_ptr<Device> device, unsigned name) : m_device(std::move(device)), m_name(name)
{
    m_device->Register(m_name, true);
}

Source::~Source()
{
    m_device->Register(m_name, false);
    alSourceStop(m_name);
    alDeleteSources(1, &m_name);
    m_device->CheckSoon();
}

std::unique_ptr<Source> Source::Make(std::shared_ptr<Device> device, const Buffer &buffer)
{
    if (!device)
        return nullptr;
    alGetError();
    ALuint name = 0;
    alGenSources(1, &name);
    if (alGetError() != AL_NO_ERROR)
        return nullptr;
    alSourcei(name, AL_BUFFER, static_cast<ALint>(buffer.Name()));
    alSourcei(name, AL_SOURCE_RELATIVE, AL_TRUE);
    alSourcef(name, AL_ROLLOFF_FACTOR, 0.0f);
    alSource3f(name, AL_POSITION, 0.0f, 0.0f, 0.0f);
    if (alGetError() != AL_NO_ERROR) {
        alDeleteSources(1, &name);
        return nullptr;
    }
    return std::unique_ptr<Source>(new Source(std::move(device), name));
}

bool Source::Playing() const
{
    ALint state = AL_STOPPED;
    alGetSourcei(m_name, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
}

void Source::Start(float pitch, float pan, float gain, bool looped)
{
    m_device->Wake([&] {
        alSourceStop(m_name);
        alSourceRewind(m_name);
        alSourcef(m_name, AL_PITCH, pitch);
        alSourcef(m_name, AL_GAIN, gain);
        // A pan is a direction on the listener's left-right axis; centred, the source sits on the listener.
        if (pan == 0.0f)
            alSource3f(m_name, AL_POSITION, 0.0f, 0.0f, 0.0f);
        else
            alSource3f(m_name, AL_POSITION, pan, 0.0f, -std::sqrt(1.0f - pan * pan));
        alSourcei(m_name, AL_LOOPING, looped ? AL_TRUE : AL_FALSE);
        alSourcePlay(m_name);
    });
}

void Source::Stop()
{
    alSourceStop(m_name);
    m_device->CheckSoon();
}

int Source::Offset() const
{
    ALint offset = 0;
    alGetSourcei(m_name, AL_SAMPLE_OFFSET, &offset);
    return offset;
}

} // namespace openal
