#include "system/FileSystem.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvanel::system {

namespace fs = std::filesystem;

namespace {

std::error_code LastError() {
    return std::error_code(errno, std::generic_category());
}

int Descriptor(std::intptr_t handle) {
    return static_cast<int>(handle);
}

// Closes a descriptor once: after an interrupted close() it is closed already on Linux.
int CloseDescriptor(std::intptr_t& handle) {
    const int result = ::close(Descriptor(handle));
    handle = -1;
    return result != 0 && errno != EINTR ? -1 : 0;
}

#ifdef O_TMPFILE
// An unnamed file is given a name through its /proc entry (linkat with AT_EMPTY_PATH needs a
// privilege); without /proc mounted, unnamed files are not used at all.
bool CanNameUnnamedFiles() {
    static const bool can = ::access("/proc/self/fd", X_OK) == 0;
    return can;
}

std::error_code LinkUnnamed(std::intptr_t handle, const std::string& name) {
    char self[32];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", Descriptor(handle));
    if (::linkat(AT_FDCWD, self, AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) != 0) {
        return LastError();
    }
    return {};
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}
#endif

}  // namespace

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

// Without blocking, so a pipe or device is looked at, never waited on.
ReadableFile ReadableFile::Open(const std::string& path) {
    ReadableFile file;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return file;
    }
    file.handle_ = fd;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        file.Close();
        errno = error;
        return file;
    }
    file.kind_ = S_ISDIR(info.st_mode)   ? FileKind::kFolder
                 : S_ISREG(info.st_mode) ? FileKind::kFile
                                         : FileKind::kOther;
    file.size_ = S_ISREG(info.st_mode) ? static_cast<std::uint64_t>(info.st_size) : 0;
    return file;
}

std::int64_t ReadableFile::ReadAt(std::uint64_t offset, char* out, std::size_t length) {
    std::size_t got = 0;
    while (got < length) {
        const ssize_t n =
            ::pread(Descriptor(handle_), out + got, length - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return -1;
        }
        got += static_cast<std::size_t>(n);
        // Short at the size seen or past it: the end, without a further read to find it.
        if (n == 0 || (got < length && offset + got >= size_)) {
            break;
        }
    }
    return static_cast<std::int64_t>(got);
}

void ReadableFile::Close() {
    if (handle_ != kNoHandle) {
        CloseDescriptor(handle_);
    }
}

std::error_code StagedFile::Create() {
#ifdef O_TMPFILE
    // Any refusal (a file system without unnamed files, an old kernel, a folder that cannot
    // be written) is left to the named way, which also gives the reason a write fails.
    if (naming_ == Naming::kUnnamedWherePossible && CanNameUnnamedFiles()) {
        handle_ = ::open(FolderOf(target_).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (handle_ >= 0) {
            return {};
        }
        handle_ = kNoHandle;
    }
#endif
    return CreateNamed();
}

std::error_code StagedFile::CreateNamed() {
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string name = TemporaryNameBeside(target_, attempt);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            handle_ = fd;
            temporary_ = name;
            return {};
        }
        if (errno != EEXIST) {
            return LastError();
        }
    }
    return std::make_error_code(std::errc::file_exists);
}

std::error_code StagedFile::Write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(Descriptor(handle_), bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n < 0 ? LastError() : std::make_error_code(std::errc::io_error);
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
}

std::error_code StagedFile::Publish() {
    if (handle_ == kNoHandle) {
        return std::make_error_code(std::errc::bad_file_descriptor);
    }
#ifdef O_TMPFILE
    if (temporary_.empty()) {
        std::error_code linked = LinkUnnamed(handle_, target_);
        if (!linked) {
            if (CloseDescriptor(handle_) != 0) {
                // Its last bytes may be lost: the target is taken back, as a named file is
                // never renamed when closing it fails.
                linked = LastError();
                ::unlink(target_.c_str());
            }
            return linked;
        }
        if (linked != std::errc::file_exists) {
            Discard();
            return linked;
        }
        // The target exists (or appeared since): the file is named beside it and renamed
        // over it, as where the target existed from the start.
        for (int attempt = 0; attempt < 16 && temporary_.empty(); ++attempt) {
            const std::string name = TemporaryNameBeside(target_, attempt);
            linked = LinkUnnamed(handle_, name);
            if (!linked) {
                temporary_ = name;
            } else if (linked != std::errc::file_exists) {
                break;
            }
        }
        if (temporary_.empty()) {
            Discard();
            return linked;
        }
    }
#endif
    if (CloseDescriptor(handle_) != 0) {
        const std::error_code closed = LastError();
        Discard();
        return closed;
    }
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        const std::error_code moved = LastError();
        Discard();
        return moved;
    }
    temporary_.clear();
    return {};
}

void StagedFile::Discard() {
    if (handle_ != kNoHandle) {
        CloseDescriptor(handle_);
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

}  // namespace corvanel::system
