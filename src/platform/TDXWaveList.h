#pragma once

#include <vector>

#include <QString>

#include "platform/WaveFile.h"

// A named list of recorded sounds on one sound output. Names are looked up ignoring letter case. Until the
// sound output opens, every play returns at once without a sound.
class TDXWaveList
{
public:
    struct Item {
        QString Name;
        bool Looped = false;
        int MaxPlayingCount = 0;
        PcmWave Wave;
        void Play(bool wait);
    };

    void Add(const QString &name, const PcmWave &wave = PcmWave());
    void Clear() { m_items.clear(); }
    int Count() const { return static_cast<int>(m_items.size()); }
    Item &Items(int index);
    // Fails with "Wave '<name>' not found".
    Item &Find(const QString &name);

private:
    std::vector<Item> m_items;
};
