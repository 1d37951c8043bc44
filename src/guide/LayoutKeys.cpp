#include "guide/LayoutKeys.h"

namespace keymap {

namespace {

constexpr std::uint8_t SpaceScan = 0x39;

Placements FingersOf(const PhysicalKey &key)
{
    Placements placements;
    // The space bar is pressed by either thumb: both show, the left first, as on the French keyboard.
    if (key.Scan == SpaceScan) {
        placements.Count = 2;
        placements.Items = {FingerOffset(PouceG), FingerOffset(PouceD)};
    } else if (key.Finger >= 0) {
        placements.Count = 1;
        placements.Items[0] = FingerOffset(key.Finger);
    }
    return placements;
}

} // namespace

LayoutKeys::LayoutKeys(const layouts::TypingTable &table)
{
    for (std::size_t ch = 1; ch < table.size(); ++ch) {
        const layouts::Typing &typing = table[ch];
        const PhysicalKey *base = typing.Typeable() ? KeyOfScan(typing.Base.Key) : nullptr;
        const PhysicalKey *dead = typing.Dead.Key != 0 ? KeyOfScan(typing.Dead.Key) : nullptr;
        if (!base || (typing.Dead.Key != 0 && !dead))
            continue;
        GuideFacts &facts = m_facts[ch];
        if (dead && base->Scan == SpaceScan) {
            // An accent alone: its dead key, then the space bar.
            facts.Centre = dead->Centre;
            facts.Fingers = FingersOf(*dead);
            facts.Shift = (typing.Dead.Level & layouts::ShiftLevel) != 0;
            facts.ThumbOnSpace = true;
            continue;
        }
        facts.Centre = base->Centre;
        facts.Fingers = FingersOf(*base);
        facts.Shift = (typing.Base.Level & layouts::ShiftLevel) != 0;
        if (dead)
            facts.DeadKey = dead->Centre;
        // Outlined: a key struck alone, without AltGr.
        facts.Outlined = !dead && (typing.Base.Level & layouts::AltGrLevel) == 0 && base->Scan != SpaceScan;
    }
}

} // namespace keymap
