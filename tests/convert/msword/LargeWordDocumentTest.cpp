// Binary Word documents too large to be read whole when opened: their streams are read from the
// file a range at a time, and must give the text the same document gives from memory.
#include "convert/Converter.h"
#include "convert/plaintext/PlainTextWriter.h"

#include "TestCompoundFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace corvanel::convert {
namespace {

namespace fs = std::filesystem;
using testing::GetU32;
using testing::PutU16;
using testing::PutU32;

// Larger than what a source file reads whole when it is opened.
constexpr std::size_t kLargeFileBytes = (4u << 20) + 4096;

class LargeWordDocument : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("corvanel-large-doc-" +
                std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Writes the compound file padded with zero bytes past the reading-whole size: the
    // container ignores what follows its sectors.
    std::string WriteLarge(const std::string& name, std::string bytes) {
        bytes.resize(std::max(bytes.size(), kLargeFileBytes), '\0');
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
        return path;
    }

    static ConversionResult FromFile(const std::string& path, std::string& text) {
        return ExtractText(path, text, ConvertOptions{"\n"});
    }

    static ConversionResult FromMemory(const std::string& bytes, std::string& text) {
        PlainTextWriter writer("\n");
        const ConversionResult result = ReadDocumentBytes("memory.doc", bytes, writer);
        text = writer.Text();
        return result;
    }

private:
    fs::path dir_;
};

const std::string& Features() {
    static const std::string bytes =
        testing::ReadTestFile(std::string(CORVANEL_TEST_DATA_DIR) + "/msword/features.doc");
    return bytes;
}

// A Word 97 document of one paragraph made of `runs` runs, "r00000 ", "r00001 "..., each in a
// font of its own (more distinct properties than the reader remembers at once) and every third
// hidden. The first 40000 characters are stored as UTF-16, the rest as 8-bit text.
std::string ManyRunsDocument(std::size_t runs, std::string& visible) {
    constexpr std::uint32_t kTextAt = 0x400;
    constexpr std::uint32_t kWidePart = 40000;
    std::string text;
    std::vector<std::uint32_t> runEnds;  // in characters
    visible.clear();
    for (std::size_t i = 0; i < runs; ++i) {
        char label[32];
        std::snprintf(label, sizeof label, "r%05zu ", i);
        text += label;
        runEnds.push_back(static_cast<std::uint32_t>(text.size()));
        if (i % 3 != 1) {
            visible += label;
        }
    }
    text += '\r';
    runEnds.push_back(static_cast<std::uint32_t>(text.size()));
    visible += "\n";
    const auto total = static_cast<std::uint32_t>(text.size());
    const std::uint32_t narrowAt = kTextAt + 2 * kWidePart;
    auto fcOf = [&](std::uint32_t cp) {
        return cp < kWidePart ? kTextAt + 2 * cp : narrowAt + (cp - kWidePart);
    };

    std::string stream(kTextAt, '\0');
    PutU16(stream, 0x00, 0xA5EC);
    PutU16(stream, 0x02, 0x00C1);
    PutU16(stream, 0x06, 0x0409);
    PutU16(stream, 0x0A, 0x0200);  // the tables are in "1Table"
    PutU16(stream, 0x20, 14);      // 16-bit values
    PutU16(stream, 0x3E, 22);      // 32-bit values
    PutU32(stream, 0x40 + 4 * 3, total);
    PutU16(stream, 0x98, 93);  // offset/length pairs
    auto pair = [&](std::size_t index, std::uint32_t fc, std::uint32_t lcb) {
        PutU32(stream, 0x9A + 8 * index, fc);
        PutU32(stream, 0x9A + 8 * index + 4, lcb);
    };
    for (std::uint32_t cp = 0; cp < total; ++cp) {
        if (cp < kWidePart) {
            stream += text[cp];
            stream += '\0';
        } else {
            stream += text[cp];
        }
    }

    // Character formatting pages: a run is split where the storage changes.
    struct FcRun {
        std::uint32_t start, end;
        std::string grpprl;
    };
    std::vector<FcRun> fcRuns;
    std::uint32_t cp = 0;
    for (std::size_t i = 0; i < runEnds.size(); ++i) {
        std::string grpprl;
        if (i < runs) {
            grpprl = std::string("\x4F\x4A\0\0\x3C\x08\0", 7);
            PutU16(grpprl, 2, static_cast<std::uint16_t>(i + 1));
            grpprl[6] = i % 3 == 1 ? 1 : 0;
        }
        const std::uint32_t end = runEnds[i];
        if (cp < kWidePart && end > kWidePart) {
            fcRuns.push_back({fcOf(cp), fcOf(kWidePart - 1) + 2, grpprl});
            cp = kWidePart;
        }
        fcRuns.push_back({fcOf(cp), fcOf(end - 1) + (end - 1 < kWidePart ? 2 : 1), grpprl});
        cp = end;
    }
    stream.resize((stream.size() / 512 + 1) * 512, '\0');
    std::vector<std::uint32_t> pageNumbers;
    std::vector<std::uint32_t> pageStarts;
    for (std::size_t at = 0; at < fcRuns.size();) {
        std::string page(512, '\0');
        std::size_t count = 0;
        std::size_t low = 511;  // the properties fill the page from its end
        while (at + count < fcRuns.size()) {
            const std::string& grpprl = fcRuns[at + count].grpprl;
            const std::size_t chpxAt = (low - 1 - grpprl.size()) & ~std::size_t{1};
            if (4 * (count + 2) + count + 1 > chpxAt) {
                break;
            }
            low = chpxAt;
            page[chpxAt] = static_cast<char>(grpprl.size());
            page.replace(chpxAt + 1, grpprl.size(), grpprl);
            ++count;
        }
        for (std::size_t k = 0; k < count; ++k) {
            PutU32(page, 4 * k, fcRuns[at + k].start);
        }
        PutU32(page, 4 * count, fcRuns[at + count - 1].end);
        // The property offsets, in words, in the order they were placed.
        std::size_t placed = 511;
        for (std::size_t k = 0; k < count; ++k) {
            const std::string& grpprl = fcRuns[at + k].grpprl;
            placed = (placed - 1 - grpprl.size()) & ~std::size_t{1};
            page[4 * (count + 1) + k] = grpprl.empty() ? 0 : static_cast<char>(placed / 2);
        }
        page[511] = static_cast<char>(count);
        pageStarts.push_back(fcRuns[at].start);
        pageNumbers.push_back(static_cast<std::uint32_t>(stream.size() / 512));
        stream += page;
        at += count;
    }

    // The table stream: the piece table, then the bin table of the pages.
    std::string pieces(4 * 3 + 8 * 2, '\0');
    PutU32(pieces, 4, kWidePart);
    PutU32(pieces, 8, total);
    PutU32(pieces, 12 + 2, kTextAt);
    PutU32(pieces, 20 + 2, 0x40000000 | (narrowAt * 2));
    std::string table = std::string(1, '\x02') + std::string(4, '\0') + pieces;
    PutU32(table, 1, static_cast<std::uint32_t>(pieces.size()));
    pair(33, 0, static_cast<std::uint32_t>(table.size()));
    const auto bteAt = static_cast<std::uint32_t>(table.size());
    std::string bte(4 * (pageNumbers.size() + 1) + 4 * pageNumbers.size(), '\0');
    for (std::size_t i = 0; i < pageNumbers.size(); ++i) {
        PutU32(bte, 4 * i, pageStarts[i]);
        PutU32(bte, 4 * (pageNumbers.size() + 1) + 4 * i, pageNumbers[i]);
    }
    PutU32(bte, 4 * pageNumbers.size(), fcRuns.back().end);
    table += bte;
    pair(12, bteAt, static_cast<std::uint32_t>(bte.size()));
    return testing::MakeScatteredCompoundFile({{"WordDocument", stream}, {"1Table", table}}, 3);
}

TEST_F(LargeWordDocument, ReadFromTheFileGivesTheTextItGivesFromMemory) {
    std::string expected;
    ASSERT_TRUE(FromMemory(Features(), expected).Ok());
    ASSERT_NE(expected.find("Text in a box"), std::string::npos);
    // Scattered sectors: no stream can be read in one stretch.
    const std::string scattered =
        testing::MakeScatteredCompoundFile(testing::ReadCompoundStreams(Features()), 1);
    std::string text;
    ASSERT_TRUE(FromMemory(scattered, text).Ok());
    EXPECT_EQ(text, expected);
    for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
             {"as-made.doc", Features()}, {"scattered.doc", scattered}}) {
        const ConversionResult result = FromFile(WriteLarge(name, bytes), text);
        EXPECT_TRUE(result.Ok()) << name << ": " << result.description;
        EXPECT_EQ(text, expected) << name;
    }
}

TEST_F(LargeWordDocument, ManyFormattingRunsKeepEachItsOwnProperties) {
    std::string visible;
    const std::string bytes = ManyRunsDocument(6000, visible);
    std::string text;
    const ConversionResult inMemory = FromMemory(bytes, text);
    ASSERT_TRUE(inMemory.Ok()) << inMemory.description;
    EXPECT_EQ(text, visible);
    const ConversionResult onDisk = FromFile(WriteLarge("runs.doc", bytes), text);
    ASSERT_TRUE(onDisk.Ok()) << onDisk.description;
    EXPECT_EQ(text, visible);
}

TEST_F(LargeWordDocument, ChainBrokenLateFailsAsDamagedFromTheFileAsFromMemory) {
    auto streams = testing::ReadCompoundStreams(Features());
    std::stable_partition(streams.begin(), streams.end(),
                          [](const auto& stream) { return stream.first == "WordDocument"; });
    std::string bytes = testing::MakeScatteredCompoundFile(streams, 2);
    // The main stream is dealt first: its chain starts at sector 0. Make the link before its
    // last lead back to its start.
    const std::size_t fatAt = (static_cast<std::size_t>(GetU32(bytes, 0x4C)) + 1) * 512;
    std::uint32_t sector = 0;
    while (GetU32(bytes, fatAt + 4 * GetU32(bytes, fatAt + 4 * sector)) != 0xFFFFFFFE) {
        sector = GetU32(bytes, fatAt + 4 * sector);
    }
    PutU32(bytes, fatAt + 4 * sector, 0);
    std::string text;
    const ConversionResult inMemory = FromMemory(bytes, text);
    const ConversionResult onDisk = FromFile(WriteLarge("broken.doc", bytes), text);
    EXPECT_EQ(inMemory.code, ErrorCode::kDamaged);
    EXPECT_EQ(onDisk.code, ErrorCode::kDamaged);
    EXPECT_NE(onDisk.description.find("the sector chain of a stream loops"), std::string::npos)
        << onDisk.description;
    EXPECT_NE(inMemory.description.find("the sector chain of a stream loops"), std::string::npos)
        << inMemory.description;
}

}  // namespace
}  // namespace corvanel::convert
