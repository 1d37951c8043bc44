#pragma once

#include <functional>
#include <string_view>

#include "keysend/SendKeys.h"

class KeyboardStream;
class ProgramEnd;

// The sender on the program's own keyboard: key events go into the window's keyboard stream and reach the
// focused widget, the pauses are the main window's wait, and messages show in a "SendKeys" box. Once the
// program has been asked to end, nothing more is typed, shown or waited for, so the handlers return quickly and
// the end comes at once.
class SystemKeyPlatform : public sndkey32::KeyPlatform
{
public:
    using Pause = std::function<void(double ms)>;
    SystemKeyPlatform(KeyboardStream &keyboard, const ProgramEnd &end, Pause pause);

    void KeybdEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) override;
    std::uint32_t MapVirtualKey(std::uint32_t virtualKey) override;
    std::uint16_t VkKeyScan(char character) override;
    std::int16_t GetKeyState(int virtualKey) override;
    void GetKeyboardState(sndkey32::KeyStateTable &table) override;
    void SetKeyboardState(const sndkey32::KeyStateTable &table) override;
    void PassKeyboardMessages() override;
    void ProcessMessages() override;
    void WaitMilliseconds(double ms) override;
    void MessageBox(const std::string &text) override;

private:
    bool Ending() const;

    KeyboardStream &m_keyboard;
    const ProgramEnd &m_end;
    Pause m_pause;
};

namespace keysend {

// Types the text into the focused widget. A repeat count that is not a number fails with its French message.
bool SendKeys(std::string_view text, bool wait, KeyboardStream &keyboard, const ProgramEnd &end,
              SystemKeyPlatform::Pause pause);

} // namespace keysend
