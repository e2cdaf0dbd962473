#include "convert/msword/SummaryInformation.h"

#include "convert/core/ConvertError.h"
#include "convert/core/PropertyValues.h"
#include "convert/core/TextEncoding.h"
#include "convert/msword/ByteReader.h"
#include "convert/msword/CompoundFile.h"

#include <algorithm>
#include <optional>
#include <string>

namespace corvanel::convert::msword {

namespace {

using namespace std::string_view_literals;

// The format identifier of the summary information set, as stored.
constexpr std::string_view kSummaryFormatId =
    "\xE0\x85\x9F\xF2\xF9\x4F\x68\x10\xAB\x91\x08\x00\x2B\x27\xB3\xD9"sv;
// The set is a few hundred bytes; anything far larger is not one worth reading.
constexpr std::uint64_t kMaxStreamBytes = 1u << 20;

constexpr std::uint32_t kCodePageId = 1;
constexpr std::uint16_t kTypeI2 = 2;
constexpr std::uint16_t kTypeI4 = 3;
constexpr std::uint16_t kTypeString = 0x1E;      // 8-bit, in the set's code page
constexpr std::uint16_t kTypeWideString = 0x1F;  // UTF-16
constexpr std::uint16_t kTypeFileTime = 0x40;
constexpr int kUtf16CodePage = 1200;

std::string_view UpToNul(std::string_view bytes) {
    return bytes.substr(0, bytes.find('\0'));
}

std::string_view UpToWideNul(std::string_view bytes) {
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        if (bytes[i] == '\0' && bytes[i + 1] == '\0') {
            return bytes.substr(0, i);
        }
    }
    return bytes.substr(0, bytes.size() & ~std::size_t{1});
}

// A string property's value as UTF-8, or nothing when it is of another type.
std::optional<std::string> StringValue(const ByteReader& set, std::size_t at, int codePage) {
    const std::uint16_t type = set.U16(at);
    const std::uint32_t length = set.U32(at + 4);
    if (type == kTypeString) {
        const std::string_view bytes = set.Slice(at + 8, length);
        if (codePage == kUtf16CodePage) {  // such sets keep their 8-bit strings as UTF-16
            return DecodeUtf16Le(UpToWideNul(bytes));
        }
        return DecodeCodePage(UpToNul(bytes), codePage);
    }
    if (type == kTypeWideString && length <= set.Size() / 2) {
        return DecodeUtf16Le(UpToWideNul(set.Slice(at + 8, std::size_t{length} * 2)));
    }
    return std::nullopt;
}

std::optional<std::int64_t> CountValue(const ByteReader& set, std::size_t at) {
    switch (set.U16(at)) {
        case kTypeI4:
            return set.I32(at + 4);
        case kTypeI2:
            return set.I16(at + 4);
        default:
            return std::nullopt;
    }
}

void ReadSet(const ByteReader& set, DocumentSink& sink) {
    const std::uint32_t count =
        std::min<std::uint32_t>(set.U32(4), static_cast<std::uint32_t>((set.Size() - 8) / 8));
    const auto offsetOf = [&](std::uint32_t i) -> std::size_t { return set.U32(12 + 8 * i); };
    int codePage = 1252;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t at = offsetOf(i);
        if (set.U32(8 + 8 * i) == kCodePageId && set.Has(at, 6) && set.U16(at) == kTypeI2) {
            codePage = set.U16(at + 4);  // stored signed: 65001 reads as -535
        }
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t id = set.U32(8 + 8 * i);
        const std::size_t at = offsetOf(i);
        // Each property is read on its own: one damaged value loses only itself.
        try {
            switch (id) {
                case 2:  // title
                case 4:  // author
                    if (const auto text = StringValue(set, at, codePage)) {
                        SendText(sink,
                                 id == 2 ? DocumentProperty::kTitle : DocumentProperty::kAuthor,
                                 *text);
                    }
                    break;
                case 12:  // created
                case 13:  // last saved
                    if (set.U16(at) == kTypeFileTime) {
                        const std::uint64_t time =
                            set.U32(at + 4) | (std::uint64_t{set.U32(at + 8)} << 32);
                        const std::string iso = FileTimeToIso(time);
                        if (!iso.empty()) {
                            sink.Property(
                                id == 12 ? DocumentProperty::kCreated : DocumentProperty::kModified,
                                iso);
                        }
                    }
                    break;
                case 14:  // pages
                case 15:  // words
                    if (const auto value = CountValue(set, at)) {
                        SendCount(sink,
                                  id == 14 ? DocumentProperty::kPages : DocumentProperty::kWords,
                                  *value);
                    }
                    break;
                default:
                    break;
            }
        } catch (const ConvertError&) {
        }
    }
}

}  // namespace

void ReadSummaryInformation(std::string_view stream, DocumentSink& sink) {
    try {
        const ByteReader r(stream, "the summary information");
        if (r.U16(0) != 0xFFFE || r.U32(24) < 1 || r.Slice(28, 16) != kSummaryFormatId) {
            return;
        }
        const std::uint32_t start = r.U32(44);
        if (!r.Has(start, 8)) {
            return;
        }
        // The set's own size bounds its offsets; a size past the stream's end is cut to it.
        const std::size_t size = std::min<std::size_t>(r.U32(start), r.Size() - start);
        if (size < 8) {
            return;
        }
        ReadSet(ByteReader(r.Slice(start, size), "the summary information"), sink);
    } catch (const ConvertError&) {
    }
}

void ReadSummaryInformation(const CompoundFile& file, DocumentSink& sink) {
    try {
        const std::optional<CompoundStream> stream = file.OpenStream("\x05SummaryInformation");
        if (!stream || stream->Size() > kMaxStreamBytes) {
            return;
        }
        std::string buffer;
        ReadSummaryInformation(stream->View(buffer), sink);
    } catch (const ConvertError&) {
    }
}

}  // namespace corvanel::convert::msword
