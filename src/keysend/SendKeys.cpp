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
    {"BACKSPACE", 8}, {"BKSP", 8},     {"BREAK", 3},   {"BS", 8},      {"CAPSLOCK", 20},   {"CLEAR", 12},
    {"DEL", 46},      {"DELETE", 46},  {"DOWN", 40},   {"END", 35},    {"ENTER", 13},      {"ESC", 27},
    {"ESCAPE", 27},   {"F1", 112},     {"F10", 121},   {"F11", 122},   {"F12", 123},       {"F13", 124},
    {"F14", 125},     {"F15", 126},    {"F16", 127},   {"F2", 113},    {"F3", 114},        {"F4", 115},
    {"F5", 116},      {"F6", 117},     {"F7", 118},    {"F8", 119},    {"F9", 120},        {"HELP", 47},
    {"HOME", 36},     {"INS", 45},     {"LEFT", 37},   {"NUMLOCK", 144}, {"PGDN", 34},     {"PGUP", 33},
    {"PRTSC", 42},    {"RIGHT", 39},   {"SCROLLLOCK", 145}, {"TAB", 9}, {"UP", 38},
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

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// One call of the sender, with the state that belongs to it alone.
class SendKeysCall
{
public:
    SendKeysCall(KeyPlatform &platform, std::string_view text, bool wait)
        : m_platform(platform), T(text.substr(0, text.find('\0'))), L(T.size()), Wait(wait)
    {
    }

    bool Run()
    {
        if (L == 0)
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
        while (position < L) {
            m_platform.ProcessMessages();
            m_platform.WaitMilliseconds(100);
            const char C = T[position];
            switch (C) {
            case '%':
                AltHeld = true;
                PressVirtualKey(VkAlt, 1, false);
                ++position;
                break;
            case '+':
                ShiftHeld = true;
                PressVirtualKey(VkShift, 1, false);
                ++position;
                break;
            case '^':
                CtrlHeld = true;
                PressVirtualKey(VkControl, 1, false);
                ++position;
                break;
            case '(':
                InGroup = true;
                ++position;
                break;
            case ')':
                InGroup = false;
                ReleaseHeldModifiers();
                ++position;
                break;
            case '~':
                PressVirtualKey(VkReturn, 1, true);
                ReleaseHeldModifiers();
                ++position;
                break;
            case '{':
                if (!BracedForm())
                    return false;
                break;
            default: {
                const std::uint16_t K = m_platform.VkKeyScan(C);
                if (K == NoKey) {
                    m_platform.MessageBox("Invalid KeyName");
                } else {
                    PressKeyCode(K, 1, true);
                    ReleaseHeldModifiers();
                }
                ++position;
                break;
            }
            }
        }
        return true;
    }

    // At a "{": false when its "}" is missing.
    bool BracedForm()
    {
        const std::size_t P = position;
        RepeatCount = 1;
        if (P + 1 < L && T[P + 1] == '{') {
            PressKeyCode(OpenBraceKey, 1, true);
            ReleaseHeldModifiers();
            position = P + 3;
            return true;
        }

        KeyName.clear();
        bool closed = false;
        position = P + 1;
        while (position < L) {
            m_platform.ProcessMessages();
            const char c = T[position++];
            if (c == '}') {
                closed = true;
                break;
            }
            if (KeyName.size() < MaxKeyNameLength)
                KeyName.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
        }
        if (!closed) {
            m_platform.MessageBox("No Close");
            return false;
        }

        if (position < L && T[position] == '}') {
            PressKeyCode(CloseBraceKey, 1, true);
            ReleaseHeldModifiers();
            ++position;
            return true;
        }

        const std::size_t space = KeyName.find(' ');
        if (space != std::string::npos) {
            RepeatCount = static_cast<std::uint16_t>(StrToInt(std::string_view(KeyName).substr(space + 1)));
            KeyName.resize(space);
        }

        if (KeyName.size() == 1)
            KeyCode = m_platform.VkKeyScan(KeyName[0]);
        else
            KeyCode = LookUpKeyName();
        if (KeyCode != NoKey) {
            PressKeyCode(KeyCode, RepeatCount, true);
            ReleaseHeldModifiers();
        }
        return true;
    }

    void InjectKey(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags)
    {
        m_platform.KeybdEvent(virtualKey, scanCode, flags);
        if (Wait)
            m_platform.PassKeyboardMessages();
    }

    std::uint8_t ScanCodeOf(std::uint8_t virtualKey)
    {
        return static_cast<std::uint8_t>(m_platform.MapVirtualKey(virtualKey) & 0xFF);
    }

    void PressVirtualKey(std::uint8_t V, unsigned N, bool U)
    {
        if (V == VkNumLock) {
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
        const std::uint8_t S = ScanCodeOf(V);
        const std::uint32_t extended = IsExtendedKey(V) ? ExtendedKey : 0;
        for (unsigned i = 0; i < N; ++i) {
            InjectKey(V, S, extended);
            if (U)
                InjectKey(V, S, extended | KeyUp);
        }
    }

    void ReleaseVirtualKey(std::uint8_t V) { InjectKey(V, ScanCodeOf(V), KeyUp); }

    void PressKeyCode(std::uint16_t K, unsigned N, bool U)
    {
        const unsigned H = K >> 8;
        if (H & 1)
            PressVirtualKey(VkShift, 1, false);
        if (H & 2)
            PressVirtualKey(VkControl, 1, false);
        if (H & 4)
            PressVirtualKey(VkAlt, 1, false);
        PressVirtualKey(static_cast<std::uint8_t>(K & 0xFF), N, U);
        if (H & 1)
            ReleaseVirtualKey(VkShift);
        if (H & 2)
            ReleaseVirtualKey(VkControl);
        if (H & 4)
            ReleaseVirtualKey(VkAlt);
    }

    void ReleaseHeldModifiers()
    {
        if (InGroup)
            return;
        ReleaseEveryHeldModifier();
    }

    // Also inside an open group: used where the text stops with modifiers still down.
    void ReleaseEveryHeldModifier()
    {
        if (ShiftHeld)
            ReleaseVirtualKey(VkShift);
        if (CtrlHeld)
            ReleaseVirtualKey(VkControl);
        if (AltHeld)
            ReleaseVirtualKey(VkAlt);
        ShiftHeld = CtrlHeld = AltHeld = false;
    }

    std::uint16_t LookUpKeyName()
    {
        const std::uint16_t key = FindKeyName(KeyName);
        if (key == NoKey)
            m_platform.MessageBox("Invalid Key Name");
        return key;
    }

    KeyPlatform &m_platform;
    const std::string_view T;
    const std::size_t L;
    const bool Wait;
    std::size_t position = 0;
    bool InGroup = false;
    bool ShiftHeld = false;
    bool CtrlHeld = false;
    bool AltHeld = false;
    std::string KeyName;
    std::uint16_t RepeatCount = 1;
    std::uint16_t KeyCode = NoKey;
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
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && (text[i] == '$' || text[i] == 'X' || text[i] == 'x')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'X' || text[i + 1] == 'x')) {
        base = 16;
        i += 2;
    }
    if (i == text.size())
        throw EConvertError(std::string(text));
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const int digit = HexDigit(text[i]);
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
    const auto *row = std::lower_bound(std::begin(KeyNames), end, name,
                                       [](const KeyNameRow &r, std::string_view n) { return r.Name < n; });
    if (row != end && row->Name == name)
        return row->VirtualKey;
    return NoKey;
}

bool SendKeys(KeyPlatform &platform, std::string_view text, bool wait)
{
    return SendKeysCall(platform, text, wait).Run();
}

} // namespace sndkey32
