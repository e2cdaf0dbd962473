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

std::uintmax_t SizeOf(const fs::path& file) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(file, ec);
    return ec ? 0 : size;
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
        std::vector<fs::path> entries;
        std::error_code ec;
        fs::directory_iterator it(folder, ec);
        for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
            entries.push_back(it->path());
        }
        if (ec) {
            result_.failures.push_back(folder.string() + " cannot be read: " + ec.message());
            return;
        }
        std::sort(entries.begin(), entries.end());
        for (const fs::path& entry : entries) {
            const std::string name = entry.filename().string();
            if (name.empty() || name[0] == '.') {
                continue;
            }
            const fs::file_status status = fs::status(entry, ec);  // follows links
            if (ec) {
                continue;  // a dangling link or an entry that vanished meanwhile
            }
            if (fs::is_directory(status)) {
                Folder(entry, depth + 1);
            } else if (fs::is_regular_file(status)) {
                result_.files.push_back({entry.string(), true, SizeOf(entry)});
            }
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
        std::error_code ec;
        if (fs::is_directory(input, ec)) {
            walker.Folder(input, 0);
        } else {
            result.files.push_back({input, false, SizeOf(input)});
        }
    }
    return result;
}

}  // namespace corvanel::cli
