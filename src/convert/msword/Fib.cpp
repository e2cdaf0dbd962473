#include "convert/msword/Fib.h"

#include "convert/core/ConvertError.h"
#include "convert/msword/ByteReader.h"

namespace corvanel::convert::msword {

namespace {

constexpr std::uint16_t kWord97Ident = 0xA5EC;
constexpr std::uint16_t kWord6Ident = 0xA5DC;
constexpr std::uint16_t kFirstWord6Fib = 101;
constexpr std::uint16_t kLastWord6Fib = 105;
constexpr std::uint16_t kFirstWord97Fib = 0x00C1;
constexpr std::uint16_t kLastKnownFib = 0x0200;

// Index of each table's offset/length pair in the FIB's array of pairs (the same order in
// Word 6 and Word 97).
enum PairIndex : std::size_t {
    kStshf = 1,
    kPlcffndRef = 2,
    kPlcffndTxt = 3,
    kPlcfandRef = 4,
    kPlcfandTxt = 5,
    kPlcfSed = 6,
    kPlcfHdd = 11,
    kPlcfBteChpx = 12,
    kPlcfBtePapx = 13,
    kSttbfFfn = 15,
    kClx = 33,
    kGrpXstAtnOwners = 36,
    kPlcSpaMom = 40,
    kPlcfendRef = 46,
    kPlcfendTxt = 47,
    kDggInfo = 50,
    kPlcftxbxTxt = 56,
    kPlfLst = 73,
    kPlfLfo = 74,
};

class PairReader {
public:
    PairReader(const ByteReader& reader, std::size_t base, std::size_t count, bool word6)
        : reader_(reader), base_(base), count_(count), word6_(word6) {}

    FcLcb operator()(std::size_t index) const {
        if (index >= count_) {
            return {};
        }
        std::size_t at = base_ + 8 * index;
        if (word6_ && index >= kWord6ShortsBefore) {
            at += kWord6ShortsBytes;  // five 16-bit fields sit between these pairs in Word 6
        }
        return {reader_.U32(at), reader_.U32(at + 4)};
    }

private:
    static constexpr std::size_t kWord6ShortsBefore = 38;
    static constexpr std::size_t kWord6ShortsBytes = 10;

    const ByteReader& reader_;
    std::size_t base_;
    std::size_t count_;
    bool word6_;
};

void ReadPairs(Fib& fib, const PairReader& pair) {
    fib.stshf = pair(kStshf);
    fib.plcffndRef = pair(kPlcffndRef);
    fib.plcffndTxt = pair(kPlcffndTxt);
    fib.plcfSed = pair(kPlcfSed);
    fib.plcfBteChpx = pair(kPlcfBteChpx);
    fib.plcfBtePapx = pair(kPlcfBtePapx);
    fib.sttbfFfn = pair(kSttbfFfn);
    fib.clx = pair(kClx);
    fib.plcSpaMom = pair(kPlcSpaMom);
    fib.plcfendRef = pair(kPlcfendRef);
    fib.plcfendTxt = pair(kPlcfendTxt);
    fib.plcftxbxTxt = pair(kPlcftxbxTxt);
    fib.plfLst = pair(kPlfLst);
    fib.plfLfo = pair(kPlfLfo);
    fib.plcfHdd = pair(kPlcfHdd);
    fib.plcfandRef = pair(kPlcfandRef);
    fib.plcfandTxt = pair(kPlcfandTxt);
    fib.grpXstAtnOwners = pair(kGrpXstAtnOwners);
    fib.dggInfo = pair(kDggInfo);
}

void ReadWord6(Fib& fib, const ByteReader& r) {
    fib.version = Fib::Version::kWord6;
    fib.fcMin = r.U32(0x18);
    fib.ccpText = r.U32(0x34);
    fib.ccpFtn = r.U32(0x38);
    fib.ccpHdd = r.U32(0x3C);
    fib.ccpMcr = r.U32(0x40);
    fib.ccpAtn = r.U32(0x44);
    fib.ccpEdn = r.U32(0x48);
    fib.ccpTxbx = r.U32(0x4C);
    fib.ccpHdrTxbx = r.U32(0x50);
    // Word 6 has no list tables: its pairs end before them.
    ReadPairs(fib, PairReader(r, 0x58, kPlcftxbxTxt + 1, true));
    fib.plcSpaMom = {};  // Word 6 anchors drawings differently
    fib.dggInfo = {};
}

void ReadWord97(Fib& fib, const ByteReader& r) {
    std::size_t at = 0x20;
    const std::uint16_t csw = r.U16(at);
    at += 2 + 2 * static_cast<std::size_t>(csw);
    const std::uint16_t cslw = r.U16(at);
    const std::size_t lw = at + 2;
    auto longWord = [&](std::size_t index) -> std::uint32_t {
        return index < cslw ? r.U32(lw + 4 * index) : 0;
    };
    fib.ccpText = longWord(3);
    fib.ccpFtn = longWord(4);
    fib.ccpHdd = longWord(5);
    fib.ccpMcr = longWord(6);
    fib.ccpAtn = longWord(7);
    fib.ccpEdn = longWord(8);
    fib.ccpTxbx = longWord(9);
    fib.ccpHdrTxbx = longWord(10);
    at = lw + 4 * static_cast<std::size_t>(cslw);
    const std::uint16_t pairs = r.U16(at);
    if (!r.Has(at + 2, 8 * static_cast<std::size_t>(pairs))) {
        r.Fail();
    }
    ReadPairs(fib, PairReader(r, at + 2, pairs, false));
}

}  // namespace

std::string_view FibFormatName(std::string_view start) {
    if (start.size() < 4) {
        return {};
    }
    const ByteReader r(start, "the file information block");
    const std::uint16_t ident = r.U16(0);
    const std::uint16_t nFib = r.U16(2);
    const bool knownIdent = ident == kWord97Ident || ident == kWord6Ident;
    const bool oldIdent = ident == 0xA59B || ident == 0xA5DB || ident == 0xA59C;
    if (oldIdent || nFib < kFirstWord6Fib || (!knownIdent && nFib > kLastKnownFib) ||
        (!knownIdent && nFib > kLastWord6Fib && nFib < kFirstWord97Fib)) {
        return {};
    }
    return nFib <= kLastWord6Fib ? "word6" : "doc";
}

Fib ReadFib(std::string_view wordDocument) {
    const ByteReader r(wordDocument, "the file information block");
    if (r.Size() < 0x20) {
        ThrowDamaged("the file information block is cut short");
    }
    const std::uint16_t ident = r.U16(0);
    Fib fib;
    fib.nFib = r.U16(2);
    // Word 95's localised editions wrote other magic numbers: the version decides.
    const bool knownIdent = ident == kWord97Ident || ident == kWord6Ident;
    const bool word6 = fib.nFib >= kFirstWord6Fib && fib.nFib <= kLastWord6Fib;
    const bool word97 = fib.nFib >= kFirstWord97Fib && fib.nFib <= kLastKnownFib;
    // Word for Windows 1 and 2 (and Word for DOS) used these; their files hold no FIB we read.
    const bool oldIdent = ident == 0xA59B || ident == 0xA5DB || ident == 0xA59C;
    if (oldIdent) {
        ThrowNotReadable("it is in an old Word format Corvanel does not read");
    }
    if (!knownIdent && !word6 && !word97) {
        ThrowDamaged("its main stream does not start with a Word file information block");
    }
    if (fib.nFib < kFirstWord6Fib) {
        ThrowNotReadable("it is in an old Word format Corvanel does not read");
    }
    fib.lid = r.U16(6);
    const std::uint16_t flags = r.U16(0x0A);
    fib.complex = (flags & 0x0004) != 0;
    fib.encrypted = (flags & 0x0100) != 0;
    fib.tableStreamOne = (flags & 0x0200) != 0;
    fib.obfuscated = (flags & 0x8000) != 0;
    fib.extChar = (flags & 0x1000) != 0;
    // Beyond its first block, the FIB of an encrypted document is encrypted too.
    if (fib.encrypted) {
        ThrowPasswordProtected();
    }
    if (fib.nFib <= kLastWord6Fib) {
        ReadWord6(fib, r);
    } else {
        ReadWord97(fib, r);
    }
    return fib;
}

}  // namespace corvanel::convert::msword
