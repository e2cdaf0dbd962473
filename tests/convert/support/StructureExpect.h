#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace corvanel::convert::testing {

// Whether every expected line occurs in a StructureLog's lines, in this order (other lines may
// come in between); names the first one missing.
inline ::testing::AssertionResult HasLinesInOrder(const std::string& lines,
                                                  const std::vector<std::string>& expected) {
    std::size_t at = 0;
    for (const std::string& line : expected) {
        const std::string wanted = line + '\n';
        std::size_t found = lines.find(wanted, at);
        while (found != std::string::npos && found > 0 && lines[found - 1] != '\n') {
            found = lines.find(wanted, found + 1);
        }
        if (found == std::string::npos) {
            return ::testing::AssertionFailure()
                   << "no \"" << line << "\" after position " << at << " in:\n"
                   << lines;
        }
        at = found + wanted.size();
    }
    return ::testing::AssertionSuccess();
}

}  // namespace corvanel::convert::testing
