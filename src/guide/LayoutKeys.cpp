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

std::vector<std::string> LayoutKeys::KeyCharacters() const
{
    std::vector<std::string> keys;
    for (const PhysicalKey &key : PhysicalKeys()) {
        std::string characters;
        for (int ch = ' '; ch < 256; ++ch) {
            const GuideFacts &facts = m_facts[static_cast<std::size_t>(ch)];
            if (facts.Centre == key.Centre && facts.DeadKey == NoKey && !facts.ThumbOnSpace)
                characters += static_cast<char>(ch);
        }
        if (!characters.empty())
            keys.push_back(std::move(characters));
    }
    return keys;
}

std::string LayoutKeys::FingerCharacters(int finger) const
{
    std::string characters;
    for (int ch = ' '; ch < 256; ++ch) {
        const Placements &fingers = m_facts[static_cast<std::size_t>(ch)].Fingers;
        for (int i = 0; i < fingers.Count; ++i)
            if (fingers.Items[static_cast<std::size_t>(i)].Item == finger) {
                characters += static_cast<char>(ch);
                break;
            }
    }
    return characters;
}

} // namespace keymap
