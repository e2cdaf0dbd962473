// What becomes of a document whose worker did not answer it, and when a worker is replaced.

#include "isolation/WorkerPolicy.h"

#include <gtest/gtest.h>

#include <string>

namespace corvanel::isolation {
namespace {

using convert::ErrorCode;

IsolationLimits Limits() {
    IsolationLimits limits;
    limits.timeoutSeconds = 2.5;
    limits.maxMemoryBytes = 96ull << 20;
    limits.maxPerWorker = 3;
    return limits;
}

// How the worker ended, as WorkerProcess::Stop tells it (SIGKILL here, an exit status on Windows).
constexpr int kStatus = 9;

TEST(WorkerPolicy, ADocumentIsRetriedOnlyAfterItsWorkersFirstDeath) {
    struct Case {
        WorkerEnd end;
        int attempt;
        bool exceededMemory;
        bool retry;
        ErrorCode code;
        const char* reason;  // words the reason holds
    };
    const WorkerPolicy policy(Limits());
    for (const Case& c : {
             Case{WorkerEnd::kDied, 1, false, true, ErrorCode::kNone, ""},
             Case{WorkerEnd::kDied, 2, false, false, ErrorCode::kCrashed, "ended twice"},
             Case{WorkerEnd::kDied, 1, true, false, ErrorCode::kOutOfMemory, "limit of 96 MiB"},
             Case{WorkerEnd::kTimeout, 1, false, false, ErrorCode::kTimeout, "limit of 2.5 s"},
             Case{WorkerEnd::kOutOfMemory, 1, false, false, ErrorCode::kOutOfMemory,
                  "limit of 96 MiB"},
             Case{WorkerEnd::kNotStarted, 1, false, false, ErrorCode::kInternal,
                  "no worker process can be started"},
         }) {
        const EndVerdict verdict = policy.AfterEnd(c.end, c.attempt, kStatus, c.exceededMemory);
        EXPECT_EQ(verdict.retry, c.retry) << static_cast<int>(c.end) << " " << c.attempt;
        EXPECT_EQ(verdict.code, c.code) << static_cast<int>(c.end) << " " << c.attempt;
        EXPECT_NE(verdict.reason.find(c.reason), std::string::npos) << verdict.reason;
    }
}

TEST(WorkerPolicy, AWorkerIsReplacedAfterItsShareOfDocuments) {
    const WorkerPolicy policy(Limits());
    EXPECT_TRUE(policy.TakesMore(0));
    EXPECT_TRUE(policy.TakesMore(2));
    EXPECT_FALSE(policy.TakesMore(3));
}

}  // namespace
}  // namespace corvanel::isolation
