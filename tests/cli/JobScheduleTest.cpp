#include "TestZip.h"

#include "cli/JobSchedule.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace corvanel::cli {
namespace {

namespace fs = std::filesystem;
using convert::testing::TemporaryFolder;
using convert::testing::WriteFile;
using Plan = std::vector<std::vector<std::size_t>>;

Job Sized(const std::string& target, std::uintmax_t size) {
    return {"source of " + target, target, size};
}

TEST(JobSchedule, OneTargetSpelledSeveralWaysIsOneGroupInGivenOrder) {
    TemporaryFolder folder;
    fs::create_directories(folder.File("out/sub"));
    WriteFile(folder.File("out/a.txt"), "old");
    fs::create_symlink(folder.File("out/a.txt"), folder.File("out/link.txt"));
    fs::create_directory_symlink(folder.File("out"), folder.File("alias"));
    const std::vector<Job> jobs = {
        Sized(folder.File("out/a.txt"), 1),        Sized(folder.File("out/b.txt"), 1),
        Sized(folder.File("out/./a.txt"), 1),      Sized(folder.File("out/sub/../a.txt"), 1),
        Sized(folder.File("out/link.txt"), 1),     Sized(folder.File("alias/a.txt"), 1),
        Sized(folder.File("out/new/../b.txt"), 1),  // a folder that does not exist yet
    };
    EXPECT_EQ(PlanJobs(jobs, false), (Plan{{0, 2, 3, 4, 5}, {1, 6}}));
}

TEST(JobSchedule, RelativeAndAbsoluteTargetsMeetInOneGroup) {
    const fs::path here = fs::current_path();
    const std::vector<Job> jobs = {Sized("corvanel-plan-test.txt", 1),
                                   Sized((here / "corvanel-plan-test.txt").string(), 1),
                                   Sized("other/corvanel-plan-test.txt", 1)};
    EXPECT_EQ(PlanJobs(jobs, false), (Plan{{0, 1}, {2}}));
}

TEST(JobSchedule, LargestFirstOrdersGroupsByTheirSourceBytes) {
    const std::vector<Job> jobs = {
        Sized("/out/small.txt", 10), Sized("/out/big.txt", 500), Sized("/out/tie1.txt", 40),
        Sized("/out/pair.txt", 300), Sized("/out/tie2.txt", 40), Sized("/out/pair.txt", 300),
        Sized("/out/empty.txt", 0),
    };
    // pair.txt: two sources, 600 bytes in all, run one after the other in their given order;
    // equal sizes keep their given order.
    EXPECT_EQ(PlanJobs(jobs, true), (Plan{{3, 5}, {1}, {2}, {4}, {0}, {6}}));
    EXPECT_EQ(PlanJobs(jobs, false), (Plan{{0}, {1}, {2}, {3, 5}, {4}, {6}}));
}

TEST(JobSchedule, NoJobsNoGroups) {
    EXPECT_TRUE(PlanJobs({}, true).empty());
    EXPECT_TRUE(PlanJobs({}, false).empty());
}

}  // namespace
}  // namespace corvanel::cli
