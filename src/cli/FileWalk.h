#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvanel::cli {

struct SourceEntry {
    std::string path;
    bool foundInFolder = false;  // false: named on the command line
    std::uintmax_t size = 0;     // 0 when it cannot be read
};

struct WalkResult {
    std::vector<SourceEntry> files;
    std::vector<std::string> failures;  // inputs or folders that could not be read
};

// Expands the command-line inputs into the files to convert, in order. A file stays as given
// (whatever it is: the converter reports what it cannot read). A folder gives its files and
// those of its subfolders, names sorted, hidden entries (".name") left out, and only regular
// files; every folder is walked once, however many links lead to it.
WalkResult CollectFiles(const std::vector<std::string>& inputs);

}  // namespace corvanel::cli
