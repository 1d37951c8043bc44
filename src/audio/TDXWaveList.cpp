#include "audio/TDXWaveList.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "platform/sound/OpenAl.h"
#include "platform/sound/TDXSound.h"
#include "platform/text/TutorError.h"

TDXSoundVoice::TDXSoundVoice(std::unique_ptr<openal::Source> source) : m_source(std::move(source))
{
}

TDXSoundVoice::~TDXSoundVoice() = default;

bool TDXSoundVoice::Playing() const
{
    return m_source->Playing();
}

int TDXSoundVoice::Position() const
{
    return m_source->Offset();
}

TDXWaveList::Item::Item(TDXWaveList &owner) : m_owner(owner)
{
}

TDXWaveList::Item::~Item()
{
    Voice.clear();
    m_buffer.reset();
}

unsigned TDXWaveList::Item::BufferName() const
{
    return m_buffer ? m_buffer->Name() : 0;
}

bool TDXWaveList::Item::MakeBuffer()
{
    if (!m_buffer)
        m_buffer = openal::Buffer::Make(m_owner.DXSound->Device(), Wave);
    return m_buffer != nullptr;
}

TDXSoundVoice *TDXWaveList::Item::ChooseVoice()
{
    for (const auto &voice : Voice)
        if (!voice->Playing())
            return voice.get();
    if (MaxPlayingCount == 0 || MaxPlayingCount > static_cast<int>(Voice.size())) {
        auto source = openal::Source::Make(m_owner.DXSound->Device(), *m_buffer);
        if (!source)
            return nullptr;
        Voice.push_back(std::make_unique<TDXSoundVoice>(std::move(source)));
        return Voice.back().get();
    }
    // The limit is reached: the oldest voice starts again and becomes the newest.
    std::rotate(Voice.begin(), Voice.begin() + 1, Voice.end());
    return Voice.back().get();
}

void TDXWaveList::Item::Play(bool wait)
{
    if (!m_owner.DXSound || !m_owner.DXSound->Initialized() || !MakeBuffer())
        return;
    TDXSoundVoice *voice = ChooseVoice();
    if (!voice)
        return;
    const float pitch =
        Frequency > 0 ? static_cast<float>(Frequency) / static_cast<float>(m_buffer->SampleRate()) : 1.0f;
    const int pan = std::clamp(Pan, -10000, 10000);
    const float panPosition = static_cast<float>(pan) / 10000.0f;
    const float gain = Volume >= 0 ? 1.0f : std::pow(10.0f, static_cast<float>(std::max(Volume, -10000)) / 2000.0f);
    voice->Source().Start(pitch, panPosition, gain, Looped);
    if (!wait || Looped)
        return;
    while (voice->Playing())
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

void TDXWaveList::Item::Stop()
{
    for (const auto &voice : Voice)
        voice->Source().Stop();
}

void TDXWaveList::Add(const QString &name, const PcmWave &wave)
{
    auto item = std::make_unique<Item>(*this);
    item->Name = name;
    item->Wave = wave;
    // The sound goes to the device once, on its first play: a list filled at start-up opens no device.
    m_items.push_back(std::move(item));
}

TDXWaveList::Item &TDXWaveList::Items(int index)
{
    if (index < 0 || index >= Count())
        throw TutorError(QStringLiteral("Indice de liste hors limites (%1)").arg(index));
    return *m_items[static_cast<std::size_t>(index)];
}

TDXWaveList::Item &TDXWaveList::Find(const QString &name)
{
    for (const auto &item : m_items) {
        if (item->Name.compare(name, Qt::CaseInsensitive) == 0)
            return *item;
    }
    throw TutorError(QStringLiteral("Wave '%1' not found").arg(name));
}
