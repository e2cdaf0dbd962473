#include "cli/FileWalk.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace corvanel::cli {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxFolderDepth = 256;

enum class EntryKind { kFolder, kFile, kOther };

// One system call per entry where the platform has it.
EntryKind KindOf(const std::string& path) {
#ifndef _WIN32
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return EntryKind::kOther;
    }
    return S_ISDIR(info.st_mode)   ? EntryKind::kFolder
           : S_ISREG(info.st_mode) ? EntryKind::kFile
                                   : EntryKind::kOther;
#else
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    return ec                            ? EntryKind::kOther
           : fs::is_directory(status)    ? EntryKind::kFolder
           : fs::is_regular_file(status) ? EntryKind::kFile
                                         : EntryKind::kOther;
#endif
}

}  // namespace

bool IsFolder(const std::string& path) {
    return KindOf(path) == EntryKind::kFolder;
}

FolderWalk::FolderWalk(const std::string& folder) {
    pendingFailure_ = Enter(folder, 0);
}

std::optional<FolderWalk::Item> FolderWalk::Enter(const std::string& folder, std::size_t depth) {
    if (depth > kMaxFolderDepth) {
        return std::nullopt;
    }
#ifndef _WIN32
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0 && !visited_.insert({info.st_dev, info.st_ino}).second) {
        return std::nullopt;
    }
#else
    std::error_code canonicalError;
    const fs::path canonical = fs::canonical(folder, canonicalError);
    if (!visitedPaths_.insert(canonicalError ? folder : canonical.string()).second) {
        return std::nullopt;
    }
#endif
    // Names, not paths, are sorted: the entries share their folder, and comparing paths
    // component by component costs more than the walk's system calls.
    Frame frame{folder, {}, 0};
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (!name.empty() && name[0] != '.') {
            frame.names.push_back(std::move(name));
        }
    }
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
        std::string path = (folder.empty() || folder.back() == '/') ? folder : folder + '/';
        path += top.names[top.next++];
        switch (KindOf(path)) {
            case EntryKind::kFile:
                return Item{std::move(path), {}};
            case EntryKind::kFolder:
                if (auto failure = Enter(path, stack_.size())) {
                    return failure;
                }
                break;
            case EntryKind::kOther:
                break;  // a dangling link, an entry that vanished meanwhile, a device...
        }
    }
    return std::nullopt;
}

}  // namespace corvanel::cli
