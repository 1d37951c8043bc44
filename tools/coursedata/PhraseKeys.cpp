#include "PhraseKeys.h"

#include <vector>

namespace coursedata {

namespace {

std::string Utf8(char32_t c)
{
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

// The one character a mark names, UTF-8; nothing for anything else.
std::optional<char32_t> OneCharacter(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    const auto first = static_cast<unsigned char>(text[0]);
    const std::size_t length = first < 0x80 ? 1 : (first & 0xE0) == 0xC0 ? 2 : (first & 0xF0) == 0xE0 ? 3 : 0;
    if (length == 0 || text.size() != length)
        return std::nullopt;
    char32_t c = length == 1 ? first : length == 2 ? first & 0x1F : first & 0x0F;
    for (std::size_t i = 1; i < length; ++i)
        c = (c << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
    return c;
}

bool IsAccentedLetter(char32_t c)
{
    return c >= 0xE0 && c <= 0xFF && c != 0xF7;
}

} // namespace

std::string KeyCalled(char32_t alone, char32_t shifted)
{
    if (alone >= 'a' && alone <= 'z')
        return "la touche " + Utf8(alone - 'a' + 'A');
    if (IsAccentedLetter(alone))
        return "la touche " + Utf8(alone);
    for (const char32_t c : {alone, shifted})
        if (c >= '0' && c <= '9')
            return "la touche du " + Utf8(c);
    return "la touche " + Utf8(alone != 0 ? alone : shifted);
}

std::optional<std::string> WithKeyNames(std::string_view sentence,
                                        const std::function<std::optional<KeyWay>(char32_t)> &way)
{
    static constexpr std::string_view Open = "\xE2\x9F\xA6";  // ⟦
    static constexpr std::string_view Close = "\xE2\x9F\xA7"; // ⟧
    static constexpr std::string_view DeadOnly = "\xE2\x9F\xA6morte ";
    if (sentence.rfind(DeadOnly, 0) == 0) {
        const std::size_t close = sentence.find(std::string(Close) + ' ');
        const std::optional<char32_t> c = close == std::string_view::npos
                                              ? std::nullopt
                                              : OneCharacter(sentence.substr(DeadOnly.size(), close - DeadOnly.size()));
        const std::optional<KeyWay> typed = c ? way(*c) : std::nullopt;
        if (!typed || !typed->Dead)
            return std::nullopt;
        sentence.remove_prefix(close + Close.size() + 1);
    }
    std::string out;
    while (!sentence.empty()) {
        const std::size_t open = sentence.find(Open);
        const std::size_t close = open == std::string_view::npos ? open : sentence.find(Close, open + Open.size());
        if (close == std::string_view::npos) {
            out += sentence;
            break;
        }
        out += sentence.substr(0, open);
        std::string_view mark = sentence.substr(open + Open.size(), close - open - Open.size());
        sentence.remove_prefix(close + Close.size());
        static constexpr std::string_view KeyOnly = "touche ";
        const bool keyOnly = mark.rfind(KeyOnly, 0) == 0;
        if (keyOnly)
            mark.remove_prefix(KeyOnly.size());
        const std::optional<char32_t> c = OneCharacter(mark);
        const std::optional<KeyWay> typed = c ? way(*c) : std::nullopt;
        if (!typed || (typed->Itself && !typed->Shift && !typed->AltGr))
            return std::nullopt;
        if (keyOnly) {
            out += typed->Key;
            continue;
        }
        std::vector<std::string> keys;
        if (typed->Shift)
            keys.emplace_back("Maj");
        if (typed->AltGr)
            keys.emplace_back("AltGr");
        keys.push_back(typed->Key);
        for (std::size_t i = 0; i < keys.size(); ++i)
            out += (i == 0 ? "" : i + 1 == keys.size() ? " et " : ", ") + keys[i];
    }
    return out;
}

} // namespace coursedata
