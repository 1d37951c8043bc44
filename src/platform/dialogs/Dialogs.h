#pragma once

#include <functional>
#include <optional>

#include <QString>

// The program's small modal dialogs: a one-line text prompt and a message box, both centred on the screen, with
// French buttons. Windows reach them through their UserDialogs, which tests replace by a scripted learner.
namespace dialogs {

// None: a plain box, as the key sender's messages are.
enum class Icon { Information, Warning, None };

// A prompt with "OK" (the default) and "Annuler" (also chosen by closing the dialog). Returns the field's text
// when "OK" is chosen, nothing otherwise.
std::optional<QString> InputQuery(const QString &title, const QString &prompt, int maxLength);

// A message box with one "OK" button.
void Message(const QString &title, const QString &text, Icon icon);

// A question with "Oui" and "Non", "Non" the default (also chosen by closing the box): true for "Oui". What it
// asks may not be undone, so a key pressed in flight never says yes.
bool Confirm(const QString &title, const QString &text);

} // namespace dialogs
