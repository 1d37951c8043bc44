#pragma once

#include <memory>

namespace openal {
class Device;
}

// A window's sound output, opened when the window is created and kept as long as it lives. Where no output
// device can be opened it stays closed: nothing is reported, and every play on its wave lists returns at once
// without a sound. All outputs of the process share one device.
class TDXSound
{
public:
    TDXSound();
    ~TDXSound();
    TDXSound(const TDXSound &) = delete;
    TDXSound &operator=(const TDXSound &) = delete;

    void Initialize();
    void Finalize();
    bool Initialized() const { return m_device != nullptr; }

    const std::shared_ptr<openal::Device> &Device() const { return m_device; }

private:
    std::shared_ptr<openal::Device> m_device;
};
