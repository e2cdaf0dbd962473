#include "convert/core/SourceFile.h"

#include "convert/core/ConvertError.h"
#include "convert/core/Limits.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace corvanel::convert {

namespace {

constexpr size_t kHeadBytes = 64 * 1024;
// Files up to this size are read whole when opened: one open and one read, where a package
// read from disk would seek and read for each part. Larger files (mostly pictures) are read
// part by part, so memory follows the text, not the file.
constexpr std::uint64_t kReadWholeBytes = 4ull << 20;

[[noreturn]] void ThrowCannotOpen(const std::string& reason) {
    throw ConvertError(ErrorCode::kCannotOpen, reason);
}

std::string ReadUpTo(system::ReadableFile& file, std::size_t limit) {
    std::string data(limit, '\0');
    const std::int64_t got = file.ReadAt(0, data.data(), limit);
    if (got < 0) {
        ThrowCannotOpen(std::strerror(errno));
    }
    data.resize(static_cast<std::size_t>(got));
    return data;
}

}  // namespace

// The checks and the size come from the opened file itself, so they hold for what is read.
SourceFile SourceFile::Open(const std::string& path) {
    system::ReadableFile opened = system::ReadableFile::Open(path);
    if (opened.Kind() == system::FileKind::kFolder) {
        ThrowCannotOpen("it is a folder");
    }
    if (!opened.IsOpen()) {
        ThrowCannotOpen(std::strerror(errno));
    }
    if (opened.Kind() != system::FileKind::kFile) {
        ThrowCannotOpen("it is not a regular file");
    }
    if (opened.Size() > limits::kMaxSourceFileBytes) {
        ThrowTooLarge("the file is larger than 1 GiB");
    }
    SourceFile file;
    file.path_ = path;
    file.size_ = opened.Size();
    file.onDisk_ = true;
    if (file.size_ <= kReadWholeBytes) {
        // One byte past the size seen, so a file that grew meanwhile is noticed.
        file.bytes_ = ReadUpTo(opened, static_cast<std::size_t>(file.size_) + 1);
        file.size_ = file.bytes_.size();
        file.loaded_ = true;
    }
    file.file_ = std::move(opened);  // for the parts read later, and a content taken away
    return file;
}

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
        head_ = ReadUpTo(file_, kHeadBytes);
    }
    return head_;
}

const std::string& SourceFile::Bytes() {
    if (!loaded_) {
        // Read one byte past the size seen at open, so a file that grew meanwhile is noticed.
        bytes_ = ReadUpTo(file_, static_cast<std::size_t>(size_) + 1);
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
    const std::int64_t got = file_.ReadAt(offset, out, length);
    if (got < 0) {
        ThrowCannotOpen(std::strerror(errno));
    }
    return static_cast<std::size_t>(got);
}

}  // namespace corvanel::convert
