#pragma once

#include <chrono>
#include <memory>

#include "platform/sound/WaveFile.h"

// The process's one OpenAL device and context, shared by every sound output, and the OpenAL objects made on
// it. A second device cannot be opened on a plain ALSA card without a mixer, so each window's sound output
// borrows this one; it closes once the last output, buffer and source made on it are gone.
namespace openal {

// The device sleeps while nothing sounds: an open device mixes silence without end, a few percent of a core all
// day in a program that mostly waits. A watch thread, asleep itself until the longest voice is due to end or a
// voice is stopped, pauses the device once no voice plays; starting a voice wakes it first. Where the library
// cannot pause a device, it simply stays awake.
class Device
{
public:
    // The shared device, opened on first use; null when no output device can be opened (no sound card).
    static std::shared_ptr<Device> Acquire();

    ~Device();
    Device(const Device &) = delete;
    Device &operator=(const Device &) = delete;

    // Whether the device is paused now, mixing nothing.
    bool Asleep() const;
    // Whether it can be paused at all.
    bool CanSleep() const;

private:
    friend class Source;
    struct Handles;
    explicit Device(std::unique_ptr<Handles> handles);
    // Runs a voice's start with the device awake, then has the watch see how long it sounds.
    template <class Start>
    void Wake(Start &&start);
    void Register(unsigned source, bool add);
    // A voice has stopped or gone: the device may sleep once its output has drained.
    void CheckSoon();
    // Sees whether anything still sounds once the output has drained after `silent`, unless it was to sooner.
    void LookAt(std::chrono::steady_clock::time_point silent);
    void Watch();
    std::unique_ptr<Handles> m_handles;
};

// One recorded sound uploaded to the device.
class Buffer
{
public:
    // Fails (returns null) when the device refuses the format or the data.
    static std::unique_ptr<Buffer> Make(std::shared_ptr<Device> device, const PcmWave &wave);
    ~Buffer();
    Buffer(const Buffer &) = delete;
    Buffer &operator=(const Buffer &) = delete;

    unsigned Name() const { return m_name; }
    int SampleRate() const { return m_rate; }

private:
    Buffer(std::shared_ptr<Device> device, unsigned name, int rate);
    std::shared_ptr<Device> m_device;
    unsigned m_name;
    int m_rate;
};

// One playback copy of a buffer: it plays straight to the output, centred, without distance or direction.
class Source
{
public:
    static std::unique_ptr<Source> Make(std::shared_ptr<Device> device, const Buffer &buffer);
    ~Source();
    Source(const Source &) = delete;
    Source &operator=(const Source &) = delete;

    bool Playing() const;
    // Stops, rewinds to the start and plays once, or in a loop until stopped, with the given pitch factor, pan
    // (-1 left .. 1 right) and gain.
    void Start(float pitch, float pan, float gain, bool looped = false);
    void Stop();
    // Sample frames of the buffer played so far (0 when stopped).
    int Offset() const;

private:
    Source(std::shared_ptr<Device> device, unsigned name);
    std::shared_ptr<Device> m_device;
    unsigned m_name;
};

} // namespace openal
