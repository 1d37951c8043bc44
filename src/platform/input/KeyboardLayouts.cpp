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
    // The French keyboards go by their variant; the others by the country, whose plain layout is the French one
    // for Belgium and Canada, and the "fr" variant for Switzerland.
    for (const Description &description : Descriptions)
        if (layout == description.XkbLayout && variant == description.XkbVariant)
            return description.Id;
    if (layout == "be")
        return Layout::Belgian;
    if (layout == "ca" && variant.empty())
        return Layout::CanadianFrench;
    if (layout == "fr" && (variant == "latin9" || variant == "nodeadkeys" || variant == "oss" ||
                           variant == "oss_latin9" || variant == "oss_nodeadkeys"))
        return Layout::FrenchAzerty;
    if (layout == "fr" && (variant == "bepo_latin9" || variant == "bepo_afnor"))
        return Layout::Bepo;
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

std::string ChoiceText(Layout layout)
{
    const Description &description = DescriptionOf(layout);
    std::string text = description.XkbLayout;
    if (*description.XkbVariant)
        text += std::string("(") + description.XkbVariant + ")";
    return text + "\n";
}

std::optional<Layout> ParseChoice(std::string_view text)
{
    for (const Description &description : Descriptions)
        if (text == ChoiceText(description.Id))
            return description.Id;
    return std::nullopt;
}

} // namespace layouts
