#include "platform/MessageWait.h"

#include <cmath>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace {

int g_depth = 0;

class WaitScope
{
public:
    WaitScope() { ++g_depth; }
    ~WaitScope() { --g_depth; }
    WaitScope(const WaitScope &) = delete;
    WaitScope &operator=(const WaitScope &) = delete;
};

} // namespace

int MessageWaitDepth()
{
    return g_depth;
}

void ProcessMessagesFor(double ms)
{
    WaitScope scope;
    QElapsedTimer clock;
    clock.start();
    const double limitNs = ms * 1e6;

    QCoreApplication::processEvents(QEventLoop::AllEvents);

    // A precise single-shot timer wakes the blocking event wait once the time is up.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    while (static_cast<double>(clock.nsecsElapsed()) <= limitNs) {
        if (!wake.isActive()) {
            const double remainingMs = (limitNs - static_cast<double>(clock.nsecsElapsed())) / 1e6;
            wake.start(static_cast<int>(std::ceil(std::max(remainingMs, 0.0))) + 1);
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}
