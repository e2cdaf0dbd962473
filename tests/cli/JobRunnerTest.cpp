#include "TestZip.h"

#include "cli/JobRunner.h"
#include "cli/Progress.h"

#include <gtest/gtest.h>

#include <cstdint>
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

TEST(JobRunner, OnOneThreadJobsRunInTheirGivenOrder) {
    TemporaryFolder folder;
    std::vector<Job> jobs;
    for (int i = 0; i < 4; ++i) {
        const std::string name = "missing" + std::to_string(i);
        // Growing sizes: on several threads the last would start first.
        jobs.push_back({folder.File(name + ".doc"), folder.File(name + ".txt"),
                        static_cast<std::uintmax_t>(i * 1000)});
    }
    std::FILE* sink = std::tmpfile();
    Progress progress(sink, false, jobs.size());
    const std::atomic<bool> stop{false};
    EXPECT_EQ(RunJobs(jobs, 1, progress, stop).failed, 4u);
    std::rewind(sink);
    std::string text;
    for (int c = std::fgetc(sink); c != EOF; c = std::fgetc(sink)) {
        text += static_cast<char>(c);
    }
    std::fclose(sink);
    std::size_t previous = 0;
    for (const Job& job : jobs) {
        const std::size_t at = text.find(job.source);
        ASSERT_NE(at, std::string::npos) << text;
        EXPECT_GE(at, previous) << text;
        previous = at;
    }
}

TEST(JobRunner, NoJobsOnSeveralThreads) {
    std::FILE* sink = std::tmpfile();
    Progress progress(sink, false, 0);
    const std::atomic<bool> stop{false};
    const RunTotals totals = RunJobs({}, 4, progress, stop);
    std::fclose(sink);
    EXPECT_EQ(totals.converted + totals.failed + totals.skipped, 0u);
}

}  // namespace
}  // namespace corvanel::cli
