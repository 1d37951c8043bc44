#include "platform/input/Keyboard.h"

#include <array>
#include <deque>

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

#include "platform/text/Cp1252.h"

namespace keyboard {
namespace {

struct KeyMessage {
    QEvent::Type Type;
    int Key;
    Qt::KeyboardModifiers Modifiers;
    std::uint8_t ScanCode;
    std::uint8_t VirtualKey;
    QString Text;
};

bool IsToggleKey(std::uint8_t virtualKey)
{
    return virtualKey == 20 || virtualKey == 144 || virtualKey == 145;
}

int DeadKeyOf(unsigned char accent)
{
    switch (accent) {
    case 94: return Qt::Key_Dead_Circumflex;
    case 168: return Qt::Key_Dead_Diaeresis;
    case 126: return Qt::Key_Dead_Tilde;
    case 96: return Qt::Key_Dead_Grave;
    default: return Qt::Key_unknown;
    }
}

// The Qt key of a key that is not a character key, or 0.
int NamedKeyOf(std::uint8_t virtualKey)
{
    switch (virtualKey) {
    case 3: return Qt::Key_Cancel;
    case 8: return Qt::Key_Backspace;
    case 9: return Qt::Key_Tab;
    case 12: return Qt::Key_Clear;
    case 13: return Qt::Key_Return;
    case 16: return Qt::Key_Shift;
    case 17: return Qt::Key_Control;
    case 18: return Qt::Key_Alt;
    case 19: return Qt::Key_Pause;
    case 20: return Qt::Key_CapsLock;
    case 27: return Qt::Key_Escape;
    case 32: return Qt::Key_Space;
    case 33: return Qt::Key_PageUp;
    case 34: return Qt::Key_PageDown;
    case 35: return Qt::Key_End;
    case 36: return Qt::Key_Home;
    case 37: return Qt::Key_Left;
    case 38: return Qt::Key_Up;
    case 39: return Qt::Key_Right;
    case 40: return Qt::Key_Down;
    case 42: return Qt::Key_Print;
    case 44: return Qt::Key_Print;
    case 45: return Qt::Key_Insert;
    case 46: return Qt::Key_Delete;
    case 47: return Qt::Key_Help;
    case 144: return Qt::Key_NumLock;
    case 145: return Qt::Key_ScrollLock;
    default:
        if (virtualKey >= 112 && virtualKey <= 135)
            return Qt::Key_F1 + (virtualKey - 112);
        if (virtualKey >= 'A' && virtualKey <= 'Z')
            return Qt::Key_A + (virtualKey - 'A');
        return 0;
    }
}

// The Qt key reported for a key press, from what the press typed when no name fits.
int KeyOf(std::uint8_t virtualKey, const kbdlayout::Translator::Output &typed)
{
    if (typed.DeadAccent != 0)
        return DeadKeyOf(typed.DeadAccent);
    if (const int named = NamedKeyOf(virtualKey))
        return named;
    if (!typed.Characters.empty())
        return static_cast<int>(
            cp1252::ToUnicode(static_cast<unsigned char>(typed.Characters.back())).toUpper().unicode());
    return Qt::Key_unknown;
}

Qt::KeyboardModifiers ModifiersOf(const kbdlayout::KeyStateTable &keys)
{
    Qt::KeyboardModifiers modifiers;
    if (keys[16] & kbdlayout::KeyDownBit)
        modifiers |= Qt::ShiftModifier;
    if (keys[17] & kbdlayout::KeyDownBit)
        modifiers |= Qt::ControlModifier;
    if (keys[18] & kbdlayout::KeyDownBit)
        modifiers |= Qt::AltModifier;
    return modifiers;
}

// Where the keyboard's keys go: the focused widget of the active window, or of the modal window, or of any
// window of the program that is shown.
QWidget *KeyTarget()
{
    if (QWidget *focused = QApplication::focusWidget())
        return focused;
    for (QWidget *window : {QApplication::activeModalWidget(), QApplication::activeWindow()})
        if (window)
            return window->focusWidget() ? window->focusWidget() : window;
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows)
        if (window->isVisible() && window->focusWidget())
            return window->focusWidget();
    return nullptr;
}

} // namespace

std::uint16_t VirtualKeyOf(const QKeyEvent &event)
{
    const int key = event.key();
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_Pause: return VirtualKeyPause;
    default:
        if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
            return static_cast<std::uint16_t>(0x70 + (key - Qt::Key_F1));
        if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
            return static_cast<std::uint16_t>(key);
        return 0xFF;
    }
}

std::uint32_t MapVirtualKey(std::uint32_t code, std::uint32_t mapType)
{
    if (mapType != 0 || code > 0xFF)
        return 0;
    return kbdlayout::ScanCode(static_cast<std::uint8_t>(code));
}

std::uint16_t VkKeyScan(char character)
{
    return kbdlayout::VkKeyScan(static_cast<unsigned char>(character));
}

} // namespace keyboard

using keyboard::KeyUpFlag;

struct KeyboardStream::State {
    kbdlayout::KeyStateTable Keys{};
    kbdlayout::Translator Translator;
    std::deque<keyboard::KeyMessage> Queue;
    bool DeliveryQueued = false;
    // The key reported with each key's press, reported again with its release.
    std::array<int, 256> PressedKey{};
    // The queued delivery runs in this object's name: it is dropped with the stream.
    QObject DeliveryContext;
};

KeyboardStream::KeyboardStream() : m_state(std::make_unique<State>())
{
}

KeyboardStream::~KeyboardStream() = default;

namespace {

void QueueDelivery(KeyboardStream &stream, bool &queued, QObject &context)
{
    if (queued || !qApp)
        return;
    queued = true;
    QMetaObject::invokeMethod(
        &context,
        [&stream, &queued] {
            queued = false;
            stream.PassKeyboardMessages();
        },
        Qt::QueuedConnection);
}

} // namespace

void KeyboardStream::KeybdEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags)
{
    State &state = *m_state;
    std::uint8_t &key = state.Keys[virtualKey];
    keyboard::KeyMessage message{QEvent::KeyPress, Qt::Key_unknown, {}, scanCode, virtualKey, {}};
    if (flags & KeyUpFlag) {
        key &= static_cast<std::uint8_t>(~kbdlayout::KeyDownBit);
        message.Type = QEvent::KeyRelease;
        message.Key = state.PressedKey[virtualKey] ? state.PressedKey[virtualKey] : keyboard::NamedKeyOf(virtualKey);
    } else {
        if (keyboard::IsToggleKey(virtualKey) && !(key & kbdlayout::KeyDownBit))
            key ^= kbdlayout::ToggleBit;
        key |= kbdlayout::KeyDownBit;
        const kbdlayout::Translator::Output typed = state.Translator.KeyDown(virtualKey, state.Keys);
        message.Key = keyboard::KeyOf(virtualKey, typed);
        message.Text = cp1252::ToUnicode(typed.Characters);
        state.PressedKey[virtualKey] = message.Key;
    }
    message.Modifiers = keyboard::ModifiersOf(state.Keys);
    state.Queue.push_back(std::move(message));
    QueueDelivery(*this, state.DeliveryQueued, state.DeliveryContext);
}

std::int16_t KeyboardStream::GetKeyState(int virtualKey) const
{
    if (virtualKey < 0 || virtualKey > 0xFF)
        return 0;
    const std::uint8_t key = m_state->Keys[static_cast<std::size_t>(virtualKey)];
    std::uint16_t result = key & kbdlayout::ToggleBit;
    if (key & kbdlayout::KeyDownBit)
        result |= 0x8000;
    return static_cast<std::int16_t>(result);
}

void KeyboardStream::GetKeyboardState(kbdlayout::KeyStateTable &table) const
{
    table = m_state->Keys;
}

void KeyboardStream::SetKeyboardState(const kbdlayout::KeyStateTable &table)
{
    m_state->Keys = table;
}

void KeyboardStream::PassKeyboardMessages()
{
    std::deque<keyboard::KeyMessage> &queue = m_state->Queue;
    while (!queue.empty()) {
        const keyboard::KeyMessage message = std::move(queue.front());
        queue.pop_front();
        QPointer<QWidget> target = keyboard::KeyTarget();
        if (!target)
            continue;
        QKeyEvent event(message.Type, message.Key, message.Modifiers, message.ScanCode, message.VirtualKey, 0,
                        message.Text);
        QCoreApplication::sendEvent(target, &event);
    }
}

int KeyboardStream::WaitingMessages() const
{
    return static_cast<int>(m_state->Queue.size());
}
