#pragma once

// A text document of about 200 MB: long and large enough to convert that a run can be
// interrupted, limited or killed while it is under way.

#include <string>

namespace corvanel::cli {

inline std::string LargeText() {
    std::string line;
    for (int i = 0; i < 100; ++i) {
        line += "words ";
    }
    line += '\n';
    std::string big;
    big.reserve(line.size() * 330000);
    for (int i = 0; i < 330000; ++i) {
        big += line;
    }
    return big;
}

}  // namespace corvanel::cli
