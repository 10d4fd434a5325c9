#include "platform/foundation/MainLoop.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

using platform::MainLoop;

namespace {

// Runs the main thread's event loop until the queue has drained.
void runEventLoop() {
    QEventLoop loop;
    QTimer::singleShot(50, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

TEST(MainLoopTest, DeferredCallsRunOnceAfterTheCurrentEventHasReturned) {
    std::vector<std::string> order;
    QTimer::singleShot(0, [&] {
        order.push_back("event begins");
        MainLoop::defer([&] {
            order.push_back("deferred");
            MainLoop::defer([&] { order.push_back("deferred from deferred"); });
            order.push_back("deferred ends");
        });
        order.push_back("event ends");
    });
    EXPECT_TRUE(order.empty());
    runEventLoop();
    EXPECT_EQ(order, (std::vector<std::string>{"event begins", "event ends", "deferred", "deferred ends",
                                               "deferred from deferred"}));
    runEventLoop();
    EXPECT_EQ(order.size(), 5u); // each ran once
}

TEST(MainLoopTest, CallsDeferredFromAnotherThreadRunOnTheMainThread) {
    std::thread::id ranOn;
    std::thread worker([&] { MainLoop::defer([&] { ranOn = std::this_thread::get_id(); }); });
    worker.join();
    EXPECT_EQ(ranOn, std::thread::id());
    runEventLoop();
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}
