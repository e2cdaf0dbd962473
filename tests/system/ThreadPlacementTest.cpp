// Moving a worker thread off a busy processor must leave it free to run anywhere afterwards.
#include "system/ThreadPlacement.h"

#include <gtest/gtest.h>

#include <sched.h>

#include <thread>

namespace corvanel::system {
namespace {

cpu_set_t Affinity() {
    cpu_set_t set;
    CPU_ZERO(&set);
    EXPECT_EQ(sched_getaffinity(0, sizeof set, &set), 0);
    return set;
}

TEST(ThreadPlacement, TheThreadMayUseEveryProcessorAgainAfterTheMove) {
    const cpu_set_t before = Affinity();
    std::thread([&] {
        MoveOffProcessor(CurrentProcessor(), 0);
        const cpu_set_t after = Affinity();
        EXPECT_TRUE(CPU_EQUAL(&before, &after));
    }).join();
}

TEST(ThreadPlacement, OnOneAllowedProcessorNothingChanges) {
    std::thread([] {
        const int processor = CurrentProcessor();
        ASSERT_GE(processor, 0);
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(processor, &one);
        ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
        for (unsigned index = 0; index < 3; ++index) {
            MoveOffProcessor(processor, index);
            const cpu_set_t after = Affinity();
            EXPECT_TRUE(CPU_EQUAL(&one, &after));
            EXPECT_EQ(CurrentProcessor(), processor);
        }
    }).join();
}

}  // namespace
}  // namespace corvanel::system
