#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct zip;
struct zip_file;
struct zip_source;

namespace corvanel::convert {

class SourceFile;

// A ZIP container (OOXML and OpenDocument packages). Parts are inflated on demand and refused
// past the size and ratio limits, so a zip bomb fails cleanly.
class ZipPackage {
public:
    static bool LooksLikeZip(std::string_view head);

    // Opens the package of a source file (from disk or from memory). Throws ConvertError.
    explicit ZipPackage(SourceFile& source);
    ~ZipPackage();
    ZipPackage(const ZipPackage&) = delete;
    ZipPackage& operator=(const ZipPackage&) = delete;

    // Part names as stored, in archive order.
    std::vector<std::string> Names() const;
    // Exact match first, then a case-insensitive one; a leading "/" is ignored.
    bool Has(std::string_view name) const;
    // The part's bytes, or nothing when the package has no such part. Throws ConvertError when
    // it is damaged, encrypted or too large.
    std::optional<std::string> Read(std::string_view name);

private:
    std::optional<std::int64_t> Locate(std::string_view name) const;
    // The next `size` bytes of an opened entry; a shorter entry is damaged.
    static std::string ReadRaw(zip_file* file, std::string_view name, std::uint64_t size);
    std::string InflateWhole(zip_file* file, std::string_view name, std::uint64_t declared,
                             std::uint64_t compressed, std::uint32_t crc);
    std::string InflateStreamed(zip_file* file, std::string_view name, std::uint64_t declared,
                                std::uint64_t compressed);

    zip* archive_ = nullptr;
    std::uint64_t inflatedTotal_ = 0;
};

}  // namespace corvanel::convert
