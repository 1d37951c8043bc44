#include "keysend/SendKeys.h"

#include <algorithm>
#include <cstddef>

namespace sndkey32 {
namespace {

struct KeyNameRow {
    std::string_view Name;
    std::uint8_t VirtualKey;
};

// In byte order, for the binary search.
constexpr KeyNameRow KeyNames[] = {
    {"BACKSPACE", 8}, {"BKSP", 8},    {"BREAK", 3},        {"BS", 8},        {"CAPSLOCK", 20}, {"CLEAR", 12},
    {"DEL", 46},      {"DELETE", 46}, {"DOWN", 40},        {"END", 35},      {"ENTER", 13},    {"ESC", 27},
    {"ESCAPE", 27},   {"F1", 112},    {"F10", 121},        {"F11", 122},     {"F12", 123},     {"F13", 124},
    {"F14", 125},     {"F15", 126},   {"F16", 127},        {"F2", 113},      {"F3", 114},      {"F4", 115},
    {"F5", 116},      {"F6", 117},    {"F7", 118},         {"F8", 119},      {"F9", 120},      {"HELP", 47},
    {"HOME", 36},     {"INS", 45},    {"LEFT", 37},        {"NUMLOCK", 144}, {"PGDN", 34},     {"PGUP", 33},
    {"PRTSC", 42},    {"RIGHT", 39},  {"SCROLLLOCK", 145}, {"TAB", 9},       {"UP", 38},
};
static_assert(std::size(KeyNames) == 41);

constexpr std::uint8_t VkShift = 16;
constexpr std::uint8_t VkControl = 17;
constexpr std::uint8_t VkAlt = 18;
constexpr std::uint8_t VkReturn = 13;
constexpr std::uint8_t VkNumLock = 144;

// Both braces come from the same keys whatever the layout says.
constexpr std::uint16_t OpenBraceKey = 0x01DB;
constexpr std::uint16_t CloseBraceKey = 0x01DD;

constexpr std::size_t MaxKeyNameLength = 20;

bool IsExtendedKey(std::uint8_t virtualKey)
{
    return (virtualKey >= 33 && virtualKey <= 40) || virtualKey == 45 || virtualKey == 46;
}

int HexDigit(char character)
{
    if (character >= '0' && character <= '9')
        return character - '0';
    if (character >= 'A' && character <= 'F')
        return character - 'A' + 10;
    if (character >= 'a' && character <= 'f')
        return character - 'a' + 10;
    return -1;
}

// One call of the sender, with the state that belongs to it alone.
class SendKeysCall
{
public:
    SendKeysCall(KeyPlatform &platform, std::string_view text, bool wait)
        : m_platform(platform), m_text(text.substr(0, text.find('\0'))), m_length(m_text.size()), m_wait(wait)
    {
    }

    bool Run()
    {
        if (m_length == 0)
            return false;
        try {
            const bool complete = Steps();
            ReleaseEveryHeldModifier();
            return complete;
        } catch (...) {
            // No key stays down behind a failure; the failure itself goes on to the caller.
            ReleaseEveryHeldModifier();
            throw;
        }
    }

private:
    bool Steps()
    {
        while (m_position < m_length) {
            m_platform.ProcessMessages();
            m_platform.WaitMilliseconds(100);
            const char character = m_text[m_position];
            switch (character) {
            case '%':
                m_altHeld = true;
                PressVirtualKey(VkAlt, 1, false);
                ++m_position;
                break;
            case '+':
                m_shiftHeld = true;
                PressVirtualKey(VkShift, 1, false);
                ++m_position;
                break;
            case '^':
                m_ctrlHeld = true;
                PressVirtualKey(VkControl, 1, false);
                ++m_position;
                break;
            case '(':
                m_inGroup = true;
                ++m_position;
                break;
            case ')':
                m_inGroup = false;
                ReleaseHeldModifiers();
                ++m_position;
                break;
            case '~':
                PressVirtualKey(VkReturn, 1, true);
                ReleaseHeldModifiers();
                ++m_position;
                break;
            case '{':
                if (!BracedForm())
                    return false;
                break;
            default: {
                const std::uint16_t keyCode = m_platform.VkKeyScan(character);
                if (keyCode == NoKey) {
                    m_platform.MessageBox("Invalid KeyName");
                } else {
                    PressKeyCode(keyCode, 1, true);
                    ReleaseHeldModifiers();
                }
                ++m_position;
                break;
            }
            }
        }
        return true;
    }

    // At a "{": false when its "}" is missing.
    bool BracedForm()
    {
        const std::size_t brace = m_position;
        m_repeatCount = 1;
        if (brace + 1 < m_length && m_text[brace + 1] == '{') {
            PressKeyCode(OpenBraceKey, 1, true);
            ReleaseHeldModifiers();
            m_position = brace + 3;
            return true;
        }

        m_keyName.clear();
        bool closed = false;
        m_position = brace + 1;
        while (m_position < m_length) {
            m_platform.ProcessMessages();
            const char character = m_text[m_position++];
            if (character == '}') {
                closed = true;
                break;
            }
            if (m_keyName.size() < MaxKeyNameLength)
                m_keyName.push_back(character >= 'a' && character <= 'z' ? static_cast<char>(character - 'a' + 'A')
                                                                         : character);
        }
        if (!closed) {
            m_platform.MessageBox("No Close");
            return false;
        }

        if (m_position < m_length && m_text[m_position] == '}') {
            PressKeyCode(CloseBraceKey, 1, true);
            ReleaseHeldModifiers();
            ++m_position;
            return true;
        }

        const std::size_t space = m_keyName.find(' ');
        if (space != std::string::npos) {
            m_repeatCount = static_cast<std::uint16_t>(StrToInt(std::string_view(m_keyName).substr(space + 1)));
            m_keyName.resize(space);
        }

        if (m_keyName.size() == 1)
            m_keyCode = m_platform.VkKeyScan(m_keyName[0]);
        else
            m_keyCode = LookUpKeyName();
        if (m_keyCode != NoKey) {
            PressKeyCode(m_keyCode, m_repeatCount, true);
            ReleaseHeldModifiers();
        }
        return true;
    }

    void InjectKey(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags)
    {
        m_platform.KeybdEvent(virtualKey, scanCode, flags);
        if (m_wait)
            m_platform.PassKeyboardMessages();
    }

    std::uint8_t ScanCodeOf(std::uint8_t virtualKey)
    {
        return static_cast<std::uint8_t>(m_platform.MapVirtualKey(virtualKey) & 0xFF);
    }

    void PressVirtualKey(std::uint8_t virtualKey, unsigned count, bool release)
    {
        if (virtualKey == VkNumLock) {
            // NumLock only flips its toggle in the key state table; no key event is sent.
            KeyStateTable table{};
            m_platform.GetKeyboardState(table);
            if (m_platform.GetKeyState(VkNumLock) & 1)
                table[VkNumLock] &= static_cast<std::uint8_t>(~1u);
            else
                table[VkNumLock] |= 1;
            m_platform.SetKeyboardState(table);
            return;
        }
        const std::uint8_t scanCode = ScanCodeOf(virtualKey);
        const std::uint32_t extended = IsExtendedKey(virtualKey) ? ExtendedKey : 0;
        for (unsigned i = 0; i < count; ++i) {
            InjectKey(virtualKey, scanCode, extended);
            if (release)
                InjectKey(virtualKey, scanCode, extended | KeyUp);
        }
    }

    void ReleaseVirtualKey(std::uint8_t virtualKey) { InjectKey(virtualKey, ScanCodeOf(virtualKey), KeyUp); }

    void PressKeyCode(std::uint16_t keyCode, unsigned count, bool release)
    {
        const unsigned shiftState = keyCode >> 8;
        if (shiftState & 1)
            PressVirtualKey(VkShift, 1, false);
        if (shiftState & 2)
            PressVirtualKey(VkControl, 1, false);
        if (shiftState & 4)
            PressVirtualKey(VkAlt, 1, false);
        PressVirtualKey(static_cast<std::uint8_t>(keyCode & 0xFF), count, release);
        if (shiftState & 1)
            ReleaseVirtualKey(VkShift);
        if (shiftState & 2)
            ReleaseVirtualKey(VkControl);
        if (shiftState & 4)
            ReleaseVirtualKey(VkAlt);
    }

    void ReleaseHeldModifiers()
    {
        if (m_inGroup)
            return;
        ReleaseEveryHeldModifier();
    }

    // Also inside an open group: used where the text stops with modifiers still down.
    void ReleaseEveryHeldModifier()
    {
        if (m_shiftHeld)
            ReleaseVirtualKey(VkShift);
        if (m_ctrlHeld)
            ReleaseVirtualKey(VkControl);
        if (m_altHeld)
            ReleaseVirtualKey(VkAlt);
        m_shiftHeld = m_ctrlHeld = m_altHeld = false;
    }

    std::uint16_t LookUpKeyName()
    {
        const std::uint16_t key = FindKeyName(m_keyName);
        if (key == NoKey)
            m_platform.MessageBox("Invalid Key Name");
        return key;
    }

    KeyPlatform &m_platform;
    const std::string_view m_text;
    const std::size_t m_length;
    const bool m_wait;
    std::size_t m_position = 0;
    bool m_inGroup = false;
    bool m_shiftHeld = false;
    bool m_ctrlHeld = false;
    bool m_altHeld = false;
    std::string m_keyName;
    std::uint16_t m_repeatCount = 1;
    std::uint16_t m_keyCode = NoKey;
};

std::string ConvertErrorText(const std::string &countText)
{
    std::string text = ConvertErrorFormat;
    text.replace(text.find("%s"), 2, countText);
    return text;
}

} // namespace

EConvertError::EConvertError(const std::string &countText)
    : std::runtime_error(ConvertErrorText(countText)), m_countText(countText)
{
}

std::int32_t StrToInt(std::string_view text)
{
    std::size_t cursor = 0;
    while (cursor < text.size() && text[cursor] == ' ')
        ++cursor;
    bool negative = false;
    if (cursor < text.size() && (text[cursor] == '+' || text[cursor] == '-')) {
        negative = text[cursor] == '-';
        ++cursor;
    }
    int base = 10;
    if (cursor < text.size() && (text[cursor] == '$' || text[cursor] == 'X' || text[cursor] == 'x')) {
        base = 16;
        ++cursor;
    } else if (cursor + 1 < text.size() && text[cursor] == '0' &&
               (text[cursor + 1] == 'X' || text[cursor + 1] == 'x')) {
        base = 16;
        cursor += 2;
    }
    if (cursor == text.size())
        throw EConvertError(std::string(text));
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    std::int64_t magnitude = 0;
    for (; cursor < text.size(); ++cursor) {
        const int digit = HexDigit(text[cursor]);
        if (digit < 0 || digit >= base)
            throw EConvertError(std::string(text));
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            throw EConvertError(std::string(text));
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::uint16_t FindKeyName(std::string_view name)
{
    const auto *end = std::end(KeyNames);
    const auto *row =
        std::lower_bound(std::begin(KeyNames), end, name,
                         [](const KeyNameRow &entry, std::string_view wanted) { return entry.Name < wanted; });
    if (row != end && row->Name == name)
        return row->VirtualKey;
    return NoKey;
}

bool SendKeys(KeyPlatform &platform, std::string_view text, bool wait)
{
    return SendKeysCall(platform, text, wait).Run();
}

} // namespace sndkey32
