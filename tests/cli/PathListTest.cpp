#include "cli/PathList.h"

#include <gtest/gtest.h>

#include <thread>

#include <unistd.h>

namespace corvanel::cli {
namespace {

std::vector<std::string> ReadAllPaths(const std::string& bytes, bool nullSeparated) {
    int pipeEnds[2];
    EXPECT_EQ(::pipe(pipeEnds), 0);
    std::thread writer([&] {
        EXPECT_EQ(::write(pipeEnds[1], bytes.data(), bytes.size()),
                  static_cast<ssize_t>(bytes.size()));
        ::close(pipeEnds[1]);
    });
    PathList list(pipeEnds[0], nullSeparated);
    std::atomic<bool> stop{false};
    std::vector<std::string> paths;
    while (auto path = list.Next(stop)) {
        paths.push_back(*path);
    }
    EXPECT_EQ(list.Error(), "");
    writer.join();
    return paths;
}

TEST(PathList, SplitsOnItsSeparatorSkipsEmptyEntriesAndDropsWindowsLineEnds) {
    using Paths = std::vector<std::string>;
    struct Case {
        std::string bytes;
        bool nullSeparated;
        Paths expected;
    };
    const Case cases[] = {
        {"a.doc\nb c.docx\r\n\n", false, {"a.doc", "b c.docx"}},
        {"last without end", false, {"last without end"}},
        {std::string("x\ny\0z\r\0\0", 9), true, {"x\ny", "z\r"}},  // NUL lists keep every byte
        {"", false, {}},
        {std::string(200000, 'p') + "\nq", false, {std::string(200000, 'p'), "q"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadAllPaths(c.bytes, c.nullSeparated), c.expected);
    }
}

TEST(PathList, AStopEndsTheWaitForASlowWriter) {
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    ASSERT_EQ(::write(pipeEnds[1], "first\nsecond-cut", 16), 16);
    PathList list(pipeEnds[0], false);
    std::atomic<bool> stop{false};
    EXPECT_EQ(list.Next(stop), "first");
    stop = true;
    EXPECT_EQ(list.Next(stop), std::nullopt);  // not the cut entry, and no hang
    ::close(pipeEnds[1]);
}

}  // namespace
}  // namespace corvanel::cli
