#include "system/FileSystem.h"

#include <sys/stat.h>
#include <unistd.h>

namespace corvanel::system {

namespace fs = std::filesystem;

// The system takes paths as bytes, which are UTF-8 here.
fs::path PathFromUtf8(std::string_view utf8) {
    return fs::path(utf8);
}

std::string Utf8FromPath(const fs::path& path) {
    return path.native();
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

std::error_code MoveReplacing(const std::string& from, const std::string& to) {
    std::error_code ec;
    fs::rename(from, to, ec);
    return ec;
}

FileState StateOf(const std::string& path) {
    FileState state;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return state;
    }
    state.kind = S_ISDIR(info.st_mode)   ? FileKind::kFolder
                 : S_ISREG(info.st_mode) ? FileKind::kFile
                                         : FileKind::kOther;
    state.size = S_ISREG(info.st_mode) ? static_cast<std::uint64_t>(info.st_size) : 0;
#ifdef __APPLE__
    const timespec& time = info.st_mtimespec;
#else
    const timespec& time = info.st_mtim;
#endif
    state.modified = static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
    return state;
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                        static_cast<std::uint64_t>(info.st_ino)};
}

std::string CaseKey(const std::string& path) {
    return path;
}

std::error_code ListFolder(const std::string& folder, std::vector<std::string>& names) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        names.push_back(it->path().filename().native());
    }
    return ec;
}

unsigned long CurrentProcessId() {
    return static_cast<unsigned long>(::getpid());
}

}  // namespace corvanel::system
