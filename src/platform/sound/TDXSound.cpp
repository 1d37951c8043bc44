#include "platform/sound/TDXSound.h"

#include "platform/sound/OpenAl.h"

TDXSound::TDXSound()
{
    Initialize();
}

TDXSound::~TDXSound() = default;

void TDXSound::Initialize()
{
    if (!m_device)
        m_device = openal::Device::Acquire();
}

void TDXSound::Finalize()
{
    m_device.reset();
}
