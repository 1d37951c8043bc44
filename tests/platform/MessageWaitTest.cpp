#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "platform/controls/MessageWait.h"

TEST(MessageWait, ZeroProcessesPendingEventsOnceAndReturns)
{
    bool ran = false;
    QTimer::singleShot(0, qApp, [&] { ran = true; });
    QElapsedTimer clock;
    clock.start();
    ProcessMessagesFor(0);
    EXPECT_TRUE(ran);
    // At once: only blocking for more events, or a pause of its own, takes this long; a loaded machine does not.
    EXPECT_LT(clock.elapsed(), 250);
}

TEST(MessageWait, ReturnsOnlyOnceTheTimeHasPassedAndRunsHandlersMeanwhile)
{
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, qApp, [&] { ++ticks; });
    timer.start(10);
    QElapsedTimer clock;
    clock.start();
    ProcessMessagesFor(120);
    EXPECT_GE(clock.elapsed(), 120);
    EXPECT_GE(ticks, 3);
    EXPECT_EQ(MessageWaitDepth(), 0);
}

TEST(MessageWait, NestedWaitsFinishInnerFirst)
{
    std::vector<int> order;
    int depthInside = 0;
    // Posted now, the handler runs in the outer wait's first pass however late the machine lets it start.
    QTimer::singleShot(0, qApp, [&] {
        depthInside = MessageWaitDepth();
        ProcessMessagesFor(30);
        order.push_back(1);
    });
    ProcessMessagesFor(20);
    order.push_back(2);
    EXPECT_EQ(depthInside, 1);
    EXPECT_EQ(order, (std::vector<int>{1, 2})) << "the outer wait returns after the handler nested in it";
}
