#pragma once

#include <memory>

namespace openal {
class Device;
}

// A window's sound output, opened the first time a sound is to be played, so that starting the program waits for
// no sound device, and kept as long as the window lives. Where no output device can be opened it stays closed:
// nothing is reported, it is not tried again, and every play on its wave lists returns at once without a sound.
// All outputs of the process share one device.
class TDXSound
{
public:
    TDXSound() = default;
    ~TDXSound();
    TDXSound(const TDXSound &) = delete;
    TDXSound &operator=(const TDXSound &) = delete;

    // Opens the device unless it was opened, or tried, already.
    void Initialize();
    void Finalize();
    // Whether the output is open, opening it if it was never tried.
    bool Initialized();

    const std::shared_ptr<openal::Device> &Device() const { return m_device; }

private:
    std::shared_ptr<openal::Device> m_device;
    bool m_tried = false;
};
