// A real worker process under the limits, on the system the tests run on (started with
// posix_spawn or CreateProcessW, in a job object on Windows).

#include "TestZip.h"
#include "isolation/SingleWorker.h"

#include <gtest/gtest.h>

#include <string>

namespace corvanel::isolation {
namespace {

struct Case {
    const char* name;
    const char* request;
    SingleWorker::Ending ending;
    const char* answerOrReason;  // the answer, or words the reason holds
};

class WorkerEndings : public ::testing::TestWithParam<Case> {};

TEST_P(WorkerEndings, AreToldApart) {
    const Case& c = GetParam();
    IsolationLimits limits;
    limits.timeoutSeconds = 2;
    limits.maxMemoryBytes = 96ull << 20;
    SingleWorker worker(CORVANEL_ISOLATION_TEST_WORKER, "worker", "", limits);
    convert::testing::TemporaryFolder scratch;
    const SingleWorker::Reply reply = worker.Ask(c.request, scratch.File("out.txt"));
    EXPECT_EQ(reply.ending, c.ending) << reply.reason;
    if (c.ending == SingleWorker::Ending::kAnswered) {
        EXPECT_EQ(reply.answer, c.answerOrReason);
    } else {
        EXPECT_NE(reply.reason.find(c.answerOrReason), std::string::npos) << reply.reason;
    }
    // The worker, killed or not, is replaced for the next request.
    EXPECT_EQ(worker.Ask("echo:again", scratch.File("out.txt")).answer, "again");
}

INSTANTIATE_TEST_SUITE_P(
    Requests, WorkerEndings,
    ::testing::Values(
        Case{"Answer", "echo:h\xC3\xA9llo", SingleWorker::Ending::kAnswered, "h\xC3\xA9llo"},
        Case{"Within", "memory:16", SingleWorker::Ending::kAnswered, "held"},
        Case{"Hangs", "sleep:60", SingleWorker::Ending::kTimeout, "time limit of 2 s"},
        Case{"Grows", "memory:1024", SingleWorker::Ending::kOutOfMemory, "memory limit of 96 MiB"},
        Case{"Crashes", "crash", SingleWorker::Ending::kCrashed, "ended twice"}),
    [](const ::testing::TestParamInfo<Case>& run) { return std::string(run.param.name); });

}  // namespace
}  // namespace corvanel::isolation
