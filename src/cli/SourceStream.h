#pragma once

#include "cli/CommandOptions.h"
#include "cli/FileWalk.h"
#include "cli/PathList.h"

#include <atomic>
#include <optional>
#include <string>
#include <vector>

namespace corvanel::cli {

struct SourceEntry {
    std::string path;
    bool foundInFolder = false;  // false: named on the command line or in a list
    std::string failure;         // set for a list or folder that could not be read
    std::uint64_t bytes = 0;     // its size where it was looked at (not in a list), else 0
};

// The documents of a run, in command-line order, one at a time: named files as they are,
// named folders walked, lists read as they arrive. Not safe for several threads at once.
class SourceStream {
public:
    SourceStream(std::vector<Input> inputs, bool nullSeparated);

    // The next document (or failure); nothing when all inputs are used up or `stop` is set.
    std::optional<SourceEntry> Next(const std::atomic<bool>& stop);

private:
    std::vector<Input> inputs_;
    bool nullSeparated_;
    std::size_t nextInput_ = 0;
    std::optional<FolderWalk> walk_;
    std::optional<PathList> list_;
    std::string listName_;
};

}  // namespace corvanel::cli
