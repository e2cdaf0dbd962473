#include "convert/msword/OfficeArt.h"

#include "convert/core/ConvertError.h"
#include "convert/core/TextEncoding.h"
#include "convert/msword/ByteReader.h"

#include <algorithm>

namespace corvanel::convert::msword {

namespace {

constexpr std::uint16_t kShapeContainer = 0xF004;
constexpr std::uint16_t kShapeRecord = 0xF00A;
constexpr std::uint16_t kOptions = 0xF00B;
constexpr std::uint16_t kSecondaryOptions = 0xF121;
constexpr std::uint16_t kTertiaryOptions = 0xF122;
constexpr std::uint16_t kContainerVersion = 0xF;
constexpr std::uint16_t kPictureFrameType = 75;
constexpr std::uint16_t kPictureBlip = 0x0104;
constexpr std::uint16_t kWordArtText = 0x00C0;
constexpr std::uint16_t kShapeName = 0x0380;
constexpr std::uint16_t kShapeDescription = 0x0381;
constexpr std::size_t kHeaderBytes = 8;
constexpr std::size_t kPropertyBytes = 6;
constexpr int kMaxDepth = 32;
// Picture headers: their size, and the mapping mode of one followed by a shape's records.
constexpr std::size_t kPictureHeaderBytes = 0x44;
constexpr std::uint16_t kShapeFileMode = 0x66;

std::string Utf16Text(std::string_view bytes) {
    std::string text = DecodeUtf16Le(bytes.substr(0, bytes.size() & ~std::size_t{1}));
    while (!text.empty() && text.back() == '\0') {
        text.pop_back();
    }
    return text;
}

// A shape's property table: fixed 6-byte entries, then the data of the complex ones in order.
void ReadOptions(const ByteReader& r, std::size_t at, std::size_t length, std::size_t count,
                 ShapeFacts& shape) {
    const std::size_t end = at + length;
    std::size_t data = at + kPropertyBytes * count;
    if (data > end) {
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint16_t id = r.U16(at + kPropertyBytes * i);
        const std::uint32_t value = r.U32(at + kPropertyBytes * i + 2);
        const std::uint16_t property = id & 0x3FFF;
        if (property == kPictureBlip) {
            shape.picture = true;
        }
        if ((id & 0x8000) == 0) {
            continue;
        }
        if (value > end - data) {
            return;  // complex data past the record: nothing after it can be found
        }
        const std::string_view bytes = r.Slice(data, value);
        data += value;
        if (property == kWordArtText) {
            shape.wordArt = Utf16Text(bytes);
        } else if (property == kShapeDescription) {
            shape.description = Utf16Text(bytes);
        } else if (property == kShapeName) {
            shape.title = Utf16Text(bytes);
        }
    }
}

// The records in [at, end): containers are walked into, each shape container adds a shape.
void Walk(const ByteReader& r, std::size_t at, std::size_t end, int depth,
          std::vector<ShapeFacts>& shapes, bool inShape) {
    if (depth > kMaxDepth) {
        return;
    }
    while (at + kHeaderBytes <= end) {
        const std::uint16_t versionAndInstance = r.U16(at);
        const std::uint16_t type = r.U16(at + 2);
        const std::uint32_t length = r.U32(at + 4);
        const std::size_t body = at + kHeaderBytes;
        if (length > end - body) {
            return;
        }
        const std::uint16_t instance = versionAndInstance >> 4;
        if (type == kShapeContainer) {
            shapes.emplace_back();
            Walk(r, body, body + length, depth + 1, shapes, true);
        } else if ((versionAndInstance & 0xF) == kContainerVersion) {
            Walk(r, body, body + length, depth + 1, shapes, false);
        } else if (inShape && type == kShapeRecord && length >= 4) {
            shapes.back().spid = r.U32(body);
            shapes.back().picture = shapes.back().picture || instance == kPictureFrameType;
        } else if (inShape &&
                   (type == kOptions || type == kSecondaryOptions || type == kTertiaryOptions)) {
            ReadOptions(r, body, length, instance, shapes.back());
        }
        at = body + length;
    }
}

// Where an inline picture's shape records start, after its header and name.
std::size_t ShapeStart(const ByteReader& r) {
    std::size_t at = kPictureHeaderBytes;
    if (r.U16(6) == kShapeFileMode) {
        at += 1 + std::size_t{r.U8(at)};
    }
    return at;
}

bool IsPictureHeader(std::string_view bytes) {
    if (bytes.size() < kPictureHeaderBytes + 1) {
        return false;
    }
    const ByteReader r(bytes, "a picture");
    return r.U16(4) == kPictureHeaderBytes && r.U32(0) >= kPictureHeaderBytes;
}

}  // namespace

std::vector<ShapeFacts> ReadDrawingShapes(std::string_view drawings) {
    std::vector<ShapeFacts> shapes;
    try {
        const ByteReader r(drawings, "the drawings");
        // The drawing group's container, then each drawing: a byte saying whether it is the
        // body's or the headers', then its container.
        std::size_t at = 0;
        bool first = true;
        while (at + kHeaderBytes <= r.Size()) {
            if (!first) {
                ++at;
                if (at + kHeaderBytes > r.Size()) {
                    break;
                }
            }
            first = false;
            const std::size_t end =
                std::min<std::size_t>(r.Size(), at + kHeaderBytes + std::size_t{r.U32(at + 4)});
            Walk(r, at, end, 0, shapes, false);
            at = end;
        }
    } catch (const ConvertError&) {
        // Keep the shapes read.
    }
    return shapes;
}

std::size_t InlinePictureBytes(std::string_view head) {
    if (!IsPictureHeader(head)) {
        return 0;
    }
    const ByteReader r(head, "a picture");
    const std::size_t at = ShapeStart(r);
    if (!r.Has(at, kHeaderBytes) || r.U16(at + 2) != kShapeContainer) {
        return std::min<std::size_t>(at, r.U32(0));
    }
    return std::min<std::size_t>(at + kHeaderBytes + r.U32(at + 4), r.U32(0));
}

std::optional<ShapeFacts> ReadInlinePictureShape(std::string_view picture) {
    if (!IsPictureHeader(picture)) {
        return std::nullopt;
    }
    ShapeFacts facts;
    facts.picture = true;
    try {
        const ByteReader r(picture, "a picture");
        const std::size_t at = ShapeStart(r);
        std::vector<ShapeFacts> shapes;
        if (at + kHeaderBytes <= r.Size() && r.U16(at + 2) == kShapeContainer) {
            const std::size_t end =
                std::min<std::size_t>(r.Size(), at + kHeaderBytes + std::size_t{r.U32(at + 4)});
            Walk(r, at, end, 0, shapes, false);
        }
        if (!shapes.empty()) {
            facts = std::move(shapes.front());
            facts.picture = true;
        }
    } catch (const ConvertError&) {
        // A picture without its description.
    }
    return facts;
}

}  // namespace corvanel::convert::msword
