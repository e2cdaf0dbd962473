#pragma once

// Tests of permissions the superuser ignores (a read-only folder, an unreadable file) run as an
// unprivileged user when the suite runs as root, as it does in CI: the test program runs that
// one test again under setpriv as "nobody", and the outcome is the child's.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <cstdio>
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
    std::array<char, PATH_MAX> self{};
    const ssize_t length = ::readlink("/proc/self/exe", self.data(), self.size() - 1);
    if (length <= 0) {
        ADD_FAILURE() << "the test program's path cannot be read";
        return true;
    }
    // 65534 is "nobody" on Debian; HOME points where that user may write.
    const std::string command =
        "setpriv --reuid=65534 --regid=65534 --clear-groups env HOME=/tmp '" +
        std::string(self.data(), static_cast<std::size_t>(length)) + "' --gtest_filter='" +
        test->test_suite_name() + "." + test->name() + "' 2>&1";
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
    return true;
}

}  // namespace corvanel::testing
