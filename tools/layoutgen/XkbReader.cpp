#include "XkbReader.h"

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <vector>

#include <xkbcommon/xkbcommon-keysyms.h>
#include <xkbcommon/xkbcommon.h>

namespace layoutgen {

namespace {

// The X server's key codes are the PC scan codes plus 8.
constexpr xkb_keycode_t ScanCodeOffset = 8;

// The keys of the main block, by scan code: the typing keys, without the numeric pad (0x37, 0x47..0x53), the
// function keys or the modifiers.
bool MainBlock(unsigned scan)
{
    return (scan >= 0x02 && scan <= 0x0D) || (scan >= 0x10 && scan <= 0x1B) || (scan >= 0x1E && scan <= 0x29) ||
           (scan >= 0x2B && scan <= 0x35) || scan == 0x39 || scan == 0x56 || scan == 0x73 || scan == 0x7E;
}

// Unicode to Windows-1252: 0 when the code page has no such character.
unsigned char FromUnicode(char32_t u)
{
    if ((u >= 0x20 && u <= 0x7E) || (u >= 0xA0 && u <= 0xFF))
        return static_cast<unsigned char>(u);
    static constexpr char32_t High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                          0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                          0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                          0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    for (int i = 0; i < 32; ++i)
        if (High[i] == u && u != 0)
            return static_cast<unsigned char>(0x80 + i);
    return 0;
}

// The letters each dead accent makes, Windows-1252: `bases[i]` with the accent gives `made[i]`; the space after
// it gives the accent alone, `spacing` (0: none in the code page).
struct Accent {
    xkb_keysym_t Dead;
    const char *Bases;
    const char *Made;
    unsigned char Spacing;
};
// clang-format off
const Accent Accents[] = {
    {XKB_KEY_dead_grave,      "AEIOUaeiou",   "\xC0\xC8\xCC\xD2\xD9\xE0\xE8\xEC\xF2\xF9",         '`'},
    {XKB_KEY_dead_acute,      "AEIOUYaeiouy", "\xC1\xC9\xCD\xD3\xDA\xDD\xE1\xE9\xED\xF3\xFA\xFD", 0xB4},
    {XKB_KEY_dead_circumflex, "AEIOUaeiou",   "\xC2\xCA\xCE\xD4\xDB\xE2\xEA\xEE\xF4\xFB",         '^'},
    {XKB_KEY_dead_tilde,      "ANOano",       "\xC3\xD1\xD5\xE3\xF1\xF5",                         '~'},
    {XKB_KEY_dead_diaeresis,  "AEIOUYaeiouy", "\xC4\xCB\xCF\xD6\xDC\x9F\xE4\xEB\xEF\xF6\xFC\xFF", 0xA8},
    {XKB_KEY_dead_cedilla,    "Cc",           "\xC7\xE7",                                         0xB8},
    {XKB_KEY_dead_abovering,  "Aa",           "\xC5\xE5",                                         0},
    {XKB_KEY_dead_caron,      "SZsz",         "\x8A\x8E\x9A\x9E",                                 0},
};
// clang-format on

struct ContextFree {
    void operator()(xkb_context *context) const { xkb_context_unref(context); }
};
struct KeymapFree {
    void operator()(xkb_keymap *keymap) const { xkb_keymap_unref(keymap); }
};

} // namespace

layouts::TypingTable ReadTable(const std::string &layout, const std::string &variant)
{
    const std::unique_ptr<xkb_context, ContextFree> context(xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES));
    if (!context)
        throw std::runtime_error("libxkbcommon: no context");
    xkb_rule_names names{};
    names.rules = "evdev";
    names.model = "pc105";
    names.layout = layout.c_str();
    names.variant = variant.c_str();
    const std::unique_ptr<xkb_keymap, KeymapFree> keymap(
        xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (!keymap)
        throw std::runtime_error("libxkbcommon: no keymap for " + layout + "(" + variant + ")");
    const xkb_mod_index_t shift = xkb_keymap_mod_get_index(keymap.get(), XKB_MOD_NAME_SHIFT);
    const xkb_mod_index_t lock = xkb_keymap_mod_get_index(keymap.get(), XKB_MOD_NAME_CAPS);
    // AltGr: the third level's modifier.
    const xkb_mod_index_t altGr = xkb_keymap_mod_get_index(keymap.get(), "Mod5");

    layouts::TypingTable table{};
    // Each dead accent the layout has, and where.
    std::vector<std::pair<xkb_keysym_t, layouts::Stroke>> deadKeys;
    // The lowest level first, over every key, then the scan codes: a character on a key of its own (the French
    // $ or <) is not taught as a chord of Shift and AltGr on a key with a lower scan code.
    for (std::uint8_t wanted = 0; wanted < 4; ++wanted) {
        for (unsigned scan = 1; scan < 0x80; ++scan) {
            if (!MainBlock(scan))
                continue;
            const xkb_keycode_t key = scan + ScanCodeOffset;
            const xkb_level_index_t levels = xkb_keymap_num_levels_for_key(keymap.get(), key, 0);
            for (xkb_level_index_t level = 0; level < levels; ++level) {
                // The level must be reached with exactly the wanted Shift and AltGr, and without Caps Lock.
                xkb_mod_mask_t masks[16];
                const std::size_t count = xkb_keymap_key_get_mods_for_level(keymap.get(), key, 0, level, masks, 16);
                bool reached = false;
                for (std::size_t m = 0; m < count && !reached; ++m) {
                    const xkb_mod_mask_t mask = masks[m];
                    if (mask & (1u << lock))
                        continue;
                    const bool withShift = (mask & (1u << shift)) != 0;
                    const bool withAltGr = altGr != XKB_MOD_INVALID && (mask & (1u << altGr)) != 0;
                    const xkb_mod_mask_t others =
                        mask & ~((1u << shift) | (altGr != XKB_MOD_INVALID ? (1u << altGr) : 0u));
                    reached = others == 0 && withShift == ((wanted & layouts::ShiftLevel) != 0) &&
                              withAltGr == ((wanted & layouts::AltGrLevel) != 0);
                }
                if (!reached)
                    continue;
                const xkb_keysym_t *syms = nullptr;
                if (xkb_keymap_key_get_syms_by_level(keymap.get(), key, 0, level, &syms) != 1)
                    continue;
                const layouts::Stroke stroke{static_cast<std::uint8_t>(scan), wanted};
                bool dead = false;
                for (const Accent &accent : Accents)
                    dead = dead || accent.Dead == syms[0];
                if (dead) {
                    deadKeys.emplace_back(syms[0], stroke);
                    continue;
                }
                const unsigned char ch = FromUnicode(xkb_keysym_to_utf32(syms[0]));
                if (ch != 0 && !table[ch].Typeable())
                    table[ch].Base = stroke;
            }
        }
    }
    // Accented letters through the first dead key of their accent, when no key gives them whole.
    for (const Accent &accent : Accents) {
        const auto found =
            std::find_if(deadKeys.begin(), deadKeys.end(), [&](const auto &dead) { return dead.first == accent.Dead; });
        if (found == deadKeys.end())
            continue;
        const std::string_view bases(accent.Bases);
        for (std::size_t i = 0; i < bases.size(); ++i) {
            const auto made = static_cast<unsigned char>(accent.Made[i]);
            const auto base = static_cast<unsigned char>(bases[i]);
            if (!table[made].Typeable() && table[base].Typeable() && !table[base].Dead.Key)
                table[made] = {found->second, table[base].Base};
        }
        if (accent.Spacing != 0 && !table[accent.Spacing].Typeable() && table[' '].Typeable())
            table[accent.Spacing] = {found->second, table[' '].Base};
    }
    return table;
}

} // namespace layoutgen
