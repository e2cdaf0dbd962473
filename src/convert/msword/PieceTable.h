#pragma once

#include "convert/msword/Fib.h"
#include "convert/msword/MainStream.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvanel::convert::msword {

// One run of the document's text as stored: characters [cpStart, cpEnd) start at byte `fc` of
// the main stream, one byte each (8-bit) or two (UTF-16).
struct Piece {
    std::uint32_t cpStart = 0;
    std::uint32_t cpEnd = 0;
    std::uint32_t fc = 0;
    bool eightBit = false;

    std::uint32_t BytesPerChar() const { return eightBit ? 1 : 2; }
    std::uint32_t FcEnd() const { return fc + (cpEnd - cpStart) * BytesPerChar(); }
};

// The whole text of every story in character-position order, one unit per character, decoded
// from the main stream a block at a time as it is asked for, so a large document's text is
// never held whole. Units are Unicode (UTF-16 code units), except for Word 6 and 95 documents,
// where they are the bytes as stored and RawCodePage() is the document's code page (runs may
// set another). ReadDocumentText checks every piece to lie within the main stream (which must
// outlive this), so reading it can only fail when its file changes meanwhile.
class DocumentText {
public:
    // With `whole`, every unit is decoded at once (a small document in memory: the quickest).
    DocumentText(std::vector<Piece> pieces, const MainStream& stream, int rawCodePage, bool whole);

    // The pieces tile [0, Size()) in order.
    const std::vector<Piece>& Pieces() const { return pieces_; }
    int RawCodePage() const { return rawCodePage_; }
    std::uint32_t Size() const { return size_; }

    // The unit at `cp` (below Size()).
    char16_t At(std::uint32_t cp) const {
        const std::uint32_t within = cp - blockStart_;
        if (within < blockLength_) {
            return block_[within];
        }
        return Load(cp);
    }

private:
    static constexpr std::uint32_t kBlockUnits = 8192;
    static constexpr std::size_t kBlocks = 4;  // the body, a note or box in it, and spares
    struct Block {
        std::uint32_t start = 0;
        std::uint32_t length = 0;
        std::uint64_t lastUse = 0;
        std::vector<char16_t> units;
    };

    char16_t Load(std::uint32_t cp) const;
    void Decode(Block& block) const;

    std::vector<Piece> pieces_;
    const MainStream* stream_;
    int rawCodePage_;
    std::uint32_t size_ = 0;
    mutable Block blocks_[kBlocks];
    mutable std::uint64_t uses_ = 0;
    mutable std::string bytes_;
    // The block the last unit came from.
    mutable const char16_t* block_ = nullptr;
    mutable std::uint32_t blockStart_ = 0;
    mutable std::uint32_t blockLength_ = 0;
};

// Reads the piece table (or, for a non-complex Word 6 file, the one run of text at fcMin).
// `codePage` is the default of 8-bit Word 6 text; 8-bit Word 97 text is always Windows-1252.
// `table` is the table stream, or for Word 6 and 95 the main stream held whole.
// `decodeWhole` decodes the whole text at once instead of as it is asked for.
DocumentText ReadDocumentText(const Fib& fib, const MainStream& wordDocument,
                              std::string_view table, std::uint32_t cpNeeded, int codePage,
                              bool decodeWhole);

}  // namespace corvanel::convert::msword
