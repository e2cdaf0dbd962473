#include "cli/FileWalk.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>
#include <utility>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace corvanel::cli {

namespace {

namespace fs = std::filesystem;

constexpr int kMaxFolderDepth = 256;

// What a path leads to, links followed: its kind and, for a regular file, its size.
struct Kind {
    bool folder = false;
    bool regularFile = false;
    std::uintmax_t size = 0;
};

// One system call per entry where the platform has it: a large folder is walked before any
// conversion starts.
Kind Inspect(const fs::path& path) {
    Kind kind;
#ifndef _WIN32
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return kind;
    }
    kind.folder = S_ISDIR(info.st_mode);
    kind.regularFile = S_ISREG(info.st_mode);
    kind.size = kind.regularFile ? static_cast<std::uintmax_t>(info.st_size) : 0;
#else
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec) {
        return kind;
    }
    kind.folder = fs::is_directory(status);
    kind.regularFile = fs::is_regular_file(status);
    if (kind.regularFile) {
        const std::uintmax_t size = fs::file_size(path, ec);
        kind.size = ec ? 0 : size;
    }
#endif
    return kind;
}

// What identifies a folder however it is reached: device and inode, or where those are not
// available, its canonical path.
class VisitedFolders {
public:
    // False when the folder was seen before.
    bool Insert(const fs::path& folder) {
#ifndef _WIN32
        struct stat info {};
        if (::stat(folder.c_str(), &info) == 0) {
            return ids_
                .insert({static_cast<unsigned long long>(info.st_dev),
                         static_cast<unsigned long long>(info.st_ino)})
                .second;
        }
#endif
        std::error_code ec;
        const fs::path canonical = fs::canonical(folder, ec);
        return paths_.insert((ec ? folder : canonical).string()).second;
    }

private:
    std::set<std::pair<unsigned long long, unsigned long long>> ids_;
    std::set<std::string> paths_;
};

class Walker {
public:
    explicit Walker(WalkResult& result) : result_(result) {}

    void Folder(const fs::path& folder, int depth) {
        if (depth > kMaxFolderDepth || !visited_.Insert(folder)) {
            return;
        }
        // Names, not paths, are sorted: the entries share their folder, and comparing paths
        // component by component costs more than the walk's system calls.
        std::vector<fs::path::string_type> names;
        std::error_code ec;
        fs::directory_iterator it(folder, ec);
        for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
            fs::path::string_type name = it->path().filename().native();
            if (!name.empty() && name[0] != '.') {
                names.push_back(std::move(name));
            }
        }
        if (ec) {
            result_.failures.push_back(folder.string() + " cannot be read: " + ec.message());
            return;
        }
        std::sort(names.begin(), names.end());
        for (const fs::path::string_type& name : names) {
            const fs::path entry = folder / name;
            const Kind kind = Inspect(entry);
            if (kind.folder) {
                Folder(entry, depth + 1);
            } else if (kind.regularFile) {
                result_.files.push_back({entry.string(), true, kind.size});
            }
            // Anything else: a dangling link, an entry that vanished meanwhile, a device...
        }
    }

private:
    WalkResult& result_;
    VisitedFolders visited_;
};

}  // namespace

WalkResult CollectFiles(const std::vector<std::string>& inputs) {
    WalkResult result;
    Walker walker(result);
    for (const std::string& input : inputs) {
        const Kind kind = Inspect(input);
        if (kind.folder) {
            walker.Folder(input, 0);
        } else {
            result.files.push_back({input, false, kind.size});
        }
    }
    return result;
}

}  // namespace corvanel::cli
