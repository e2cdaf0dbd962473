#pragma once

#include <cstdio>
#include <string>

namespace corvanel::cli {

// Converts one document ("-": read from standard input) and writes its text to `out`, as `cat`
// would. A failure is reported on `err`; a record goes to `records` when it is set. Returns
// the exit status: 0 converted, 1 failed.
int ConvertToStdout(const std::string& source, std::FILE* out, std::FILE* err, std::FILE* records);

}  // namespace corvanel::cli
