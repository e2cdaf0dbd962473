#include "convert/core/ZipPackage.h"

#include "convert/core/ConvertError.h"
#include "convert/core/Limits.h"
#include "convert/core/SourceFile.h"

#include <libdeflate.h>
#include <zip.h>

#include <algorithm>
#include <memory>
#include <new>

namespace corvanel::convert {

namespace {

std::string ZipErrorText(zip_error_t* error) {
    const char* text = zip_error_strerror(error);
    return text ? text : "unknown ZIP error";
}

struct ZipFileCloser {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};

struct DecompressorFreer {
    void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

// One decompressor per thread: it is a few kilobytes of tables, set up once.
libdeflate_decompressor* ThreadDecompressor() {
    thread_local std::unique_ptr<libdeflate_decompressor, DecompressorFreer> decompressor(
        libdeflate_alloc_decompressor());
    if (!decompressor) {
        throw std::bad_alloc();
    }
    return decompressor.get();
}

constexpr std::size_t kChunkBytes = 64 * 1024;

// The limits as the messages state them, taken from the limits themselves.
std::string WouldExpandTooFar(std::string_view name) {
    return std::string(name) + " would expand beyond " +
           std::to_string(limits::kMaxPartBytes >> 20) + " MiB";
}

std::string ExpandsLikeABomb(std::string_view name) {
    return std::string(name) + " expands more than " +
           std::to_string(limits::kMaxCompressionRatio) + " times its compressed size (a ZIP bomb)";
}

}  // namespace

bool ZipPackage::LooksLikeZip(std::string_view head) {
    return head.size() >= 4 && head[0] == 'P' && head[1] == 'K' &&
           ((head[2] == '\x03' && head[3] == '\x04') || (head[2] == '\x05' && head[3] == '\x06'));
}

ZipPackage::ZipPackage(SourceFile& source) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* src = nullptr;
    if (!source.Loaded()) {
        src = zip_source_file_create(source.Path().c_str(), 0, -1, &error);
    } else {
        const std::string& bytes = source.Bytes();
        src = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    }
    if (src == nullptr) {
        std::string text = ZipErrorText(&error);
        zip_error_fini(&error);
        ThrowDamaged("the ZIP container cannot be read (" + text + ")");
    }
    archive_ = zip_open_from_source(src, ZIP_RDONLY, &error);
    if (archive_ == nullptr) {
        zip_source_free(src);
        std::string text = ZipErrorText(&error);
        zip_error_fini(&error);
        ThrowDamaged("the ZIP container cannot be read (" + text + ")");
    }
    zip_error_fini(&error);
}

ZipPackage::~ZipPackage() {
    if (archive_ != nullptr) {
        zip_discard(archive_);
    }
}

std::vector<std::string> ZipPackage::Names() const {
    std::vector<std::string> names;
    const zip_int64_t count = zip_get_num_entries(archive_, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        if (const char* name = zip_get_name(archive_, static_cast<zip_uint64_t>(i), 0)) {
            names.emplace_back(name);
        }
    }
    return names;
}

std::optional<std::int64_t> ZipPackage::Locate(std::string_view name) const {
    while (!name.empty() && name.front() == '/') {
        name.remove_prefix(1);
    }
    const std::string key(name);
    zip_int64_t index = zip_name_locate(archive_, key.c_str(), 0);
    if (index < 0) {
        index = zip_name_locate(archive_, key.c_str(), ZIP_FL_NOCASE);
    }
    if (index < 0) {
        return std::nullopt;
    }
    return index;
}

bool ZipPackage::Has(std::string_view name) const {
    return Locate(name).has_value();
}

std::optional<std::string> ZipPackage::Read(std::string_view name) {
    const auto index = Locate(name);
    if (!index) {
        return std::nullopt;
    }
    const auto entry = static_cast<zip_uint64_t>(*index);
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(archive_, entry, 0, &st) != 0) {
        ThrowDamaged("the ZIP entry " + std::string(name) + " cannot be read");
    }
    if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE) {
        ThrowPasswordProtected();
    }
    const std::uint64_t declared = (st.valid & ZIP_STAT_SIZE) ? st.size : 0;
    const std::uint64_t compressed = (st.valid & ZIP_STAT_COMP_SIZE) ? st.comp_size : 0;
    if (declared > limits::kMaxPartBytes) {
        ThrowTooLarge(WouldExpandTooFar(name));
    }

    if (declared > limits::kBombCheckThreshold &&
        declared > limits::kMaxCompressionRatio * std::max<std::uint64_t>(compressed, 1)) {
        ThrowTooLarge(ExpandsLikeABomb(name));
    }

    // Deflated parts with a known size and checksum are inflated in one call into a buffer of
    // exactly that size (several times faster than streaming); anything else streams.
    const auto needed = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC;
    const bool whole = (st.valid & needed) == needed && st.comp_method == ZIP_CM_DEFLATE;
    std::unique_ptr<zip_file_t, ZipFileCloser> file(
        zip_fopen_index(archive_, entry, whole ? ZIP_FL_COMPRESSED : 0));
    if (!file) {
        zip_error_t* error = zip_get_error(archive_);
        if (zip_error_code_zip(error) == ZIP_ER_NOPASSWD ||
            zip_error_code_zip(error) == ZIP_ER_WRONGPASSWD) {
            ThrowPasswordProtected();
        }
        ThrowDamaged("the ZIP entry " + std::string(name) + " cannot be opened (" +
                     ZipErrorText(error) + ")");
    }
    return whole ? InflateWhole(file.get(), name, declared, compressed, st.crc)
                 : InflateStreamed(file.get(), name, declared, compressed);
}

std::string ZipPackage::ReadRaw(zip_file* file, std::string_view name, std::uint64_t size) {
    std::string data;
    data.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(size, 64ull << 20)));
    char chunk[kChunkBytes];
    while (data.size() < size) {
        const auto want = static_cast<zip_uint64_t>(
            std::min<std::uint64_t>(sizeof chunk, size - static_cast<std::uint64_t>(data.size())));
        const zip_int64_t n = zip_fread(file, chunk, want);
        if (n <= 0) {
            ThrowDamaged("the ZIP entry " + std::string(name) + " is cut short" +
                         (n < 0 ? " (" + ZipErrorText(zip_file_get_error(file)) + ")" : ""));
        }
        data.append(chunk, static_cast<std::size_t>(n));
    }
    return data;
}

std::string ZipPackage::InflateWhole(zip_file* file, std::string_view name, std::uint64_t declared,
                                     std::uint64_t compressed, std::uint32_t crc) {
    if (compressed > limits::kMaxSourceFileBytes) {
        ThrowDamaged("the ZIP entry " + std::string(name) + " claims more data than the file has");
    }
    if (inflatedTotal_ + declared > limits::kMaxTotalInflatedBytes) {
        ThrowTooLarge(std::string(name) + " expands beyond the converter's size limit");
    }
    const std::string deflated = ReadRaw(file, name, compressed);
    std::string data(static_cast<std::size_t>(declared), '\0');
    std::size_t produced = 0;
    const libdeflate_result result =
        libdeflate_deflate_decompress(ThreadDecompressor(), deflated.data(), deflated.size(),
                                      data.data(), data.size(), &produced);
    if (result != LIBDEFLATE_SUCCESS || produced != data.size()) {
        ThrowDamaged("the ZIP entry " + std::string(name) + " is corrupt (" +
                     (result == LIBDEFLATE_INSUFFICIENT_SPACE
                          ? std::string("more data than its stated size")
                      : result == LIBDEFLATE_SUCCESS ? std::string("less data than its stated size")
                                                     : std::string("invalid compressed data")) +
                     ")");
    }
    if (libdeflate_crc32(0, data.data(), data.size()) != crc) {
        ThrowDamaged("the ZIP entry " + std::string(name) + " is corrupt (CRC error)");
    }
    inflatedTotal_ += declared;
    return data;
}

std::string ZipPackage::InflateStreamed(zip_file* file, std::string_view name,
                                        std::uint64_t declared, std::uint64_t compressed) {
    std::string data;
    data.reserve(static_cast<size_t>(std::min<std::uint64_t>(declared, 64ull << 20)));
    char chunk[kChunkBytes];
    for (;;) {
        const zip_int64_t n = zip_fread(file, chunk, sizeof chunk);
        if (n < 0) {
            ThrowDamaged("the ZIP entry " + std::string(name) + " is corrupt (" +
                         ZipErrorText(zip_file_get_error(file)) + ")");
        }
        if (n == 0) {
            break;
        }
        data.append(chunk, static_cast<size_t>(n));
        inflatedTotal_ += static_cast<std::uint64_t>(n);
        if (data.size() > limits::kMaxPartBytes ||
            inflatedTotal_ > limits::kMaxTotalInflatedBytes) {
            ThrowTooLarge(std::string(name) + " expands beyond the converter's size limit");
        }
        if (data.size() > limits::kBombCheckThreshold &&
            data.size() > limits::kMaxCompressionRatio * std::max<std::uint64_t>(compressed, 1)) {
            ThrowTooLarge(ExpandsLikeABomb(name));
        }
    }
    return data;
}

}  // namespace corvanel::convert
