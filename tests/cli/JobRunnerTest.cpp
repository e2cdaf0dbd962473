#include "TestZip.h"

#include "cli/JobRunner.h"
#include "cli/Progress.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace corvanel::cli {
namespace {

using convert::testing::TemporaryFolder;
using convert::testing::WriteFile;

std::vector<Job> SomeJobs(const TemporaryFolder& folder, int count) {
    std::vector<Job> jobs;
    for (int i = 0; i < count; ++i) {
        const std::string name = "doc" + std::to_string(i);
        jobs.push_back({WriteFile(folder.File(name + ".text"), "text " + std::to_string(i)),
                        folder.File(name + ".txt")});
    }
    return jobs;
}

TEST(JobRunner, CountsConversionsAndFailures) {
    TemporaryFolder folder;
    std::vector<Job> jobs = SomeJobs(folder, 5);
    jobs.push_back({folder.File("missing.doc"), folder.File("missing.txt")});
    std::FILE* sink = std::tmpfile();
    Progress progress(sink, false, jobs.size());
    const std::atomic<bool> stop{false};
    const RunTotals totals = RunJobs(jobs, 3, progress, stop);
    std::fclose(sink);
    EXPECT_EQ(totals.converted, 5u);
    EXPECT_EQ(totals.failed, 1u);
    EXPECT_EQ(totals.skipped, 0u);
    EXPECT_TRUE(std::filesystem::exists(folder.File("doc4.txt")));
}

TEST(JobRunner, AStoppedRunStartsNothingMore) {
    TemporaryFolder folder;
    const std::vector<Job> jobs = SomeJobs(folder, 4);
    std::FILE* sink = std::tmpfile();
    Progress progress(sink, false, jobs.size());
    const std::atomic<bool> stop{true};
    const RunTotals totals = RunJobs(jobs, 2, progress, stop);
    std::fclose(sink);
    EXPECT_EQ(totals.converted, 0u);
    EXPECT_EQ(totals.skipped, 4u);
    EXPECT_FALSE(std::filesystem::exists(folder.File("doc0.txt")));
}

}  // namespace
}  // namespace corvanel::cli
