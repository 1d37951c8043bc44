#include "keysend/SystemKeyPlatform.h"

#include <QApplication>
#include <QCoreApplication>
#include <QString>
#include <QWidget>

#include "platform/controls/ProgramEnd.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/dialogs/UserDialogs.h"
#include "platform/input/Keyboard.h"
#include "platform/text/Cp1252.h"
#include "platform/text/TutorError.h"

SystemKeyPlatform::SystemKeyPlatform(KeyboardStream &keyboard, const ProgramEnd &end, Pause pause)
    : m_keyboard(keyboard), m_end(end), m_pause(std::move(pause))
{
}

bool SystemKeyPlatform::Ending() const
{
    return m_end.Requested();
}

void SystemKeyPlatform::KeybdEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags)
{
    // Releases still go in, so no key stays down.
    if (Ending() && !(flags & keyboard::KeyUpFlag))
        return;
    m_keyboard.KeybdEvent(virtualKey, scanCode, flags);
}

std::uint32_t SystemKeyPlatform::MapVirtualKey(std::uint32_t virtualKey)
{
    return keyboard::MapVirtualKey(virtualKey, 0);
}

std::uint16_t SystemKeyPlatform::VkKeyScan(char character)
{
    return keyboard::VkKeyScan(character);
}

std::int16_t SystemKeyPlatform::GetKeyState(int virtualKey)
{
    return m_keyboard.GetKeyState(virtualKey);
}

void SystemKeyPlatform::GetKeyboardState(sndkey32::KeyStateTable &table)
{
    m_keyboard.GetKeyboardState(table);
}

void SystemKeyPlatform::SetKeyboardState(const sndkey32::KeyStateTable &table)
{
    m_keyboard.SetKeyboardState(table);
}

void SystemKeyPlatform::PassKeyboardMessages()
{
    m_keyboard.PassKeyboardMessages();
}

void SystemKeyPlatform::ProcessMessages()
{
    QCoreApplication::processEvents();
}

void SystemKeyPlatform::WaitMilliseconds(double ms)
{
    if (!Ending() && m_pause)
        m_pause(ms);
}

void SystemKeyPlatform::MessageBox(const std::string &text)
{
    if (!Ending())
        UserDialogs::Of(QApplication::focusWidget())
            .ShowMessage(QStringLiteral("SendKeys"), QString::fromStdString(text), dialogs::Icon::None);
}

namespace keysend {

bool SendKeys(std::string_view text, bool wait, KeyboardStream &keyboard, const ProgramEnd &end,
              SystemKeyPlatform::Pause pause)
{
    SystemKeyPlatform platform(keyboard, end, std::move(pause));
    try {
        return sndkey32::SendKeys(platform, text, wait);
    } catch (const sndkey32::EConvertError &error) {
        QString message = QString::fromUtf8(sndkey32::ConvertErrorFormat);
        message.replace(QStringLiteral("%s"), cp1252::ToUnicode(error.CountText()));
        throw TutorError(message);
    }
}

} // namespace keysend
