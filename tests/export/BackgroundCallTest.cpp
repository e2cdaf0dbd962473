#include "export/BackgroundCall.h"
#include "platform/RuntimeError.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

namespace {

void EnsureApplication() {
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "export_tests";
        static char* argv[] = {name, nullptr};
        static auto* application = new QCoreApplication(argc, argv);
        (void)application;
    }
}

TEST(BackgroundCall, RunsTheCallOnAnotherThreadWhileEventsKeepTurning) {
    EnsureApplication();
    BackgroundCall background;
    std::atomic<bool> released{false};
    std::thread::id callThread;
    // The call waits for a timer that only the caller's event loop can fire.
    QTimer::singleShot(10, [&] { released = true; });
    background.Run([&] {
        callThread = std::this_thread::get_id();
        while (!released) {
            std::this_thread::yield();
        }
    });
    EXPECT_TRUE(released);
    EXPECT_NE(callThread, std::this_thread::get_id());
}

TEST(BackgroundCall, PassesTheFailureOnAndTakesTheNextCall) {
    EnsureApplication();
    BackgroundCall background;
    try {
        background.Run([] { throw RuntimeError(8004, QStringLiteral("a.docx is damaged: x")); });
        FAIL() << "no failure passed on";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), 8004);
        EXPECT_EQ(error.Description(), QStringLiteral("a.docx is damaged: x"));
    }
    int runs = 0;
    for (int i = 0; i < 3; ++i) {
        background.Run([&] { ++runs; });
    }
    EXPECT_EQ(runs, 3);
}

TEST(BackgroundCall, RefusesASecondCallStartedWhileOneRuns) {
    EnsureApplication();
    BackgroundCall background;
    std::atomic<bool> released{false};
    bool refused = false;
    QTimer::singleShot(5, [&] {
        try {
            background.Run([] {});
        } catch (const std::logic_error&) {
            refused = true;
        }
        released = true;
    });
    background.Run([&] {
        while (!released) {
            std::this_thread::yield();
        }
    });
    EXPECT_TRUE(refused);
}

}  // namespace
