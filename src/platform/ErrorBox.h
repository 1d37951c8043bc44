#pragma once

#include <functional>
#include <utility>

#include <QString>

// The application's standard error box: the failure's text followed by a period, one OK button. Every handler
// runs inside Guarded, so a failure ends that handler only and the program goes on.
namespace errorbox {

// The text as the box shows it.
QString BoxText(const QString &message);

void Show(const QString &message);

// Tests replace the modal box by a recorder; an empty function puts the real box back.
void SetPresenter(std::function<void(const QString &boxText)> presenter);

// Runs a handler; a failure that escapes it is shown in the box and goes no further. Returns false after a failure.
bool Guarded(const std::function<void()> &handler);

} // namespace errorbox

// Wraps a handler for connect(): the slot runs it guarded.
template <typename Handler>
auto GuardedSlot(Handler handler)
{
    return [handler = std::move(handler)](auto &&...) { errorbox::Guarded(handler); };
}
