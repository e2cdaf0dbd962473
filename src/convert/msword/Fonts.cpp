#include "convert/msword/Fonts.h"

#include "convert/core/ConvertError.h"
#include "convert/core/TextEncoding.h"
#include "convert/msword/ByteReader.h"

namespace corvanel::convert::msword {

namespace {

constexpr std::size_t kWord97NameAt = 39;  // after the flags, weight, charset, panose, signature
constexpr std::size_t kWord6NameAt = 6;
constexpr std::size_t kCharsetAt = 3;

}  // namespace

Fonts::Fonts(const Fib& fib, std::string_view tableOrMain) {
    // Without a font table only symbol characters lose their mapping.
    try {
        const ByteReader source(tableOrMain, "the font table");
        const ByteReader r(source.Slice(fib.sttbfFfn.fc, fib.sttbfFfn.lcb), "the font table");
        if (r.Size() < 4) {
            return;
        }
        if (fib.IsWord6()) {
            // The total length, then each font as a length byte and its record.
            std::size_t at = 2;
            while (at < r.Size()) {
                const std::size_t size = r.U8(at);
                if (size == 0) {
                    break;
                }
                const ByteReader ffn(r.Slice(at + 1, std::min(size, r.Size() - at - 1)), "a font");
                std::string name;
                for (std::size_t i = kWord6NameAt - 1; i < ffn.Size() && ffn.U8(i) != 0; ++i) {
                    name.push_back(static_cast<char>(ffn.U8(i)));
                }
                names_.push_back(DecodeCodePage(name, 1252));
                charsets_.push_back(ffn.Size() > kCharsetAt ? ffn.U8(kCharsetAt) : 0);
                at += 1 + size;
            }
            return;
        }
        const std::uint16_t count = r.U16(0);
        std::size_t at = 4;
        for (std::uint16_t i = 0; i < count && at < r.Size(); ++i) {
            const std::size_t size = r.U8(at);
            const ByteReader ffn(r.Slice(at + 1, size), "a font");
            std::string utf16;
            for (std::size_t k = kWord97NameAt; k + 1 < ffn.Size() && ffn.U16(k) != 0; k += 2) {
                utf16.append(ffn.Slice(k, 2));
            }
            names_.push_back(DecodeUtf16Le(utf16));
            charsets_.push_back(ffn.Size() > kCharsetAt ? ffn.U8(kCharsetAt) : 0);
            at += 1 + size;
        }
    } catch (const ConvertError&) {
        // Keep the fonts read so far.
    }
}

int Fonts::CodePage(std::uint16_t ftc, int fallback) const {
    if (ftc >= charsets_.size()) {
        return fallback;
    }
    switch (charsets_[ftc]) {
        case 77:
            return 10000;  // Macintosh
        case 128:
            return 932;
        case 129:
            return 949;
        case 134:
            return 936;
        case 136:
            return 950;
        case 161:
            return 1253;
        case 162:
            return 1254;
        case 163:
            return 1258;
        case 177:
            return 1255;
        case 178:
            return 1256;
        case 186:
            return 1257;
        case 204:
            return 1251;
        case 222:
            return 874;
        case 238:
            return 1250;
        case 255:
            return 437;
        default:
            return fallback;  // ANSI, default, symbol and unknown sets
    }
}

std::string_view Fonts::Name(std::uint16_t ftc) const {
    return ftc < names_.size() ? std::string_view(names_[ftc]) : std::string_view();
}

}  // namespace corvanel::convert::msword
