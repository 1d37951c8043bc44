#include "platform/controls/TEdit.h"

#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include "platform/dialogs/ErrorBox.h"
#include "platform/text/Cp1252.h"

namespace {

std::string BytesOf(const QString &text)
{
    std::string bytes;
    const auto codePoints = text.toUcs4();
    for (char32_t codePoint : codePoints) {
        const auto byte = cp1252::FromUnicode(codePoint);
        bytes.push_back(static_cast<char>(byte ? *byte : 0));
    }
    return bytes;
}

bool IsEditingOrMovingKey(int key)
{
    switch (key) {
    case Qt::Key_Delete:
    case Qt::Key_Insert:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: return true;
    default: return key >= Qt::Key_F1 && key <= Qt::Key_F35;
    }
}

} // namespace

TEdit::TEdit(QWidget *parent) : QLineEdit(parent)
{
    setAcceptDrops(false);
    setDragEnabled(false);
    setAttribute(Qt::WA_InputMethodEnabled, true);
}

std::string TEdit::CharactersOf(const QKeyEvent &event)
{
    const int key = event.key();
    const Qt::KeyboardModifiers mods = event.modifiers();
    const bool ctrl = mods.testFlag(Qt::ControlModifier);
    const bool alt = mods.testFlag(Qt::AltModifier);
    // An Alt chord types nothing, as on Windows. AltGr is not one: Windows reports it as Ctrl with Alt, and X11
    // as the group switch, with no Alt at all.
    if (alt && !ctrl && !mods.testFlag(Qt::GroupSwitchModifier))
        return {};
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return std::string(1, '\r');
    case Qt::Key_Backspace: return std::string(1, '\b');
    case Qt::Key_Escape: return std::string(1, '\x1b');
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return std::string(1, '\t');
    default: break;
    }
    if (IsEditingOrMovingKey(key))
        return {};
    if (ctrl && !alt) {
        // Ctrl with a letter gives its control code; Ctrl with anything else gives no character.
        if (key >= Qt::Key_A && key <= Qt::Key_Z)
            return std::string(1, static_cast<char>(key - Qt::Key_A + 1));
        return {};
    }
    return BytesOf(event.text());
}

void TEdit::ReceiveCharacters(const std::string &characters)
{
    for (char c : characters) {
        char key = c;
        // A handler that fails leaves its character out of the box.
        const bool handled = errorbox::Guarded(this, [&] {
            if (OnKeyPress)
                OnKeyPress(key);
        });
        if (handled && key != 0)
            TakeIn(key);
    }
}

void TEdit::TakeIn(char key)
{
    const auto byte = static_cast<unsigned char>(key);
    deselect();
    end(false);
    if (byte == 8) {
        backspace();
        return;
    }
    if (byte < 32)
        return;
    insert(QString(cp1252::ToUnicode(byte)));
}

bool TEdit::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // Every key belongs to the typing but the window's own, which type nothing: Alt chords (AltGr comes as
        // Ctrl+Alt or as a key of its own, and still types) and the function keys.
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool alt = key->modifiers().testFlag(Qt::AltModifier) && !key->modifiers().testFlag(Qt::ControlModifier);
        if (alt || (key->key() >= Qt::Key_F1 && key->key() <= Qt::Key_F35)) {
            event->ignore();
            return false;
        }
        event->accept();
        return true;
    }
    case QEvent::KeyPress:
        // Tab included: it is a character here, not a move to the next control.
        keyPressEvent(static_cast<QKeyEvent *>(event));
        return true;
    default: return QLineEdit::event(event);
    }
}

void TEdit::keyPressEvent(QKeyEvent *event)
{
    event->accept();
    const std::string characters = CharactersOf(*event);
    if (!characters.empty())
        ReceiveCharacters(characters);
}

void TEdit::inputMethodEvent(QInputMethodEvent *event)
{
    // A composed character (dead key, input method) arrives as one committed character.
    event->accept();
    if (!event->commitString().isEmpty())
        ReceiveCharacters(BytesOf(event->commitString()));
}

void TEdit::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
    QLineEdit::mousePressEvent(event);
}

void TEdit::mouseReleaseEvent(QMouseEvent *event)
{
    // The middle button would paste the selection.
    if (event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void TEdit::contextMenuEvent(QContextMenuEvent *event)
{
    event->accept();
}
