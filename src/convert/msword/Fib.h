#pragma once

#include <cstdint>
#include <string_view>

namespace corvanel::convert::msword {

// Where a table of the document lives: an offset and a length in the table stream (Word 97 and
// later) or in the main stream (Word 6 and 95).
struct FcLcb {
    std::uint32_t fc = 0;
    std::uint32_t lcb = 0;
};

// The file information block at the start of the WordDocument stream: the version, the flags,
// the length of each story and where the tables needed for the text are.
struct Fib {
    enum class Version { kWord6, kWord97 };

    Version version = Version::kWord97;
    std::uint16_t nFib = 0;
    std::uint16_t lid = 0;
    bool complex = false;
    bool encrypted = false;
    bool obfuscated = false;
    bool extChar = false;         // Word 95 editions that store text as UTF-16, like Word 97
    bool tableStreamOne = false;  // the tables are in "1Table", else "0Table"
    std::uint32_t fcMin = 0;      // Word 6: where the text of a non-complex file starts

    // Story lengths in characters, in the order the stories follow each other.
    std::uint32_t ccpText = 0, ccpFtn = 0, ccpHdd = 0, ccpMcr = 0, ccpAtn = 0, ccpEdn = 0,
                  ccpTxbx = 0, ccpHdrTxbx = 0;

    FcLcb plcffndRef, plcffndTxt, plcfSed, plcfBteChpx, plcfBtePapx, sttbfFfn, clx, stshf;
    FcLcb plcSpaMom, plcfendRef, plcfendTxt, plcftxbxTxt, plfLst, plfLfo;
    FcLcb plcfHdd, plcfandRef, plcfandTxt, grpXstAtnOwners;
    FcLcb dggInfo;  // the drawings' records (Word 97 and later)

    bool IsWord6() const { return version == Version::kWord6; }
};

// Reads the FIB. Throws ConvertError: not readable for Word 2 and older and for what is not a
// Word document at all, damaged when the block is cut short.
Fib ReadFib(std::string_view wordDocument);

// The format the start of a WordDocument stream (its first four bytes are enough) is read as,
// before anything else of it is: "word6" (Word 6 and 95), "doc" (Word 97 and later, encrypted
// ones too), or empty when ReadFib refuses it.
std::string_view FibFormatName(std::string_view start);

}  // namespace corvanel::convert::msword
