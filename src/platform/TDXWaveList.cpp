#include "platform/TDXWaveList.h"

#include "platform/TutorError.h"

void TDXWaveList::Item::Play(bool)
{
    // No sound output is open: the play returns at once, silently.
}

void TDXWaveList::Add(const QString &name, const PcmWave &wave)
{
    Item item;
    item.Name = name;
    item.Wave = wave;
    m_items.push_back(std::move(item));
}

TDXWaveList::Item &TDXWaveList::Items(int index)
{
    if (index < 0 || index >= Count())
        throw TutorError(QStringLiteral("Indice de liste hors limites (%1)").arg(index));
    return m_items[static_cast<std::size_t>(index)];
}

TDXWaveList::Item &TDXWaveList::Find(const QString &name)
{
    for (Item &item : m_items) {
        if (item.Name.compare(name, Qt::CaseInsensitive) == 0)
            return item;
    }
    throw TutorError(QStringLiteral("Wave '%1' not found").arg(name));
}
