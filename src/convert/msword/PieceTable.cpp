#include "convert/msword/PieceTable.h"

#include "convert/core/ConvertError.h"
#include "convert/msword/ByteReader.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <string>
#include <utility>

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

DocumentText::DocumentText(std::vector<Piece> pieces, const MainStream& stream, int rawCodePage,
                           bool whole)
    : pieces_(std::move(pieces)),
      stream_(&stream),
      rawCodePage_(rawCodePage),
      size_(pieces_.empty() ? 0 : pieces_.back().cpEnd) {
    if (whole && size_ > 0) {
        Block& block = blocks_[0];
        block.length = size_;
        Decode(block);
        block_ = block.units.data();
        blockLength_ = size_;
    }
}

char16_t DocumentText::Load(std::uint32_t cp) const {
    const std::uint32_t start = cp - cp % kBlockUnits;
    Block* chosen = nullptr;
    for (Block& block : blocks_) {
        if (block.length != 0 && block.start == start) {
            chosen = &block;
            break;
        }
    }
    if (chosen == nullptr) {
        chosen = &*std::min_element(
            std::begin(blocks_), std::end(blocks_),
            [](const Block& a, const Block& b) { return a.lastUse < b.lastUse; });
        chosen->start = start;
        chosen->length = std::min(kBlockUnits, size_ - start);
        Decode(*chosen);
    }
    chosen->lastUse = ++uses_;
    block_ = chosen->units.data();
    blockStart_ = chosen->start;
    blockLength_ = chosen->length;
    return block_[cp - blockStart_];
}

void DocumentText::Decode(Block& block) const {
    block.units.resize(block.length);
    const std::uint32_t end = block.start + block.length;
    auto piece = std::partition_point(pieces_.begin(), pieces_.end(),
                                      [&](const Piece& p) { return p.cpEnd <= block.start; });
    for (; piece != pieces_.end() && piece->cpStart < end; ++piece) {
        const std::uint32_t from = std::max(piece->cpStart, block.start);
        const std::uint32_t to = std::min(piece->cpEnd, end);
        if (from >= to) {
            continue;
        }
        const std::uint32_t count = to - from;
        const std::uint32_t bpc = piece->BytesPerChar();
        const std::string_view data = stream_->Slice(
            static_cast<std::uint64_t>(piece->fc) + std::uint64_t{from - piece->cpStart} * bpc,
            std::size_t{count} * bpc, bytes_, "the document text");
        char16_t* out = block.units.data() + (from - block.start);
        if (piece->eightBit) {
            const bool raw = rawCodePage_ != 0;
            for (std::uint32_t i = 0; i < count; ++i) {
                const auto b = static_cast<unsigned char>(data[i]);
                out[i] =
                    raw || b < 0x80 || b >= 0xA0 ? static_cast<char16_t>(b) : kCp1252High[b - 0x80];
            }
        } else {
            for (std::uint32_t i = 0; i < count; ++i) {
                out[i] = static_cast<char16_t>(static_cast<unsigned char>(data[2 * i]) |
                                               (static_cast<unsigned char>(data[2 * i + 1]) << 8));
            }
        }
    }
}

DocumentText ReadDocumentText(const Fib& fib, const MainStream& wordDocument,
                              std::string_view table, std::uint32_t cpNeeded, int codePage,
                              bool decodeWhole) {
    std::vector<Piece> pieces;
    if (fib.IsWord6() && !fib.complex) {
        pieces.push_back(Piece{0, cpNeeded, fib.fcMin, true});
    } else {
        if (fib.clx.lcb == 0) {
            ThrowDamaged("the document has no piece table");
        }
        const ByteReader source(table, "the table stream");
        pieces = ReadClx(source.Slice(fib.clx.fc, fib.clx.lcb), fib.IsWord6() && !fib.extChar);
    }
    if (pieces.front().cpStart != 0) {
        ThrowDamaged("the piece table does not start at the first character");
    }
    const std::uint32_t total = pieces.back().cpEnd;
    if (total > wordDocument.Size()) {
        ThrowDamaged("the piece table describes more text than the file holds");
    }
    for (const Piece& p : pieces) {
        if (!wordDocument.Has(p.fc, std::uint64_t{p.cpEnd - p.cpStart} * p.BytesPerChar())) {
            ThrowDamaged("the document text runs past its end");
        }
    }
    // Word 6 text stays as bytes: its code page can change with the font of each run.
    const bool raw = fib.IsWord6() && !fib.extChar;
    return DocumentText(std::move(pieces), wordDocument, raw ? codePage : 0, decodeWhole);
}

}  // namespace corvanel::convert::msword
