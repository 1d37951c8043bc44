#include "guide/LayoutKeys.h"

#include "platform/input/KeyboardLayout.h"

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
        const std::uint8_t levels = typing.Base.Level | (dead ? typing.Dead.Level : 0);
        facts.Shift = (levels & layouts::ShiftLevel) != 0;
        facts.AltGr = (levels & layouts::AltGrLevel) != 0;
        facts.Level = typing.Base.Level;
        if (dead) {
            facts.DeadLevel = typing.Dead.Level;
            facts.After = layouts::CharacterAt(table, typing.Base);
        }
        if (dead && base->Scan == SpaceScan) {
            // An accent alone: its dead key, then the space bar.
            facts.Centre = dead->Centre;
            facts.Fingers = FingersOf(*dead);
            facts.ThumbOnSpace = true;
            continue;
        }
        facts.Centre = base->Centre;
        facts.Fingers = FingersOf(*base);
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

const LayoutKeys &FrenchAzertyKeys()
{
    static const LayoutKeys keys(kbdlayout::Table());
    return keys;
}

GuideFacts GuideFactsOf(unsigned char ch, const LayoutKeys *keys)
{
    if (keys)
        return keys->Of(ch);
    if (!HasKey(ch))
        return FrenchAzertyKeys().Of(ch);
    // The key map's own marks and fingers, as the French guide has always drawn them; the way said is the layout's.
    static const KeyCentres centres = [] {
        KeyCentres filled;
        filled.Fill();
        return filled;
    }();
    GuideFacts facts = FrenchAzertyKeys().Of(ch);
    facts.Centre = centres(ch);
    facts.Fingers = FingerPlacement(ch);
    facts.Shift = ShiftCharacters(ch);
    facts.AltGr = false;
    facts.DeadKey = DeadKeyCharacters(ch) ? centres('^') : NoKey;
    facts.Outlined = OutlinedCharacters(ch);
    facts.ThumbOnSpace = ch == '^' || ch == 0xA8;
    return facts;
}

} // namespace keymap
