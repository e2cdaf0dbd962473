#include "convert/msword/PieceTable.h"

#include "convert/core/ConvertError.h"
#include "convert/msword/ByteReader.h"

#include <algorithm>
#include <array>
#include <string>

namespace corvanel::convert::msword {

namespace {

constexpr std::uint8_t kClxPrc = 0x01;
constexpr std::uint8_t kClxPcdt = 0x02;
constexpr std::uint32_t kCompressedFlag = 0x40000000;
constexpr std::size_t kPcdBytes = 8;

// 8-bit text in Word 97 and later is Windows-1252; these are its characters 0x80..0x9F.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::vector<Piece> ReadClx(std::string_view clxBytes, bool word6) {
    const ByteReader clx(clxBytes, "the piece table");
    std::size_t at = 0;
    while (at < clx.Size() && clx.U8(at) == kClxPrc) {
        const std::size_t size = clx.U16(at + 1);
        at += 3 + size;
    }
    if (at >= clx.Size() || clx.U8(at) != kClxPcdt) {
        ThrowDamaged("the piece table is missing");
    }
    const std::uint32_t lcb = clx.U32(at + 1);
    const ByteReader plc(clx.Slice(at + 5, lcb), "the piece table");
    if (lcb < 4 + 4 + kPcdBytes) {
        ThrowDamaged("the piece table is empty");
    }
    const std::size_t count = (lcb - 4) / (4 + kPcdBytes);
    std::vector<Piece> pieces;
    pieces.reserve(count);
    const std::size_t pcdAt = 4 * (count + 1);
    for (std::size_t i = 0; i < count; ++i) {
        Piece p;
        p.cpStart = plc.U32(4 * i);
        p.cpEnd = plc.U32(4 * i + 4);
        if (p.cpEnd < p.cpStart || (!pieces.empty() && p.cpStart != pieces.back().cpEnd)) {
            ThrowDamaged("the piece table's character positions are out of order");
        }
        const std::uint32_t fc = plc.U32(pcdAt + kPcdBytes * i + 2);
        if (word6) {
            p.fc = fc;
            p.eightBit = true;
        } else if ((fc & kCompressedFlag) != 0) {
            p.fc = (fc & ~kCompressedFlag) / 2;
            p.eightBit = true;
        } else {
            p.fc = fc;
        }
        pieces.push_back(p);
    }
    return pieces;
}

}  // namespace

DocumentText ReadDocumentText(const Fib& fib, const MainStream& wordDocument,
                              std::string_view table, std::uint32_t cpNeeded, int codePage) {
    DocumentText text;
    if (fib.IsWord6() && !fib.complex) {
        text.pieces.push_back(Piece{0, cpNeeded, fib.fcMin, true});
    } else {
        if (fib.clx.lcb == 0) {
            ThrowDamaged("the document has no piece table");
        }
        const ByteReader source(table, "the table stream");
        text.pieces = ReadClx(source.Slice(fib.clx.fc, fib.clx.lcb), fib.IsWord6() && !fib.extChar);
    }
    if (text.pieces.front().cpStart != 0) {
        ThrowDamaged("the piece table does not start at the first character");
    }
    const std::uint32_t total = text.pieces.back().cpEnd;
    if (total > wordDocument.Size()) {
        ThrowDamaged("the piece table describes more text than the file holds");
    }
    // Word 6 text stays as bytes: its code page can change with the font of each run.
    const bool raw = fib.IsWord6() && !fib.extChar;
    if (raw) {
        text.rawCodePage = codePage;
    }
    text.units.resize(total);
    // A piece is decoded a slice at a time, so a stream read from the file is never held whole.
    constexpr std::uint32_t kSliceChars = 32 * 1024;
    std::string buffer;
    for (const Piece& p : text.pieces) {
        const std::uint32_t length = p.cpEnd - p.cpStart;
        const std::uint32_t bpc = p.BytesPerChar();
        if (!wordDocument.Has(p.fc, static_cast<std::uint64_t>(length) * bpc)) {
            ThrowDamaged("the document text runs past its end");
        }
        for (std::uint32_t done = 0; done < length;) {
            const std::uint32_t count = std::min(kSliceChars, length - done);
            const std::string_view data =
                wordDocument.Slice(static_cast<std::uint64_t>(p.fc) + std::uint64_t{done} * bpc,
                                   std::size_t{count} * bpc, buffer, "the document text");
            char16_t* out = text.units.data() + p.cpStart + done;
            if (p.eightBit) {
                for (std::uint32_t i = 0; i < count; ++i) {
                    const auto b = static_cast<unsigned char>(data[i]);
                    out[i] = raw || b < 0x80 || b >= 0xA0 ? static_cast<char16_t>(b)
                                                          : kCp1252High[b - 0x80];
                }
            } else {
                for (std::uint32_t i = 0; i < count; ++i) {
                    out[i] =
                        static_cast<char16_t>(static_cast<unsigned char>(data[2 * i]) |
                                              (static_cast<unsigned char>(data[2 * i + 1]) << 8));
                }
            }
            done += count;
        }
    }
    return text;
}

}  // namespace corvanel::convert::msword
