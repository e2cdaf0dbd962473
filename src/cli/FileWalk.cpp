#include "cli/FileWalk.h"

#include "system/FileSystem.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace corvanel::cli {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxFolderDepth = 256;

// A folder's entries are joined to it with the system's own separator.
constexpr char kSeparator = static_cast<char>(fs::path::preferred_separator);

bool EndsWithSeparator(const std::string& folder) {
    return !folder.empty() && (folder.back() == '/' || folder.back() == kSeparator);
}

}  // namespace

bool IsFolder(const std::string& path) {
    return system::StateOf(path).kind == system::FileKind::kFolder;
}

FolderWalk::FolderWalk(const std::string& folder) {
    pendingFailure_ = Enter(folder, 0);
}

std::optional<FolderWalk::Item> FolderWalk::Enter(const std::string& folder, std::size_t depth) {
    if (depth > kMaxFolderDepth) {
        return std::nullopt;
    }
    const std::optional<system::FileIdentity> identity = system::IdentityOf(folder);
    if (identity && !visited_.insert(*identity).second) {
        return std::nullopt;
    }
    // Names, not paths, are sorted: the entries share their folder, and comparing paths
    // component by component costs more than the walk's system calls.
    Frame frame{folder, {}, 0};
    const std::error_code ec = system::ListFolder(folder, frame.names);
    std::erase_if(frame.names,
                  [](const std::string& name) { return name.empty() || name[0] == '.'; });
    if (ec) {
        return Item{folder, folder + " cannot be read: " + ec.message()};
    }
    std::sort(frame.names.begin(), frame.names.end());
    stack_.push_back(std::move(frame));
    return std::nullopt;
}

std::optional<FolderWalk::Item> FolderWalk::Next() {
    if (pendingFailure_) {
        return std::exchange(pendingFailure_, std::nullopt);
    }
    while (!stack_.empty()) {
        Frame& top = stack_.back();
        if (top.next == top.names.size()) {
            stack_.pop_back();
            continue;
        }
        const std::string& folder = top.folder;
        std::string path =
            (folder.empty() || EndsWithSeparator(folder)) ? folder : folder + kSeparator;
        path += top.names[top.next++];
        const system::FileState state = system::StateOf(path);
        switch (state.kind) {
            case system::FileKind::kFile:
                return Item{std::move(path), {}, state.size};
            case system::FileKind::kFolder:
                if (auto failure = Enter(path, stack_.size())) {
                    return failure;
                }
                break;
            case system::FileKind::kMissing:
            case system::FileKind::kOther:
                break;  // a dangling link, an entry that vanished meanwhile, a device...
        }
    }
    return std::nullopt;
}

}  // namespace corvanel::cli
