#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// The key-sequence sender: a text with a small key syntax (+ ^ % for Shift, Ctrl and Alt, groups in
// parentheses, ~ for Enter, braced key names and repeat counts) becomes a series of key events. It knows
// nothing of the system: every key event, layout lookup, pause and message box goes through KeyPlatform, so the
// same parser drives the real keyboard in the program and a recorder in the tests.
namespace sndkey32 {

// A key with its shift state: low byte the virtual key, high byte bit 0 Shift, bit 1 Ctrl, bit 2 Alt.
constexpr std::uint16_t NoKey = 0xFFFF;

// Key event flags.
constexpr std::uint32_t ExtendedKey = 1;
constexpr std::uint32_t KeyUp = 2;

using KeyStateTable = std::array<std::uint8_t, 256>;

class KeyPlatform
{
public:
    virtual ~KeyPlatform() = default;

    // One key event into the input stream.
    virtual void KeybdEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) = 0;
    // The scan code of a virtual key (only its low byte is used).
    virtual std::uint32_t MapVirtualKey(std::uint32_t virtualKey) = 0;
    // The key and shift state that type a character in the active layout, NoKey when none does.
    virtual std::uint16_t VkKeyScan(char character) = 0;
    virtual std::int16_t GetKeyState(int virtualKey) = 0;
    virtual void GetKeyboardState(KeyStateTable &table) = 0;
    virtual void SetKeyboardState(const KeyStateTable &table) = 0;
    // Hands every keyboard message waiting in the queue to its window.
    virtual void PassKeyboardMessages() = 0;
    // Runs every pending window message.
    virtual void ProcessMessages() = 0;
    virtual void WaitMilliseconds(double ms) = 0;
    // A box captioned "SendKeys" with one OK button; returns when it is closed.
    virtual void MessageBox(const std::string &text) = 0;
};

// A repeat count that is not a whole number. The count's text is kept as read (Windows-1252, in capitals).
class EConvertError : public std::runtime_error
{
public:
    explicit EConvertError(const std::string &countText);
    const std::string &CountText() const { return m_countText; }

private:
    std::string m_countText;
};

// The French text of a failed count conversion, "%s" standing for the count.
constexpr const char *ConvertErrorFormat = "'%s' n'est pas une valeur entière correcte";

// The whole number a repeat count stands for: leading spaces, an optional sign, then decimal digits or "$", "X",
// "0X" and hexadecimal digits, nothing after; it must fit 32 signed bits. Throws EConvertError otherwise.
std::int32_t StrToInt(std::string_view text);

// The virtual key of a braced key name (capitals, byte for byte), or NoKey.
std::uint16_t FindKeyName(std::string_view name);

// Types the text (up to its first NUL) as key events, pausing 100 ms before each step. With wait, the keyboard
// messages are handed on after every event. Returns true when the whole text has been processed, false for an
// empty text or a "{" without its "}". Modifiers pressed by the text are never left down when it returns or
// throws. Each call keeps its own state, so a call made from a handler during another one runs on its own.
bool SendKeys(KeyPlatform &platform, std::string_view text, bool wait);

} // namespace sndkey32
