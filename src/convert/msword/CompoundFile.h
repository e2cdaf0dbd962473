#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvanel::convert::msword {

// A strict reader of the compound file container (the "structured storage" of Office 97-2003
// documents): header, sector allocation table, mini stream and directory. Every sector chain
// is bounded and checked for loops, every offset against the file; a broken container fails as
// damaged. Only the streams at the root of the directory are offered, which is all a Word
// document needs.
class CompoundFile {
public:
    // Parses the container held in `bytes` (which must outlive this object).
    explicit CompoundFile(std::string_view bytes);

    // Names of the streams and storages directly under the root, as stored.
    std::vector<std::string> RootNames() const;
    bool HasStream(std::string_view name) const;
    // The stream's content, or nothing when there is no such stream at the root.
    std::optional<std::string> ReadStream(std::string_view name) const;

private:
    struct Entry {
        std::string name;  // UTF-8
        std::uint8_t type = 0;
        std::uint32_t left = 0, right = 0, child = 0;
        std::uint32_t start = 0;
        std::uint64_t size = 0;
    };

    void ReadHeader();
    void ReadFat();
    void ReadDirectory();
    void ReadMiniFat();
    std::vector<std::uint32_t> Chain(const std::vector<std::uint32_t>& table, std::uint32_t start,
                                     std::uint64_t maxLength, const char* what) const;
    std::string ReadRegular(std::uint32_t start, std::uint64_t size) const;
    std::string ReadMini(std::uint32_t start, std::uint64_t size) const;
    std::string_view Sector(std::uint32_t index) const;
    const Entry* FindRootChild(std::string_view name) const;

    std::string_view bytes_;
    std::uint32_t sectorShift_ = 9;
    std::uint32_t sectorSize_ = 512;
    std::uint32_t miniCutoff_ = 4096;
    std::uint32_t firstDirSector_ = 0;
    std::uint32_t firstMiniFatSector_ = 0;
    std::uint32_t firstDifatSector_ = 0;
    std::uint32_t difatCount_ = 0;
    std::uint32_t fatSectorCount_ = 0;
    std::vector<std::uint32_t> fat_;
    std::vector<std::uint32_t> miniFat_;
    std::vector<Entry> entries_;
    std::vector<std::uint32_t> rootChildren_;  // entry indexes under the root
    std::string miniStream_;
};

}  // namespace corvanel::convert::msword
