#include "platform/controls/MessageWait.h"

#include <cmath>
#include <utility>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

namespace {

int g_depth = 0;
std::vector<std::pair<QPointer<QObject>, std::function<void()>>> g_afterWaits;

void RunAfterWaits()
{
    auto waiting = std::exchange(g_afterWaits, {});
    for (auto &[context, callback] : waiting)
        if (context)
            QMetaObject::invokeMethod(context.data(), std::move(callback), Qt::QueuedConnection);
}

class WaitScope
{
public:
    WaitScope() { ++g_depth; }
    ~WaitScope()
    {
        if (--g_depth == 0)
            RunAfterWaits();
    }
    WaitScope(const WaitScope &) = delete;
    WaitScope &operator=(const WaitScope &) = delete;
};

} // namespace

int MessageWaitDepth()
{
    return g_depth;
}

void WhenMessageWaitsEnd(QObject *context, std::function<void()> callback)
{
    g_afterWaits.emplace_back(context, std::move(callback));
    if (g_depth == 0)
        RunAfterWaits();
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
