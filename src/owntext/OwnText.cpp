#include "owntext/OwnText.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <tuple>

namespace owntext {
namespace {

constexpr char32_t kUnknown = 0xFFFD;

// ---- Bytes to characters

// 0x80..0x9F in Windows-1252; its five undefined bytes are unknown characters.
constexpr std::array<char16_t, 32> kWindows1252High = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                                       0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

bool IsSurrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDFFF;
}

// The UTF-8 sequence at bytes[at]: its character and length, or a length of 0 where the bytes are no valid
// sequence (a stray or cut-short one, an overlong form, a surrogate, past U+10FFFF).
std::pair<char32_t, std::size_t> ReadUtf8(std::string_view bytes, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x80)
        return {lead, 1};
    std::size_t length = 0;
    char32_t c = 0;
    char32_t lowest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, c = lead & 0x1F, lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, c = lead & 0x0F, lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, c = lead & 0x07, lowest = 0x10000;
    } else {
        return {0, 0};
    }
    if (bytes.size() - at < length)
        return {0, 0};
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(bytes[at + k]);
        if ((next & 0xC0) != 0x80)
            return {0, 0};
        c = (c << 6) | (next & 0x3F);
    }
    if (c < lowest || c > 0x10FFFF || IsSurrogate(c))
        return {0, 0};
    return {c, length};
}

// Strict, the bytes are UTF-8 only if every sequence is valid; else each byte of a bad sequence is unknown.
bool DecodeUtf8(std::string_view bytes, bool strict, std::u32string &text)
{
    text.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        const auto [c, length] = ReadUtf8(bytes, at);
        if (length == 0) {
            if (strict)
                return false;
            text.push_back(kUnknown);
            ++at;
        } else {
            text.push_back(c);
            at += length;
        }
    }
    return true;
}

void DecodeUtf16(std::string_view bytes, bool littleEndian, std::u32string &text)
{
    const auto unit = [&](std::size_t at) -> char32_t {
        const auto first = static_cast<unsigned char>(bytes[at]);
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        return littleEndian ? char32_t(second << 8 | first) : char32_t(first << 8 | second);
    };
    text.reserve(bytes.size() / 2 + 1);
    std::size_t at = 0;
    for (; at + 1 < bytes.size(); at += 2) {
        const char32_t c = unit(at);
        if (c >= 0xD800 && c <= 0xDBFF && at + 3 < bytes.size()) {
            const char32_t low = unit(at + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                text.push_back(0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
                at += 2;
                continue;
            }
        }
        text.push_back(IsSurrogate(c) ? kUnknown : c);
    }
    if (at < bytes.size())
        text.push_back(kUnknown);
}

// ---- Characters to UTF-8

void AppendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::string Utf8(char32_t c)
{
    std::string text;
    AppendUtf8(text, c);
    return text;
}

// Code points in UTF-8 text: every byte but the continuation bytes.
std::size_t CodePoints(std::string_view text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char b) { return (static_cast<unsigned char>(b) & 0xC0) != 0x80; }));
}

// The bytes of the first `count` code points of UTF-8 text.
std::size_t BytesOf(std::string_view text, std::size_t count)
{
    std::size_t at = 0;
    for (std::size_t seen = 0; at < text.size(); ++at) {
        if ((static_cast<unsigned char>(text[at]) & 0xC0) != 0x80 && seen++ == count)
            break;
    }
    return at;
}

// ---- What the keyboard gives instead

// The combining accents of the letters below.
constexpr char32_t Grave = 0x300, Acute = 0x301, Circumflex = 0x302, Tilde = 0x303, Macron = 0x304, Breve = 0x306,
                   Dot = 0x307, Diaeresis = 0x308, Ring = 0x30A, DoubleAcute = 0x30B, Caron = 0x30C, CommaBelow = 0x326,
                   Cedilla = 0x327, Ogonek = 0x328;

// A character a keyboard may lack and what French typists type instead; for a letter made of a base letter and one
// accent, that accent, so that a base letter followed by a combining accent is read as the letter.
struct Substitute {
    char32_t From;
    const char *To;
    char32_t Accent;
};

// clang-format off
constexpr Substitute kSubstitutes[] = {
    {0x00AB, "\"", 0}, {0x00BB, "\"", 0},
    {0x00C0, "A", Grave}, {0x00C1, "A", Acute}, {0x00C2, "A", Circumflex}, {0x00C3, "A", Tilde},
    {0x00C4, "A", Diaeresis}, {0x00C5, "A", Ring}, {0x00C6, "AE", 0}, {0x00C7, "C", Cedilla},
    {0x00C8, "E", Grave}, {0x00C9, "E", Acute}, {0x00CA, "E", Circumflex}, {0x00CB, "E", Diaeresis},
    {0x00CC, "I", Grave}, {0x00CD, "I", Acute}, {0x00CE, "I", Circumflex}, {0x00CF, "I", Diaeresis},
    {0x00D0, "D", 0}, {0x00D1, "N", Tilde}, {0x00D2, "O", Grave}, {0x00D3, "O", Acute},
    {0x00D4, "O", Circumflex}, {0x00D5, "O", Tilde}, {0x00D6, "O", Diaeresis}, {0x00D8, "O", 0},
    {0x00D9, "U", Grave}, {0x00DA, "U", Acute}, {0x00DB, "U", Circumflex}, {0x00DC, "U", Diaeresis},
    {0x00DD, "Y", Acute}, {0x00DE, "Th", 0}, {0x00DF, "ss", 0},
    {0x00E0, "a", Grave}, {0x00E1, "a", Acute}, {0x00E2, "a", Circumflex}, {0x00E3, "a", Tilde},
    {0x00E4, "a", Diaeresis}, {0x00E5, "a", Ring}, {0x00E6, "ae", 0}, {0x00E7, "c", Cedilla},
    {0x00E8, "e", Grave}, {0x00E9, "e", Acute}, {0x00EA, "e", Circumflex}, {0x00EB, "e", Diaeresis},
    {0x00EC, "i", Grave}, {0x00ED, "i", Acute}, {0x00EE, "i", Circumflex}, {0x00EF, "i", Diaeresis},
    {0x00F0, "d", 0}, {0x00F1, "n", Tilde}, {0x00F2, "o", Grave}, {0x00F3, "o", Acute},
    {0x00F4, "o", Circumflex}, {0x00F5, "o", Tilde}, {0x00F6, "o", Diaeresis}, {0x00F8, "o", 0},
    {0x00F9, "u", Grave}, {0x00FA, "u", Acute}, {0x00FB, "u", Circumflex}, {0x00FC, "u", Diaeresis},
    {0x00FD, "y", Acute}, {0x00FE, "th", 0}, {0x00FF, "y", Diaeresis},
    {0x0100, "A", Macron}, {0x0101, "a", Macron}, {0x0102, "A", Breve}, {0x0103, "a", Breve},
    {0x0104, "A", Ogonek}, {0x0105, "a", Ogonek}, {0x0106, "C", Acute}, {0x0107, "c", Acute},
    {0x0108, "C", Circumflex}, {0x0109, "c", Circumflex}, {0x010A, "C", Dot}, {0x010B, "c", Dot},
    {0x010C, "C", Caron}, {0x010D, "c", Caron}, {0x010E, "D", Caron}, {0x010F, "d", Caron},
    {0x0110, "D", 0}, {0x0111, "d", 0}, {0x0112, "E", Macron}, {0x0113, "e", Macron},
    {0x0114, "E", Breve}, {0x0115, "e", Breve}, {0x0116, "E", Dot}, {0x0117, "e", Dot},
    {0x0118, "E", Ogonek}, {0x0119, "e", Ogonek}, {0x011A, "E", Caron}, {0x011B, "e", Caron},
    {0x011C, "G", Circumflex}, {0x011D, "g", Circumflex}, {0x011E, "G", Breve}, {0x011F, "g", Breve},
    {0x0120, "G", Dot}, {0x0121, "g", Dot}, {0x0122, "G", Cedilla}, {0x0123, "g", Cedilla},
    {0x0124, "H", Circumflex}, {0x0125, "h", Circumflex}, {0x0126, "H", 0}, {0x0127, "h", 0},
    {0x0128, "I", Tilde}, {0x0129, "i", Tilde}, {0x012A, "I", Macron}, {0x012B, "i", Macron},
    {0x012C, "I", Breve}, {0x012D, "i", Breve}, {0x012E, "I", Ogonek}, {0x012F, "i", Ogonek},
    {0x0130, "I", Dot}, {0x0131, "i", 0}, {0x0132, "IJ", 0}, {0x0133, "ij", 0},
    {0x0134, "J", Circumflex}, {0x0135, "j", Circumflex}, {0x0136, "K", Cedilla}, {0x0137, "k", Cedilla},
    {0x0138, "k", 0}, {0x0139, "L", Acute}, {0x013A, "l", Acute}, {0x013B, "L", Cedilla},
    {0x013C, "l", Cedilla}, {0x013D, "L", Caron}, {0x013E, "l", Caron}, {0x013F, "L", 0},
    {0x0140, "l", 0}, {0x0141, "L", 0}, {0x0142, "l", 0}, {0x0143, "N", Acute},
    {0x0144, "n", Acute}, {0x0145, "N", Cedilla}, {0x0146, "n", Cedilla}, {0x0147, "N", Caron},
    {0x0148, "n", Caron}, {0x0149, "'n", 0}, {0x014A, "N", 0}, {0x014B, "n", 0},
    {0x014C, "O", Macron}, {0x014D, "o", Macron}, {0x014E, "O", Breve}, {0x014F, "o", Breve},
    {0x0150, "O", DoubleAcute}, {0x0151, "o", DoubleAcute}, {0x0152, "OE", 0}, {0x0153, "oe", 0},
    {0x0154, "R", Acute}, {0x0155, "r", Acute}, {0x0156, "R", Cedilla}, {0x0157, "r", Cedilla},
    {0x0158, "R", Caron}, {0x0159, "r", Caron}, {0x015A, "S", Acute}, {0x015B, "s", Acute},
    {0x015C, "S", Circumflex}, {0x015D, "s", Circumflex}, {0x015E, "S", Cedilla}, {0x015F, "s", Cedilla},
    {0x0160, "S", Caron}, {0x0161, "s", Caron}, {0x0162, "T", Cedilla}, {0x0163, "t", Cedilla},
    {0x0164, "T", Caron}, {0x0165, "t", Caron}, {0x0166, "T", 0}, {0x0167, "t", 0},
    {0x0168, "U", Tilde}, {0x0169, "u", Tilde}, {0x016A, "U", Macron}, {0x016B, "u", Macron},
    {0x016C, "U", Breve}, {0x016D, "u", Breve}, {0x016E, "U", Ring}, {0x016F, "u", Ring},
    {0x0170, "U", DoubleAcute}, {0x0171, "u", DoubleAcute}, {0x0172, "U", Ogonek}, {0x0173, "u", Ogonek},
    {0x0174, "W", Circumflex}, {0x0175, "w", Circumflex}, {0x0176, "Y", Circumflex}, {0x0177, "y", Circumflex},
    {0x0178, "Y", Diaeresis}, {0x0179, "Z", Acute}, {0x017A, "z", Acute}, {0x017B, "Z", Dot},
    {0x017C, "z", Dot}, {0x017D, "Z", Caron}, {0x017E, "z", Caron}, {0x017F, "s", 0},
    {0x0218, "S", CommaBelow}, {0x0219, "s", CommaBelow}, {0x021A, "T", CommaBelow}, {0x021B, "t", CommaBelow},
    {0x1E9E, "SS", 0},
    {0x2010, "-", 0}, {0x2011, "-", 0}, {0x2012, "-", 0}, {0x2013, "-", 0}, {0x2014, "-", 0}, {0x2015, "-", 0},
    {0x2018, "'", 0}, {0x2019, "'", 0}, {0x201A, "'", 0}, {0x201B, "'", 0},
    {0x201C, "\"", 0}, {0x201D, "\"", 0}, {0x201E, "\"", 0}, {0x201F, "\"", 0},
    {0x2026, "...", 0}, {0x2032, "'", 0}, {0x2033, "\"", 0}, {0x2039, "'", 0}, {0x203A, "'", 0},
    {0x2212, "-", 0},
};
// clang-format on

constexpr bool InOrder()
{
    for (std::size_t i = 1; i < std::size(kSubstitutes); ++i)
        if (kSubstitutes[i - 1].From >= kSubstitutes[i].From)
            return false;
    return true;
}
static_assert(InOrder(), "the substitutes are looked up by halves");

const Substitute *SubstituteFor(char32_t c)
{
    const auto found = std::lower_bound(std::begin(kSubstitutes), std::end(kSubstitutes), c,
                                        [](const Substitute &s, char32_t from) { return s.From < from; });
    return found != std::end(kSubstitutes) && found->From == c ? found : nullptr;
}

// The letter a base letter and a combining accent make, if the table has it.
const Substitute *Joined(char32_t base, char32_t accent)
{
    for (const Substitute &s : kSubstitutes)
        if (s.Accent == accent && static_cast<unsigned char>(s.To[0]) == base && s.To[1] == '\0')
            return &s;
    return nullptr;
}

// ---- Kinds of characters

bool IsLineEnd(char32_t c)
{
    return c == '\n' || c == '\r' || c == 0x0B || c == 0x0C || c == 0x85 || c == 0x2028 || c == 0x2029;
}

bool IsSpace(char32_t c)
{
    return c == ' ' || c == '\t' || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

// What shows nothing: controls (line ends and the tab aside), format characters, variation selectors, skin-tone
// modifiers and tags, which only change how the character before them is drawn.
bool IsInvisible(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xAD || c == 0x34F || c == 0x61C || c == 0x180E ||
           (c >= 0x200B && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2060 && c <= 0x206F) ||
           (c >= 0xFE00 && c <= 0xFE0F) || c == 0xFEFF || (c >= 0xFFF9 && c <= 0xFFFB) ||
           (c >= 0x1F3FB && c <= 0x1F3FF) || (c >= 0xE0000 && c <= 0xE0FFF);
}

bool IsCombiningAccent(char32_t c)
{
    return c >= 0x300 && c <= 0x36F;
}

bool IsRegionalIndicator(char32_t c)
{
    return c >= 0x1F1E6 && c <= 0x1F1FF;
}

// The keyboard's answers, asked once per character of the Basic Multilingual Plane: a text asks about the same
// few characters again and again. A surrogate or a number past U+10FFFF is never given.
class KeyboardAnswers
{
public:
    explicit KeyboardAnswers(const std::function<bool(char32_t)> &typeable) : m_typeable(typeable) {}

    bool Gives(char32_t c)
    {
        if (c >= 0x10000)
            return c <= 0x10FFFF && m_typeable(c);
        if (IsSurrogate(c))
            return false;
        const std::size_t word = c >> 6;
        const std::uint64_t bit = std::uint64_t{1} << (c & 63);
        if ((m_asked[word] & bit) == 0) {
            m_asked[word] |= bit;
            if (m_typeable(c))
                m_given[word] |= bit;
        }
        return (m_given[word] & bit) != 0;
    }

    bool GivesAll(const char *ascii)
    {
        for (; *ascii != '\0'; ++ascii)
            if (!Gives(static_cast<unsigned char>(*ascii)))
                return false;
        return true;
    }

private:
    const std::function<bool(char32_t)> &m_typeable;
    std::vector<std::uint64_t> m_asked = std::vector<std::uint64_t>(0x10000 / 64);
    std::vector<std::uint64_t> m_given = std::vector<std::uint64_t>(0x10000 / 64);
};

// The typeable text as it is written: a space or a line break is written only once something follows it on the
// line, so that none is doubled, leads or trails.
class Writer
{
public:
    explicit Writer(std::string &text) : m_text(text) {}

    void Space() { m_space = m_lineHasText; }

    void LineEnd()
    {
        m_space = false;
        if (m_lineHasText)
            m_break = true;
        m_lineHasText = false;
    }

    // Writes the character and returns where it starts.
    std::size_t Put(char32_t c)
    {
        Open();
        const std::size_t at = m_text.size();
        AppendUtf8(m_text, c);
        return at;
    }

    void Put(const char *ascii)
    {
        Open();
        m_text += ascii;
    }

private:
    void Open()
    {
        if (m_break)
            m_text.push_back('\n');
        else if (m_space)
            m_text.push_back(' ');
        m_break = m_space = false;
        m_lineHasText = true;
    }

    std::string &m_text;
    bool m_lineHasText = false;
    bool m_space = false;
    bool m_break = false;
};

} // namespace

Decoded Decode(std::string_view bytes)
{
    Decoded decoded;
    const auto startsWith = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
    if (startsWith("\xEF\xBB\xBF")) {
        decoded.From = Encoding::Utf8WithMark;
        DecodeUtf8(bytes.substr(3), false, decoded.Text);
    } else if (startsWith("\xFF\xFE")) {
        decoded.From = Encoding::Utf16LittleEndian;
        DecodeUtf16(bytes.substr(2), true, decoded.Text);
    } else if (startsWith("\xFE\xFF")) {
        decoded.From = Encoding::Utf16BigEndian;
        DecodeUtf16(bytes.substr(2), false, decoded.Text);
    } else if (!DecodeUtf8(bytes, true, decoded.Text)) {
        decoded.From = Encoding::Windows1252;
        decoded.Text.clear();
        for (char b : bytes) {
            const auto byte = static_cast<unsigned char>(b);
            decoded.Text.push_back(byte >= 0x80 && byte <= 0x9F ? kWindows1252High[byte - 0x80] : byte);
        }
    }
    return decoded;
}

namespace {

// MakeTypeable with keyboard answers that may serve several texts.
Conversion Convert(const std::u32string &text, KeyboardAnswers &keyboard)
{
    Conversion conversion;
    conversion.Text.reserve(text.size() + text.size() / 8);
    Writer writer(conversion.Text);
    std::vector<char32_t> replaced; // the characters of conversion.Replacements, in their order

    const auto replace = [&](char32_t from, const char *to) {
        ++conversion.Changed;
        if (std::find(replaced.begin(), replaced.end(), from) == replaced.end()) {
            replaced.push_back(from);
            conversion.Replacements.emplace_back(Utf8(from), to);
        }
    };

    // The last character written as itself and where it starts: a combining accent after it joins it.
    char32_t lastKept = 0;
    std::size_t lastKeptAt = 0;
    // What follows a character left out and belongs to it (a joined emoji, a flag's second half, its accents) is
    // left out with it and not counted again.
    bool afterLeftOut = false;
    bool joining = false;
    bool halfFlag = false;
    const auto visible = [&] {
        lastKept = 0;
        afterLeftOut = joining = halfFlag = false;
    };

    for (const char32_t c : text) {
        if (IsLineEnd(c)) {
            visible();
            writer.LineEnd();
        } else if (IsSpace(c)) {
            visible();
            if (c != ' ')
                replace(c, " ");
            writer.Space();
        } else if (IsInvisible(c)) {
            joining = joining || (c == 0x200D && afterLeftOut);
        } else if (IsCombiningAccent(c)) {
            if (afterLeftOut)
                continue;
            const Substitute *letter = lastKept != 0 ? Joined(lastKept, c) : nullptr;
            if (letter == nullptr) {
                ++conversion.Dropped;
            } else if (keyboard.Gives(letter->From)) {
                conversion.Text.resize(lastKeptAt);
                AppendUtf8(conversion.Text, letter->From);
            } else {
                replace(letter->From, letter->To); // the base letter already written stays
            }
            lastKept = 0;
        } else if (keyboard.Gives(c)) {
            visible();
            lastKeptAt = writer.Put(c);
            lastKept = c;
        } else if (const Substitute *substitute = SubstituteFor(c);
                   substitute != nullptr && keyboard.GivesAll(substitute->To)) {
            visible();
            writer.Put(substitute->To);
            replace(c, substitute->To);
        } else {
            const bool secondHalf = IsRegionalIndicator(c) && halfFlag;
            if (!joining && !secondHalf)
                ++conversion.Dropped;
            visible();
            afterLeftOut = true;
            halfFlag = IsRegionalIndicator(c) && !secondHalf;
        }
    }
    return conversion;
}

} // namespace

Conversion MakeTypeable(const std::u32string &text, const std::function<bool(char32_t)> &typeable)
{
    KeyboardAnswers keyboard(typeable);
    return Convert(text, keyboard);
}

Passage TypeablePassage(const std::vector<std::string> &lines, std::size_t first, std::size_t count,
                        const std::function<bool(char32_t)> &typeable)
{
    Passage passage;
    passage.First = std::min(first, lines.size());
    passage.End = lines.size();
    KeyboardAnswers keyboard(typeable);
    std::u32string characters;
    for (std::size_t at = passage.First; at < lines.size(); ++at) {
        characters.clear();
        DecodeUtf8(lines[at], false, characters);
        std::string line = Convert(characters, keyboard).Text;
        if (line.empty())
            continue;
        // A line to type after the passage's last: the passage ends before it, else at the text's end.
        if (passage.Lines.size() == count) {
            passage.End = at;
            break;
        }
        passage.Lines.push_back(std::move(line));
    }
    return passage;
}

namespace {

// The replacements as the learner reads them, each character by what it became ("’ par '"). The kinds of spaces
// make one item, the tabulation another: their characters show nothing.
std::vector<std::string> ReplacementItems(const Conversion &conversion)
{
    const bool one = conversion.Changed == 1;
    const auto isNonBreaking = [](const std::string &c) { return c == "\u00A0" || c == "\u202F" || c == "\u2007"; };
    bool onlyNonBreaking = true;
    for (const auto &[from, to] : conversion.Replacements)
        if (to == " " && from != "\t" && !isNonBreaking(from))
            onlyNonBreaking = false;
    std::vector<std::string> items;
    bool spacesListed = false;
    for (const auto &[from, to] : conversion.Replacements) {
        if (from == "\t") {
            items.emplace_back(one ? "la tabulation par une espace" : "les tabulations par des espaces");
        } else if (to == " ") {
            if (std::exchange(spacesListed, true))
                continue;
            const std::string kind =
                onlyNonBreaking ? (one ? "insécable" : "insécables") : (one ? "spéciale" : "spéciales");
            items.push_back(one ? "l'espace " + kind + " par une espace" : "les espaces " + kind + " par des espaces");
        } else {
            items.push_back(from + " par " + to);
        }
    }
    return items;
}

// What a conversion replaced and left out: "3 caractères ont été remplacés (’ par ', …) et 1 caractère qu'aucune
// touche ne donne a été laissé de côté", or in the future tense for what the keyboard will do ("seront", "sera"),
// the characters left out being those `leftOut` describes.
std::string Clause(const Conversion &conversion, bool future, const std::string &leftOut)
{
    constexpr std::size_t Listed = 5;
    const auto count = [](std::size_t n) { return std::to_string(n) + (n == 1 ? " caractère " : " caractères "); };
    const auto done = [future](std::size_t n, const char *participle) {
        return std::string(future ? (n == 1 ? "sera " : "seront ") : (n == 1 ? "a été " : "ont été ")) + participle +
               (n == 1 ? "" : "s");
    };
    std::string clause;
    if (conversion.Changed > 0) {
        clause += count(conversion.Changed) + done(conversion.Changed, "remplacé");
        const std::vector<std::string> items = ReplacementItems(conversion);
        if (!items.empty()) {
            clause += " (";
            for (std::size_t i = 0; i < std::min(items.size(), Listed); ++i)
                clause += (i > 0 ? ", " : "") + items[i];
            clause += items.size() > Listed ? ", …)" : ")";
        }
        if (conversion.Dropped > 0)
            clause += " et ";
    }
    if (conversion.Dropped > 0)
        clause += count(conversion.Dropped) + leftOut + ' ' + done(conversion.Dropped, "laissé") + " de côté";
    return clause;
}

} // namespace

std::string Report(const Conversion &kept, const Conversion &onKeyboard)
{
    const bool keptChanged = kept.Changed > 0 || kept.Dropped > 0;
    const bool keyboardChanges = onKeyboard.Changed > 0 || onKeyboard.Dropped > 0;
    if (!keptChanged && !keyboardChanges)
        return "Le texte est repris tel quel.";
    std::string sentence;
    if (keptChanged)
        sentence = "Quel que soit le clavier, " + Clause(kept, false, "qu'aucune touche ne donne");
    // The space before the semicolon does not break: it never starts a line of the message.
    if (keyboardChanges)
        sentence += (keptChanged ? "\u00A0; sur le vôtre, " : "Sur votre clavier, ") +
                    Clause(onKeyboard, true, "qu'il ne donne pas");
    return sentence + ".";
}

std::vector<std::string> CutLines(const std::string &text, std::size_t shortest, std::size_t longest)
{
    if (longest == 0 || shortest > longest)
        throw std::invalid_argument("CutLines: the shortest line must not be longer than the longest, nor this 0");
    std::vector<std::string> lines;
    std::vector<std::string_view> words;
    std::vector<std::size_t> lengths;
    // For the words from i on: the lines shorter than `shortest` before the paragraph's end, the lines, and where
    // the first of these lines ends. Fewest short lines first, then fewest lines, then the longest first line.
    struct Cut {
        std::size_t Short, Lines, End;
    };
    std::vector<Cut> best;

    std::string_view rest(text);
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        const std::string_view paragraph = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));

        words.clear();
        lengths.clear();
        for (std::size_t at = 0; at < paragraph.size();) {
            const std::size_t space = std::min(paragraph.find(' ', at), paragraph.size());
            if (space > at) {
                words.push_back(paragraph.substr(at, space - at));
                lengths.push_back(CodePoints(words.back()));
            }
            at = space + 1;
        }

        const std::size_t n = words.size();
        best.assign(n + 1, Cut{0, 0, n});
        for (std::size_t i = n; i-- > 0;) {
            best[i] = {std::numeric_limits<std::size_t>::max(), std::numeric_limits<std::size_t>::max(), i + 1};
            std::size_t length = lengths[i];
            for (std::size_t j = i + 1; j <= n; ++j) {
                if (j > i + 1) {
                    length += 1 + lengths[j - 1];
                    if (length > longest)
                        break;
                }
                const bool tooShort = length < shortest && j < n;
                const Cut candidate{best[j].Short + (tooShort ? 1 : 0), best[j].Lines + 1, j};
                if (std::tie(candidate.Short, candidate.Lines) <= std::tie(best[i].Short, best[i].Lines))
                    best[i] = candidate;
                if (length > longest)
                    break; // a word too long for any line stands alone
            }
        }
        for (std::size_t i = 0; i < n; i = best[i].End) {
            std::string line(words[i]);
            for (std::size_t j = i + 1; j < best[i].End; ++j)
                (line += ' ') += words[j];
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

namespace {

// A name on one line: its bytes decoded, line ends, tabs and spaces of any kind as single spaces, invisible
// characters left out, nothing around it.
std::string OneLine(std::string_view bytes)
{
    std::string line;
    bool space = false;
    for (const char32_t c : Decode(bytes).Text) {
        if (IsLineEnd(c) || IsSpace(c)) {
            space = !line.empty();
        } else if (!IsInvisible(c)) {
            if (std::exchange(space, false))
                line.push_back(' ');
            AppendUtf8(line, c);
        }
    }
    return line;
}

std::string Shortened(const std::string &text)
{
    if (CodePoints(text) <= TitleLength)
        return text;
    return text.substr(0, BytesOf(text, TitleLength - 1)) + "…";
}

} // namespace

std::string TitleOf(const std::string &text, const std::string &fileName)
{
    std::string_view first(text);
    first = first.substr(0, first.find('\n'));
    first.remove_prefix(std::min(first.find_first_not_of(" \r"), first.size()));
    first = first.substr(0, first.find_last_not_of(" \r") + 1);
    if (!first.empty() && CodePoints(first) <= TitleLength)
        return std::string(first);

    std::string_view name(fileName);
    name.remove_prefix(std::min(name.rfind('/') + 1, name.size()));
    if (const std::size_t dot = name.rfind('.'); dot != std::string_view::npos && dot > 0)
        name = name.substr(0, dot);
    if (const std::string title = OneLine(name); !title.empty())
        return Shortened(title);

    if (first.empty())
        return "Sans titre";
    // As many whole words as fit before the "…"; a first word too long for that is cut.
    std::size_t cut = 0;
    std::size_t length = 0;
    for (std::size_t at = 0; at < first.size();) {
        const std::size_t space = std::min(first.find(' ', at), first.size());
        const std::size_t words = length + (cut > 0 ? 1 : 0) + CodePoints(first.substr(at, space - at));
        if (words > TitleLength - 1)
            break;
        if (space > at) {
            length = words;
            cut = space;
        }
        at = space + 1;
    }
    if (cut == 0)
        return Shortened(std::string(first));
    return std::string(first.substr(0, cut)) + "…";
}

} // namespace owntext
