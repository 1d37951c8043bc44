#pragma once

#include <cstdint>
#include <memory>

#include "platform/input/KeyboardLayout.h"

class QKeyEvent;

// A keyboard input stream for synthetic key presses. It keeps the key state table (keys down, CapsLock and
// NumLock toggles), turns each key-down into the characters the French AZERTY layout gives under the modifiers
// held, dead keys included, and hands each press and release as a real key event to the widget that has the
// keyboard focus, in the order the keys were sent. So a synthetic key takes the same path as a key of the real
// keyboard. Each window that types by itself owns one; a new stream has all keys up and nothing queued.
namespace keyboard {

constexpr std::uint32_t ExtendedKeyFlag = 1;
constexpr std::uint32_t KeyUpFlag = 2;
// Virtual-key codes the windows act on: the Pause key and F5 (F1 to F24 follow each other from 0x70).
constexpr std::uint16_t VirtualKeyPause = 0x13;
constexpr std::uint16_t VirtualKeyF5 = 0x74;

// Map type 0: the scan code of a virtual key. Other map types answer 0.
std::uint32_t MapVirtualKey(std::uint32_t code, std::uint32_t mapType);

// The key and shift state that type a character (see kbdlayout::VkKeyScan).
std::uint16_t VkKeyScan(char character);

// The virtual-key code of a key-down, as a window's key preview knows keys; 0xFF for keys it has no code for.
std::uint16_t VirtualKeyOf(const QKeyEvent &event);

} // namespace keyboard

class KeyboardStream
{
public:
    KeyboardStream();
    ~KeyboardStream();
    KeyboardStream(const KeyboardStream &) = delete;
    KeyboardStream &operator=(const KeyboardStream &) = delete;

    // One key event into the stream. It is delivered when the waiting keyboard messages are passed on, or by the
    // event loop at its next turn (unless the stream has gone by then).
    void KeybdEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags);

    // Bit 15 set while the key is down, bit 0 its toggle.
    std::int16_t GetKeyState(int virtualKey) const;
    void GetKeyboardState(kbdlayout::KeyStateTable &table) const;
    void SetKeyboardState(const kbdlayout::KeyStateTable &table);

    // Hands every waiting key event to the focused widget, until none is left.
    void PassKeyboardMessages();

    // How many key events wait to be delivered.
    int WaitingMessages() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};
