#pragma once

#include "system/FileSystem.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvanel::convert {

// The document being read: a file on disk or bytes in memory (tests and fuzzing). The path names
// the document in every error description.
class SourceFile {
public:
    // Opens the path and checks that what it opened is a readable regular file within the
    // size limit; throws ConvertError (cannot be opened, too large) otherwise.
    static SourceFile Open(const std::string& path);
    static SourceFile FromBytes(std::string label, std::string bytes);

    const std::string& Path() const { return path_; }
    std::uint64_t Size() const { return size_; }
    bool InMemory() const { return loaded_ && !onDisk_; }
    bool OnDisk() const { return onDisk_; }
    // The whole content is in memory (given as bytes, or a small file read when opened).
    bool Loaded() const { return loaded_; }

    // The first bytes (up to 64 KiB), for recognising the format.
    std::string_view Head();
    // The whole content, read on first use.
    const std::string& Bytes();
    // The whole content for a reader that parses it in place: moved out of a file's source
    // (asked for again, it is read anew from the file), copied from bytes given in memory.
    std::string TakeBytes();
    // Copies up to `length` bytes from `offset` into `out` and returns how many there were:
    // from memory when loaded, else from the file, which stays open for further reads. For
    // readers that visit a large file a range at a time instead of holding it whole.
    std::size_t ReadAt(std::uint64_t offset, char* out, std::size_t length);

private:
    SourceFile() = default;

    std::string path_;
    std::uint64_t size_ = 0;
    bool onDisk_ = false;
    bool loaded_ = false;
    std::string head_;
    std::string bytes_;
    system::ReadableFile file_;  // open while the source is, for what is read from disk
};

}  // namespace corvanel::convert
