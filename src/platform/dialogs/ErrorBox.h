#pragma once

#include <functional>
#include <utility>

#include <QString>

class QObject;

// The application's standard error box: the failure's text followed by a period, one OK button. Every handler
// runs inside Guarded, so a failure ends that handler only and the program goes on.
namespace errorbox {

// The text as the box shows it.
QString BoxText(const QString &message);

// The box, among the dialogs of the window `context` stands in (see UserDialogs::Of).
void Show(const QObject *context, const QString &message);

// Runs a handler; a failure that escapes it is shown in the box and goes no further. Returns false after a failure.
bool Guarded(const QObject *context, const std::function<void()> &handler);

} // namespace errorbox

// Wraps a handler of `context` for connect(): the slot runs it guarded.
template <typename Handler>
auto GuardedSlot(const QObject *context, Handler handler)
{
    return [context, handler = std::move(handler)](auto &&...) { errorbox::Guarded(context, handler); };
}
