#include "platform/sound/TDXSound.h"

#include "platform/sound/OpenAl.h"

TDXSound::~TDXSound() = default;

void TDXSound::Initialize()
{
    if (m_tried)
        return;
    m_tried = true;
    m_device = openal::Device::Acquire();
}

void TDXSound::Finalize()
{
    m_device.reset();
    m_tried = false;
}

bool TDXSound::Initialized()
{
    Initialize();
    return m_device != nullptr;
}
