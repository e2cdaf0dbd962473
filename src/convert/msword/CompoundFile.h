#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace corvanel::convert {
class SourceFile;
}

namespace corvanel::convert::msword {

class CompoundFile;

// One stream of a compound file, read a range at a time. Its sector chain was walked and every
// sector checked against the file when it was opened, so reading it can only fail when the
// file itself changes meanwhile. Valid while its CompoundFile lives.
class CompoundStream {
public:
    std::uint64_t Size() const { return size_; }
    // Copies [offset, offset + length) of the stream into `out`; a range past the stream's end
    // fails as damaged, naming `what`.
    void Read(std::uint64_t offset, std::size_t length, char* out, const char* what) const;
    std::string Read(std::uint64_t offset, std::size_t length, const char* what) const;
    // The whole stream: a view of the file's bytes when they are in memory and the stream's
    // sectors follow each other, else its content copied into `buffer`.
    std::string_view View(std::string& buffer) const;

private:
    friend class CompoundFile;
    CompoundStream(const CompoundFile& file, std::vector<std::uint32_t> chain, std::uint64_t size,
                   bool mini)
        : file_(&file), chain_(std::move(chain)), size_(size), mini_(mini) {}

    const CompoundFile* file_;
    std::vector<std::uint32_t> chain_;
    std::uint64_t size_;
    bool mini_;
};

// A strict reader of the compound file container (the "structured storage" of Office 97-2003
// documents): header, sector allocation table, mini stream and directory. Every sector chain
// is bounded and checked for loops, every offset against the file; a broken container fails as
// damaged. Only the streams at the root of the directory are offered, which is all a Word
// document needs. Streams are read from the file as they are used, never held whole here.
class CompoundFile {
public:
    // Copies up to `length` bytes at `offset` of the file into `out`, returning how many.
    using RangeReader = std::function<std::size_t(std::uint64_t offset, char* out, std::size_t)>;

    // Parses the container held in `bytes` (which must outlive this object).
    explicit CompoundFile(std::string_view bytes);
    // Parses the container in `source`, read a range at a time unless it is held in memory
    // (the source must outlive this object).
    explicit CompoundFile(SourceFile& source);
    // Parses a container of `size` bytes read through `read` (which must outlive this object).
    CompoundFile(std::uint64_t size, RangeReader read);
    // Its streams refer back to it.
    CompoundFile(const CompoundFile&) = delete;
    CompoundFile& operator=(const CompoundFile&) = delete;

    // The whole file is in memory (its streams are then cheap to read whole).
    bool InMemory() const { return inMemory_; }
    // Names of the streams and storages directly under the root, as stored.
    std::vector<std::string> RootNames() const;
    bool HasStream(std::string_view name) const;
    // The stream, or nothing when there is no such stream at the root.
    std::optional<CompoundStream> OpenStream(std::string_view name) const;
    // The stream's whole content, or nothing when there is no such stream at the root.
    std::optional<std::string> ReadStream(std::string_view name) const;

private:
    friend class CompoundStream;
    struct Entry {
        std::string name;  // UTF-8
        std::uint8_t type = 0;
        std::uint32_t left = 0, right = 0, child = 0;
        std::uint32_t start = 0;
        std::uint64_t size = 0;
    };

    void Parse();
    void ReadHeader();
    void ReadFat();
    void ReadDirectory();
    void ReadMiniFat();
    std::vector<std::uint32_t> Chain(const std::vector<std::uint32_t>& table, std::uint32_t start,
                                     std::uint64_t maxLength, const char* what) const;
    CompoundStream OpenRegular(std::uint32_t start, std::uint64_t size) const;
    CompoundStream OpenMini(std::uint32_t start, std::uint64_t size) const;
    // The sector's bytes (fewer at the end of the file): a view of memory, or read into `buffer`.
    std::string_view Sector(std::uint32_t index, std::string& buffer) const;
    void ReadFile(std::uint64_t offset, std::size_t length, char* out) const;
    const Entry* FindRootChild(std::string_view name) const;

    bool inMemory_ = false;
    std::string_view bytes_;  // the whole file, when it is in memory
    RangeReader read_;        // otherwise
    std::uint64_t fileSize_ = 0;
    std::uint32_t sectorShift_ = 9;
    std::uint32_t sectorSize_ = 512;
    std::uint32_t miniCutoff_ = 4096;
    std::uint32_t firstDirSector_ = 0;
    std::uint32_t firstMiniFatSector_ = 0;
    std::uint32_t firstDifatSector_ = 0;
    std::uint32_t difatCount_ = 0;
    std::uint32_t fatSectorCount_ = 0;
    std::string header_;
    std::vector<std::uint32_t> fat_;
    std::vector<std::uint32_t> miniFat_;
    std::vector<Entry> entries_;
    std::vector<std::uint32_t> rootChildren_;  // entry indexes under the root
    std::optional<CompoundStream> miniStream_;
};

}  // namespace corvanel::convert::msword
