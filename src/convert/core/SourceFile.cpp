#include "convert/core/SourceFile.h"

#include "convert/core/ConvertError.h"
#include "convert/core/Limits.h"
#include "system/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>
#include <utility>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace corvanel::convert {

namespace {

constexpr size_t kHeadBytes = 64 * 1024;
// Files up to this size are read whole when opened: one open and one read, where a package
// read from disk would seek and read for each part. Larger files (mostly pictures) are read
// part by part, so memory follows the text, not the file.
constexpr std::uint64_t kReadWholeBytes = 4ull << 20;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

[[noreturn]] void ThrowCannotOpen(const std::string& reason) {
    throw ConvertError(ErrorCode::kCannotOpen, reason);
}

#ifndef _WIN32
// Reads until `length` bytes are in, the file ends or a read fails; at `offset` when one is
// given, else from the descriptor's position.
std::size_t ReadFully(int fd, char* out, std::size_t length, std::optional<std::uint64_t> offset) {
    std::size_t got = 0;
    while (got < length) {
        const ssize_t n =
            offset ? ::pread(fd, out + got, length - got, static_cast<off_t>(*offset + got))
                   : ::read(fd, out + got, length - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            ThrowCannotOpen(std::strerror(errno));
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    return got;
}
#endif

FilePtr OpenForReading(const std::string& path) {
    FilePtr f(system::OpenFile(path, "rb"));
    if (!f) {
        ThrowCannotOpen(std::strerror(errno));
    }
    return f;
}

std::string ReadUpTo(std::FILE* f, size_t limit) {
    std::string data;
    data.resize(limit);
    size_t got = 0;
    while (got < limit) {
        const size_t n = std::fread(data.data() + got, 1, limit - got, f);
        if (n == 0) {
            if (std::ferror(f)) {
                ThrowCannotOpen(std::strerror(errno));
            }
            break;
        }
        got += n;
    }
    data.resize(got);
    return data;
}

}  // namespace

#ifndef _WIN32
// One open and one fstat: the checks and the size come from the opened file itself. Opened
// without blocking, so a pipe or device is looked at, never waited on.
SourceFile SourceFile::Open(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        ThrowCannotOpen(std::strerror(errno));
    }
    struct FdCloser {
        int fd;
        ~FdCloser() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        ThrowCannotOpen(std::strerror(errno));
    }
    if (S_ISDIR(st.st_mode)) {
        ThrowCannotOpen("it is a folder");
    }
    if (!S_ISREG(st.st_mode)) {
        ThrowCannotOpen("it is not a regular file");
    }
    const auto size = static_cast<std::uint64_t>(st.st_size);
    if (size > limits::kMaxSourceFileBytes) {
        ThrowTooLarge("the file is larger than 1 GiB");
    }
    SourceFile file;
    file.path_ = path;
    file.size_ = size;
    file.onDisk_ = true;
    if (size <= kReadWholeBytes) {
        // One byte past the size seen, so a file that grew meanwhile is noticed.
        std::string& bytes = file.bytes_;
        bytes.resize(static_cast<std::size_t>(size) + 1);
        const std::size_t got = ReadFully(fd, bytes.data(), bytes.size(), std::nullopt);
        bytes.resize(got);
        file.size_ = got;
        file.loaded_ = true;
    }
    return file;
}
#else
SourceFile SourceFile::Open(const std::string& path) {
    const system::FileState state = system::StateOf(path);
    if (state.kind == system::FileKind::kFolder) {
        ThrowCannotOpen("it is a folder");
    }
    FilePtr f = OpenForReading(path);  // the reason it cannot be read, when it cannot
    if (state.kind != system::FileKind::kFile) {
        ThrowCannotOpen("it is not a regular file");
    }
    const std::uint64_t size = state.size;
    if (size > limits::kMaxSourceFileBytes) {
        ThrowTooLarge("the file is larger than 1 GiB");
    }
    SourceFile file;
    file.path_ = path;
    file.size_ = size;
    file.onDisk_ = true;
    if (size <= kReadWholeBytes) {
        // One byte past the size seen, so a file that grew meanwhile is noticed.
        file.bytes_ = ReadUpTo(f.get(), static_cast<size_t>(size) + 1);
        file.size_ = file.bytes_.size();
        file.loaded_ = true;
    }
    return file;
}
#endif

SourceFile SourceFile::FromBytes(std::string label, std::string bytes) {
    SourceFile file;
    file.path_ = std::move(label);
    file.size_ = bytes.size();
    file.bytes_ = std::move(bytes);
    file.loaded_ = true;
    return file;
}

std::string_view SourceFile::Head() {
    if (loaded_) {
        return std::string_view(bytes_).substr(0, kHeadBytes);
    }
    if (head_.empty() && size_ > 0) {
        FilePtr f = OpenForReading(path_);
        head_ = ReadUpTo(f.get(), kHeadBytes);
    }
    return head_;
}

const std::string& SourceFile::Bytes() {
    if (!loaded_) {
        FilePtr f = OpenForReading(path_);
        // Read one byte past the size seen at open, so a file that grew meanwhile is noticed.
        bytes_ = ReadUpTo(f.get(), static_cast<size_t>(size_) + 1);
        if (bytes_.size() > limits::kMaxSourceFileBytes) {
            ThrowTooLarge("the file is larger than 1 GiB");
        }
        size_ = bytes_.size();
        loaded_ = true;
        head_.clear();
    }
    return bytes_;
}

std::string SourceFile::TakeBytes() {
    const std::string& bytes = Bytes();
    if (!onDisk_) {
        return bytes;
    }
    std::string taken = std::move(bytes_);
    bytes_.clear();
    head_.clear();
    loaded_ = false;
    return taken;
}

std::size_t SourceFile::ReadAt(std::uint64_t offset, char* out, std::size_t length) {
    if (loaded_) {
        if (offset >= bytes_.size()) {
            return 0;
        }
        const std::size_t n =
            std::min<std::uint64_t>(length, bytes_.size() - static_cast<std::size_t>(offset));
        std::memcpy(out, bytes_.data() + offset, n);
        return n;
    }
    if (!openFile_) {
        openFile_ = std::shared_ptr<std::FILE>(OpenForReading(path_).release(), FileCloser{});
    }
#ifndef _WIN32
    const std::size_t got = ReadFully(::fileno(openFile_.get()), out, length, offset);
#else
    std::FILE* f = openFile_.get();
    if (_fseeki64(f, static_cast<long long>(offset), SEEK_SET) != 0) {
        ThrowCannotOpen(std::strerror(errno));
    }
    const std::size_t got = std::fread(out, 1, length, f);
    if (got < length && std::ferror(f)) {
        ThrowCannotOpen(std::strerror(errno));
    }
#endif
    return got;
}

}  // namespace corvanel::convert
