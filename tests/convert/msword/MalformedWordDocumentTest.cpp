// Broken, encrypted and wrong-type compound files, each made by changing the good test document
// in one place: every one fails with the expected error, none crashes or hangs.
#include "convert/Converter.h"
#include "convert/plaintext/PlainTextWriter.h"

#include "TestCompoundFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace corvanel::convert {
namespace {

using testing::GetU16;
using testing::GetU32;
using testing::PutU16;
using testing::PutU32;
using Streams = std::vector<std::pair<std::string, std::string>>;

const std::string& Original() {
    static const std::string bytes =
        testing::ReadTestFile(std::string(CORVANEL_TEST_DATA_DIR) + "/msword/features.doc");
    return bytes;
}

std::string& StreamNamed(Streams& streams, const std::string& name) {
    for (auto& [n, content] : streams) {
        if (n == name) {
            return content;
        }
    }
    throw std::runtime_error("no stream " + name);
}

// Offset in the WordDocument stream of the FIB's offset/length pair number `index`.
std::size_t FibPair(const std::string& fib, std::size_t index) {
    std::size_t at = 0x20;
    at += 2 + 2 * GetU16(fib, at);
    at += 2 + 4 * GetU16(fib, at);
    return at + 2 + 8 * index;
}

constexpr std::size_t kClxPair = 33;
constexpr std::size_t kChpxBinTablePair = 12;

// The streams of the good document, WordDocument first, changed by `change`, packed again.
std::string Repacked(const std::function<void(Streams&)>& change) {
    Streams streams = testing::ReadCompoundStreams(Original());
    std::stable_partition(streams.begin(), streams.end(),
                          [](const auto& s) { return s.first == "WordDocument"; });
    change(streams);
    return testing::MakeCompoundFile(streams);
}

// Where in the table stream the piece table's list of positions starts.
std::size_t PiecePositions(Streams& streams) {
    const std::string& fib = StreamNamed(streams, "WordDocument");
    const std::size_t clx = GetU32(fib, FibPair(fib, kClxPair));
    const std::string& table = StreamNamed(streams, "1Table");
    std::size_t at = clx;
    while (table.at(at) == 0x01) {
        at += 3 + GetU16(table, at + 1);
    }
    return at + 5;  // after the type byte and the length
}

struct Mutation {
    const char* name;
    std::function<std::string()> make;
    ErrorCode expected;
    const char* detail;  // part of the description
};

std::vector<Mutation> Mutations() {
    return {
        {"truncated to its header", [] { return Original().substr(0, 512); }, ErrorCode::kDamaged,
         "truncated"},
        {"truncated in the middle", [] { return Original().substr(0, Original().size() / 2); },
         ErrorCode::kDamaged, "damaged"},
        {"repacked unchanged", [] { return Repacked([](Streams&) {}); }, ErrorCode::kNone, ""},
        {"piece offset past the end",
         [] {
             return Repacked([](Streams& s) {
                 const std::size_t cps = PiecePositions(s);
                 std::string& table = StreamNamed(s, "1Table");
                 const std::uint32_t lcb = GetU32(table, cps - 4);
                 const std::size_t count = (lcb - 4) / 12;
                 PutU32(table, cps + 4 * (count + 1) + 2, 0x3FFFFFF0);  // first piece's offset
             });
         },
         ErrorCode::kDamaged, "past its end"},
        {"piece positions out of order",
         [] {
             return Repacked([](Streams& s) {
                 const std::size_t cps = PiecePositions(s);
                 PutU32(StreamNamed(s, "1Table"), cps + 4, 0x7FFFFFFF);  // first piece's end
             });
         },
         ErrorCode::kDamaged, "damaged"},
        {"piece table longer than its stream",
         [] {
             return Repacked([](Streams& s) {
                 std::string& fib = StreamNamed(s, "WordDocument");
                 PutU32(fib, FibPair(fib, kClxPair) + 4, 0x7FFFFFF0);
             });
         },
         ErrorCode::kDamaged, "past its end"},
        {"formatting page past the end",
         [] {
             return Repacked([](Streams& s) {
                 std::string& fib = StreamNamed(s, "WordDocument");
                 const std::size_t plc = GetU32(fib, FibPair(fib, kChpxBinTablePair));
                 const std::uint32_t lcb = GetU32(fib, FibPair(fib, kChpxBinTablePair) + 4);
                 const std::size_t count = (lcb - 4) / 8;
                 PutU32(StreamNamed(s, "1Table"), plc + 4 * (count + 1), 0x3FFFFF);
             });
         },
         ErrorCode::kDamaged, "formatting page"},
        {"encrypted flag",
         [] {
             return Repacked([](Streams& s) {
                 std::string& fib = StreamNamed(s, "WordDocument");
                 PutU16(fib, 0x0A, GetU16(fib, 0x0A) | 0x0100);
             });
         },
         ErrorCode::kPasswordProtected, "password-protected"},
        {"obfuscated",
         [] {
             return Repacked([](Streams& s) {
                 std::string& fib = StreamNamed(s, "WordDocument");
                 PutU16(fib, 0x0A, GetU16(fib, 0x0A) | 0x8100);
             });
         },
         ErrorCode::kPasswordProtected, "password-protected"},
        {"encrypted package",
         [] {
             return testing::MakeCompoundFile(
                 {{"EncryptionInfo", std::string(64, '\x04')}, {"EncryptedPackage", "x"}});
         },
         ErrorCode::kPasswordProtected, "password-protected"},
        {"an Excel workbook",
         [] {
             return testing::MakeCompoundFile({{"Workbook", std::string(100, '\x09')}});
         },
         ErrorCode::kNotReadable, "Excel"},
        {"no Word document at all",
         [] {
             return Repacked([](Streams& s) {
                 StreamNamed(s, "WordDocument").swap(s[0].second);
                 s[0].first = "Contents";
             });
         },
         ErrorCode::kNotReadable, "holds no Word document"},
        {"table stream missing",
         [] {
             return Repacked([](Streams& s) {
                 std::string& fib = StreamNamed(s, "WordDocument");
                 PutU16(fib, 0x0A, GetU16(fib, 0x0A) & ~0x0200);  // points at 0Table
             });
         },
         ErrorCode::kDamaged, "table stream"},
        {"Word 2 and older",
         [] {
             return Repacked([](Streams& s) {
                 std::string& fib = StreamNamed(s, "WordDocument");
                 PutU16(fib, 0, 0xA5DB);
                 PutU16(fib, 2, 45);
             });
         },
         ErrorCode::kNotReadable, "old Word format"},
        {"no file information block",
         [] { return Repacked([](Streams& s) { PutU32(StreamNamed(s, "WordDocument"), 0, 0); }); },
         ErrorCode::kDamaged, "file information block"},
        {"file information block cut short",
         [] { return Repacked([](Streams& s) { StreamNamed(s, "WordDocument").resize(0x40); }); },
         ErrorCode::kDamaged, "damaged"},
    };
}

class MalformedWordDocument : public ::testing::TestWithParam<std::size_t> {};

TEST_P(MalformedWordDocument, FailsWithTheExpectedError) {
    const Mutation m = Mutations().at(GetParam());
    PlainTextWriter writer("\n");
    const ConversionResult result = ReadDocumentBytes("broken.doc", m.make(), writer);
    EXPECT_EQ(result.code, m.expected) << m.name << ": " << result.description;
    EXPECT_NE(result.description.find(m.detail), std::string::npos)
        << m.name << ": " << result.description;
}

INSTANTIATE_TEST_SUITE_P(Cases, MalformedWordDocument,
                         ::testing::Range<std::size_t>(0, Mutations().size()),
                         [](const ::testing::TestParamInfo<std::size_t>& param) {
                             std::string name = Mutations().at(param.param).name;
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) {
                                     c = '_';
                                 }
                             }
                             return name;
                         });

// Tables of headers and comments that point past their stream are read as missing: asking for
// them never fails a document that converts without them.
TEST(MalformedWordDocumentMargins, DamagedTablesAreLeftOut) {
    constexpr std::size_t kCommentReferencesPair = 4;
    constexpr std::size_t kHeaderStoriesPair = 11;
    const std::string bytes = Repacked([](Streams& streams) {
        std::string& fib = StreamNamed(streams, "WordDocument");
        for (const std::size_t pair : {kCommentReferencesPair, kHeaderStoriesPair}) {
            PutU32(fib, FibPair(fib, pair), 0x7FFFFFF0);
            PutU32(fib, FibPair(fib, pair) + 4, 64);
        }
    });
    PlainTextWriter plain("\n");
    ASSERT_TRUE(ReadDocumentBytes("damaged.doc", bytes, plain).Ok());
    PlainTextWriter with("\n");
    with.WantMarginTexts({true, true, true});
    const ConversionResult result = ReadDocumentBytes("damaged.doc", bytes, with);
    ASSERT_TRUE(result.Ok()) << result.description;
    EXPECT_EQ(with.Text(), plain.Text());
}

// Random damage anywhere: the reader converts or fails cleanly, never anything else.
TEST(MalformedWordDocumentRandom, ByteChangesAndTruncationsFailCleanly) {
    std::mt19937 random(20240611);
    const std::string& good = Original();
    int converted = 0;
    for (int round = 0; round < 400; ++round) {
        std::string bytes = good;
        const int changes = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < changes; ++i) {
            bytes[random() % bytes.size()] = static_cast<char>(random());
        }
        if (round % 5 == 0) {
            bytes.resize(random() % bytes.size());
        }
        PlainTextWriter writer("\n");
        const ConversionResult result = ReadDocumentBytes("random.doc", bytes, writer);
        converted += result.Ok() ? 1 : 0;
        EXPECT_TRUE(result.code == ErrorCode::kNone || result.code == ErrorCode::kDamaged ||
                    result.code == ErrorCode::kNotReadable ||
                    result.code == ErrorCode::kPasswordProtected ||
                    result.code == ErrorCode::kTooLarge)
            << result.description;
    }
    EXPECT_GT(converted, 0);  // most single-byte changes leave a readable document
}

}  // namespace
}  // namespace corvanel::convert
