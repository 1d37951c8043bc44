#pragma once

#include <functional>

class QObject;

// Waiting while the window keeps working: pending events are processed at least once, then the wait goes on
// until the time has passed, running every handler whose event arrives meanwhile. It sleeps between events
// instead of spinning, and the idle step (the idle-time timers) does not run inside it.
void ProcessMessagesFor(double ms);

// How many waits are running, nested one in another. Idle-time timers stay still while it is not 0.
int MessageWaitDepth();

// Runs the callback from the event loop once the outermost running wait has ended (at once, queued, when none
// is running), unless the context object is gone by then.
void WhenMessageWaitsEnd(QObject *context, std::function<void()> callback);
