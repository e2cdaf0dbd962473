// The document's text decoded a block at a time as it is asked for, against the same text
// decoded whole and against the characters the pieces were made from.
#include "convert/msword/MainStream.h"
#include "convert/msword/PieceTable.h"

#include <gtest/gtest.h>

#include <random>

namespace corvanel::convert::msword {
namespace {

// A main stream holding `units` characters in pieces of varied lengths (some empty, some far
// longer than a block), alternately as UTF-16 and as 8-bit Windows-1252 bytes, stored out of
// order. `expected` receives the characters the reader must give back.
std::vector<Piece> MakePieces(std::uint32_t units, std::string& stream,
                              std::vector<char16_t>& expected) {
    std::mt19937 random(7);
    std::vector<Piece> pieces;
    stream.assign(64, '\0');
    expected.clear();
    const std::vector<std::uint32_t> lengths = {1, 0, 8191, 2, 20000, 0, 300, 8192, 5000, 9000};
    std::vector<std::pair<std::string, Piece>> stored;
    std::uint32_t cp = 0;
    for (std::size_t i = 0; cp < units; ++i) {
        const std::uint32_t length = std::min(lengths[i % lengths.size()], units - cp);
        Piece piece{cp, cp + length, 0, i % 2 == 1};
        std::string bytes;
        for (std::uint32_t k = 0; k < length; ++k) {
            if (piece.eightBit) {
                // Include the Windows-1252 range that differs from Latin-1: 0x80 is the euro.
                const std::uint32_t kind = random() % 4;
                const auto b = static_cast<unsigned char>(kind == 0   ? 0x41 + random() % 0x3E
                                                          : kind == 1 ? 0xA0 + random() % 0x60
                                                          : kind == 2 ? 0x80
                                                                      : 0x99);
                bytes += static_cast<char>(b);
                expected.push_back(b == 0x80 ? u'\u20AC' : b == 0x99 ? u'\u2122' : b);
            } else {
                const auto unit = static_cast<char16_t>(0x20 + random() % 0xFFD0);
                bytes += static_cast<char>(unit & 0xFF);
                bytes += static_cast<char>(unit >> 8);
                expected.push_back(unit);
            }
        }
        stored.emplace_back(std::move(bytes), piece);
        cp += length;
    }
    // The last piece first in the stream, and so on: the stream's order is not the text's.
    for (auto it = stored.rbegin(); it != stored.rend(); ++it) {
        it->second.fc = static_cast<std::uint32_t>(stream.size());
        stream += it->first;
    }
    for (const auto& [bytes, piece] : stored) {
        pieces.push_back(piece);
    }
    return pieces;
}

TEST(DocumentText, UnitsAskedInAnyOrderEqualTheTextDecodedWhole) {
    std::string bytes;
    std::vector<char16_t> expected;
    const std::vector<Piece> pieces = MakePieces(60000, bytes, expected);
    const MainStream stream{std::string_view(bytes)};
    const DocumentText whole(pieces, stream, 0, true);
    const DocumentText onDemand(pieces, stream, 0, false);
    ASSERT_EQ(whole.Size(), expected.size());
    ASSERT_EQ(onDemand.Size(), expected.size());
    for (std::uint32_t cp = 0; cp < expected.size(); ++cp) {
        ASSERT_EQ(whole.At(cp), expected[cp]) << cp;
    }
    // Forwards, backwards, and hopping between more places than there are blocks kept, as
    // the body, its notes and its text boxes are read.
    std::vector<std::uint32_t> order;
    for (std::uint32_t cp = 0; cp < expected.size(); ++cp) {
        order.push_back(cp);
    }
    for (std::uint32_t cp = static_cast<std::uint32_t>(expected.size()); cp-- > 0;) {
        order.push_back(cp);
    }
    std::mt19937 random(11);
    for (int i = 0; i < 200000; ++i) {
        const std::uint32_t place = random() % 7;  // 7 blocks of 8192 fit in the text
        order.push_back(place * 8192 + random() % 8192);
    }
    for (const std::uint32_t cp : order) {
        ASSERT_EQ(onDemand.At(cp), expected[cp]) << cp;
    }
}

TEST(DocumentText, Word6BytesStayAsStored) {
    const std::string bytes = "\x80\x99\xE9 text";
    const MainStream stream{std::string_view(bytes)};
    const std::vector<Piece> pieces = {{0, static_cast<std::uint32_t>(bytes.size()), 0, true}};
    for (const bool whole : {true, false}) {
        const DocumentText text(pieces, stream, 1251, whole);
        EXPECT_EQ(text.RawCodePage(), 1251);
        for (std::uint32_t cp = 0; cp < bytes.size(); ++cp) {
            EXPECT_EQ(text.At(cp), static_cast<unsigned char>(bytes[cp])) << cp;
        }
    }
}

}  // namespace
}  // namespace corvanel::convert::msword
