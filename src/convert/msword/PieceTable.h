#pragma once

#include "convert/msword/Fib.h"
#include "convert/msword/MainStream.h"

#include <cstdint>
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

// The whole text of every story in character-position order, one unit per character.
// Units are Unicode (UTF-16 code units), except for Word 6 and 95 documents, where they are the
// bytes as stored and `rawCodePage` is the document's code page (runs may set another).
struct DocumentText {
    std::vector<Piece> pieces;
    std::vector<char16_t> units;
    int rawCodePage = 0;

    std::uint32_t Size() const { return static_cast<std::uint32_t>(units.size()); }
};

// Reads the piece table (or, for a non-complex Word 6 file, the one run of text at fcMin).
// `codePage` is the default of 8-bit Word 6 text; 8-bit Word 97 text is always Windows-1252.
// `table` is the table stream, or for Word 6 and 95 the main stream held whole.
DocumentText ReadDocumentText(const Fib& fib, const MainStream& wordDocument,
                              std::string_view table, std::uint32_t cpNeeded, int codePage);

}  // namespace corvanel::convert::msword
