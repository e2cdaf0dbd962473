#pragma once

// Tests of permissions the superuser ignores (a read-only folder, an unreadable file) run as an
// unprivileged user when the suite runs as root, as it does in CI: the test program runs that
// one test again under setpriv as "nobody", and the outcome is the child's.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace corvanel::testing {

// True when the calling test was run again as an unprivileged user (its result is recorded
// here, and the caller returns); false when the process is not privileged and the caller runs
// the test itself.
inline bool RerunAsUnprivilegedUser() {
    if (::geteuid() != 0) {
        return false;
    }
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    // The test program is run from a copy in a fresh folder of /tmp: the build folder may lie
    // where the unprivileged user cannot reach (under /root, say).
    char folder[] = "/tmp/corvanel-unprivileged-XXXXXX";
    if (::mkdtemp(folder) == nullptr || ::chmod(folder, 0755) != 0) {
        ADD_FAILURE() << "no folder for the unprivileged run";
        return true;
    }
    const std::string copy = std::string(folder) + "/test";
    {
        std::ifstream from("/proc/self/exe", std::ios::binary);
        std::ofstream to(copy, std::ios::binary);
        to << from.rdbuf();
    }
    ::chmod(copy.c_str(), 0755);
    // 65534 is "nobody" on Debian; HOME points where that user may write. The leak checker
    // stays in the parent: its suppressions file may be out of the child's reach too.
    const std::string command =
        "cd /tmp && setpriv --reuid=65534 --regid=65534 --clear-groups "
        "env -u LSAN_OPTIONS ASAN_OPTIONS=detect_leaks=0 HOME=/tmp '" +
        copy + "' --gtest_filter='" + test->test_suite_name() + "." + test->name() + "' 2>&1";
    std::string output;
    if (std::FILE* child = ::popen(command.c_str(), "r")) {
        std::array<char, 4096> buffer{};
        for (std::size_t got; (got = std::fread(buffer.data(), 1, buffer.size(), child)) > 0;) {
            output.append(buffer.data(), got);
        }
        const int status = ::pclose(child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
    } else {
        ADD_FAILURE() << "setpriv cannot be started";
    }
    // The child must have run the test, not skipped it.
    EXPECT_NE(output.find("[  PASSED  ] 1 test."), std::string::npos) << output;
    EXPECT_EQ(output.find("[  SKIPPED ]"), std::string::npos) << output;
    std::remove(copy.c_str());
    ::rmdir(folder);
    return true;
}

}  // namespace corvanel::testing
