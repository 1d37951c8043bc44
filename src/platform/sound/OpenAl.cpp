#include "platform/sound/OpenAl.h"

#include <cmath>
#include <mutex>

#include <AL/al.h>
#include <AL/alc.h>

namespace openal {

struct Device::Handles {
    ALCdevice *device = nullptr;
    ALCcontext *context = nullptr;
};

namespace {

std::mutex g_mutex;
std::weak_ptr<Device> g_device;

} // namespace

Device::Device(std::unique_ptr<Handles> handles) : m_handles(std::move(handles))
{
}

Device::~Device()
{
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
    std::shared_ptr<Device> shared(new Device(std::move(handles)));
    g_device = shared;
    return shared;
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
}

Source::~Source()
{
    alSourceStop(m_name);
    alDeleteSources(1, &m_name);
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

void Source::Start(float pitch, float pan, float gain)
{
    alSourceStop(m_name);
    alSourceRewind(m_name);
    alSourcef(m_name, AL_PITCH, pitch);
    alSourcef(m_name, AL_GAIN, gain);
    // A pan is a direction on the listener's left-right axis; centred, the source sits on the listener.
    if (pan == 0.0f)
        alSource3f(m_name, AL_POSITION, 0.0f, 0.0f, 0.0f);
    else
        alSource3f(m_name, AL_POSITION, pan, 0.0f, -std::sqrt(1.0f - pan * pan));
    alSourcei(m_name, AL_LOOPING, AL_FALSE);
    alSourcePlay(m_name);
}

void Source::Stop()
{
    alSourceStop(m_name);
}

int Source::Offset() const
{
    ALint offset = 0;
    alGetSourcei(m_name, AL_SAMPLE_OFFSET, &offset);
    return offset;
}

} // namespace openal
