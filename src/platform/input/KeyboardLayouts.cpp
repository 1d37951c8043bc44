#include "platform/input/KeyboardLayouts.h"

namespace layouts {

namespace {

// Made at build time by tools/layoutgen from the X keyboard data: `Tables`, one TypingTable per layout, in the
// order of Layout.
#include "LayoutTables.inc"

} // namespace

const TypingTable &TableOf(Layout layout)
{
    return Tables[static_cast<std::size_t>(layout)];
}

unsigned char CharacterAt(const TypingTable &table, Stroke stroke)
{
    for (std::size_t ch = 1; ch < table.size(); ++ch)
        if (table[ch].Base == stroke && table[ch].Dead.Key == 0)
            return static_cast<unsigned char>(ch);
    return 0;
}

std::optional<Layout> FromDesktopNames(std::string_view layout, std::string_view variant)
{
    // The X keyboard data's variants of the six that keep every letter and digit they type by themselves on the
    // same key and level (their signs, AltGr and dead keys may differ): a mere change of signs, not another
    // keyboard. The Dvorak, Breton, Georgian and US-based variants, the Swiss German and English Canadian ones, do
    // not. Each keyboard's own names are in Descriptions.
    struct Variant {
        std::string_view XkbLayout;
        std::string_view XkbVariant;
        Layout Id;
    };
    // clang-format off
    static constexpr Variant Variants[] = {
        {"fr", "oss",                Layout::FrenchAzerty},
        {"fr", "oss_latin9",         Layout::FrenchAzerty},
        {"fr", "oss_nodeadkeys",     Layout::FrenchAzerty},
        {"fr", "latin9",             Layout::FrenchAzerty},
        {"fr", "latin9_nodeadkeys",  Layout::FrenchAzerty},
        {"fr", "nodeadkeys",         Layout::FrenchAzerty},
        {"fr", "azerty",             Layout::FrenchAzerty},
        {"fr", "mac",                Layout::FrenchAzerty},
        {"fr", "oci",                Layout::FrenchAzerty},
        {"fr", "olpc",               Layout::FrenchAzerty},
        {"fr", "bepo_latin9",        Layout::Bepo},
        {"fr", "bepo_afnor",         Layout::Bepo},
        {"be", "oss",                Layout::Belgian},
        {"be", "oss_latin9",         Layout::Belgian},
        {"be", "iso-alternate",      Layout::Belgian},
        {"be", "nodeadkeys",         Layout::Belgian},
        {"be", "wang",               Layout::Belgian},
        {"ch", "fr_nodeadkeys",      Layout::SwissFrench},
        {"ch", "fr_mac",             Layout::SwissFrench},
        {"ca", "",                   Layout::CanadianFrench},
        {"ca", "fr-legacy",          Layout::CanadianFrench},
        {"ca", "multix",             Layout::CanadianFrench},
        {"ca", "multi",              Layout::CanadianFrench},
    };
    // clang-format on
    for (const Description &description : Descriptions)
        if (layout == description.XkbLayout && variant == description.XkbVariant)
            return description.Id;
    for (const Variant &known : Variants)
        if (layout == known.XkbLayout && variant == known.XkbVariant)
            return known.Id;
    return std::nullopt;
}

std::optional<std::pair<std::string, std::string>> FirstDesktopLayout(std::string_view property)
{
    std::string_view fields[5];
    for (std::string_view &field : fields) {
        const std::size_t end = property.find('\0');
        if (end == std::string_view::npos)
            return std::nullopt;
        field = property.substr(0, end);
        property.remove_prefix(end + 1);
    }
    const auto first = [](std::string_view list) { return std::string(list.substr(0, list.find(','))); };
    if (fields[2].empty())
        return std::nullopt;
    return std::make_pair(first(fields[2]), first(fields[3]));
}

std::string NamesText(std::string_view layout, std::string_view variant)
{
    std::string text(layout);
    if (!variant.empty())
        text.append("(").append(variant).append(")");
    return text;
}

std::string ChoiceText(Layout layout)
{
    const Description &description = DescriptionOf(layout);
    return NamesText(description.XkbLayout, description.XkbVariant) + "\n";
}

std::optional<Layout> ParseChoice(std::string_view text)
{
    for (const Description &description : Descriptions)
        if (text == ChoiceText(description.Id))
            return description.Id;
    return std::nullopt;
}

} // namespace layouts
