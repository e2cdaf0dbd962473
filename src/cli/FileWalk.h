#pragma once

#include "system/FileSystem.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace corvanel::cli {

// Walks a folder and its subfolders one file at a time: names sorted within each folder, hidden
// entries (".name") left out, only regular files (links followed), every folder once however
// many links lead to it. Memory grows with the depth and the folders seen, not with the files.
class FolderWalk {
public:
    explicit FolderWalk(const std::string& folder);

    struct Item {
        std::string path;         // a file, or a folder that could not be read
        std::string failure;      // empty for a file
        std::uint64_t bytes = 0;  // the file's size, as the walk found it
    };
    // The next file (or unreadable folder); nothing when the walk is over.
    std::optional<Item> Next();

private:
    struct Frame {
        std::string folder;
        std::vector<std::string> names;  // sorted
        std::size_t next = 0;
    };
    // Lists a folder not seen before; an unreadable one gives its failure.
    std::optional<Item> Enter(const std::string& folder, std::size_t depth);

    std::vector<Frame> stack_;
    std::optional<Item> pendingFailure_;  // the named folder could not be read
    std::set<system::FileIdentity> visited_;
};

// True when `path` (links followed) is a folder.
bool IsFolder(const std::string& path);

}  // namespace corvanel::cli
