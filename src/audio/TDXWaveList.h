#pragma once

#include <memory>
#include <vector>

#include <QString>

#include "platform/sound/WaveFile.h"

class TDXSound;
namespace openal {
class Buffer;
class Source;
} // namespace openal

// One playback copy of a wave item's sound.
class TDXSoundVoice
{
public:
    explicit TDXSoundVoice(std::unique_ptr<openal::Source> source);
    ~TDXSoundVoice();
    bool Playing() const;
    // Sample frames played so far.
    int Position() const;
    openal::Source &Source() { return *m_source; }

private:
    std::unique_ptr<openal::Source> m_source;
};

// A named list of recorded sounds on one sound output. Names are looked up ignoring letter case. While the
// output is closed, every play returns at once without a sound.
//
// Each item's sound is given to the device once, as one buffer, on its first play; each play starts it on a voice, and
// voices are kept and reused once silent, so that a new one is made only when every existing one still sounds. A sound
// started again while it still sounds is therefore not cut off: the two copies overlap.
class TDXWaveList
{
public:
    class Item
    {
    public:
        QString Name;
        PcmWave Wave;
        // Played in a loop until stopped; a play that waits for its end returns at once.
        bool Looped = false;
        // Most copies that may sound at once; 0 for no limit.
        int MaxPlayingCount = 0;
        // 0 for the recording's own rate, else the rate to play at, in hertz.
        int Frequency = 0;
        // -10000 (left) .. 10000 (right), hundredths of a decibel of attenuation of the other side; 0 centred.
        int Pan = 0;
        // 0 for full volume, else a negative attenuation in hundredths of a decibel.
        int Volume = 0;
        std::vector<std::unique_ptr<TDXSoundVoice>> Voice;

        // Starts the sound from its beginning; with wait, returns only once it has ended, checking every 10 ms
        // with the thread asleep and no event handled meanwhile.
        void Play(bool wait);
        // Stops every voice of the item at once.
        void Stop();

        // The device's name for the item's sound; 0 until it has one.
        unsigned BufferName() const;

        explicit Item(TDXWaveList &owner);
        // The voices go first: the device keeps a sound that a voice still uses.
        ~Item();
        Item(const Item &) = delete;
        Item &operator=(const Item &) = delete;

    private:
        friend class TDXWaveList;
        bool MakeBuffer();
        TDXSoundVoice *ChooseVoice();

        TDXWaveList &m_owner;
        std::unique_ptr<openal::Buffer> m_buffer;
    };

    explicit TDXWaveList(TDXSound *sound = nullptr) : DXSound(sound) {}

    // The sound output the list plays on.
    TDXSound *DXSound;

    void Add(const QString &name, const PcmWave &wave = PcmWave());
    void Clear() { m_items.clear(); }
    int Count() const { return static_cast<int>(m_items.size()); }
    Item &Items(int index);
    // Fails with "Wave '<name>' not found".
    Item &Find(const QString &name);

private:
    std::vector<std::unique_ptr<Item>> m_items;
};
