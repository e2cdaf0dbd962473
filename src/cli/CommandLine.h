#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace corvanel::cli {

// corvanel-convert without main(): parses the arguments (without the program name), converts,
// reports failures and progress on `err` and the summary on `out`. Returns the exit status:
// 0 all converted, 1 some failed, 2 bad usage.
int RunCommandLine(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err);

}  // namespace corvanel::cli
