// Streams of a compound file read a range at a time, from memory and through a range reader
// (as a large file on disk is read): the same bytes as the stream read whole, nothing read
// before it is needed, and a broken stream found when it is opened, not halfway through it.
#include "convert/core/ConvertError.h"
#include "convert/msword/CompoundFile.h"

#include "TestCompoundFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace corvanel::convert {
namespace {

using msword::CompoundFile;
using msword::CompoundStream;
using testing::GetU32;
using testing::MakeScatteredCompoundFile;
using testing::PutU32;

std::string Pattern(std::size_t size, std::uint32_t seed) {
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        s[i] = static_cast<char>((seed + i * 131 + (i >> 9)) & 0xFF);
    }
    return s;
}

// Large streams, small ones in the mini stream, one of exactly the cutoff, an empty one.
std::vector<std::pair<std::string, std::string>> SampleStreams() {
    return {{"WordDocument", Pattern(20000, 1)}, {"1Table", Pattern(9001, 2)},
            {"Small", Pattern(3000, 3)},         {"Tiny", Pattern(200, 4)},
            {"Cutoff", Pattern(4096, 5)},        {"Empty", ""}};
}

// The file's bytes behind a range reader that counts what is asked of it, and can be cut short
// after the container is opened, as a file changed on disk would be.
struct CountingReader {
    explicit CountingReader(std::string content) : bytes(std::move(content)) {}

    CompoundFile::RangeReader Reader() {
        return [this](std::uint64_t offset, char* out, std::size_t length) {
            ++calls;
            const std::size_t visible = std::min(bytes.size(), visibleBytes);
            if (offset >= visible) {
                return std::size_t{0};
            }
            const std::size_t n = std::min<std::size_t>(length, visible - offset);
            std::copy_n(bytes.data() + offset, n, out);
            read += n;
            return n;
        };
    }

    std::string bytes;
    std::size_t visibleBytes = static_cast<std::size_t>(-1);
    std::size_t calls = 0;
    std::size_t read = 0;
};

// Offsets and lengths on both sides of mini-sector and sector boundaries.
std::vector<std::pair<std::size_t, std::size_t>> Windows(std::size_t size) {
    std::vector<std::pair<std::size_t, std::size_t>> windows;
    for (const std::size_t offset : {0, 1, 63, 64, 65, 511, 512, 513, 1000, 4095, 4096, 8191}) {
        for (const std::size_t length : {0, 1, 2, 63, 64, 65, 128, 512, 513, 1500, 5000}) {
            if (offset + length <= size) {
                windows.emplace_back(offset, length);
            }
        }
    }
    if (size > 0) {
        windows.emplace_back(size - 1, 1);
        windows.emplace_back(0, size);
    }
    return windows;
}

std::string ErrorOf(const std::function<void()>& action, ErrorCode* code = nullptr) {
    try {
        action();
    } catch (const ConvertError& e) {
        if (code != nullptr) {
            *code = e.Code();
        }
        return e.Detail();
    }
    return "";
}

TEST(CompoundStream, RangesAcrossSectorsAndMiniSectorsEqualTheStream) {
    for (const std::uint32_t run : {1u, 3u, 1000u}) {
        const std::string bytes = MakeScatteredCompoundFile(SampleStreams(), run);
        CountingReader disk(bytes);
        const CompoundFile inMemory(bytes);
        const CompoundFile onDisk(bytes.size(), disk.Reader());
        EXPECT_TRUE(inMemory.InMemory());
        EXPECT_FALSE(onDisk.InMemory());
        for (const CompoundFile* file : {&inMemory, &onDisk}) {
            for (const auto& [name, content] : SampleStreams()) {
                const std::optional<CompoundStream> stream = file->OpenStream(name);
                ASSERT_TRUE(stream.has_value()) << name;
                ASSERT_EQ(stream->Size(), content.size()) << name;
                for (const auto& [offset, length] : Windows(content.size())) {
                    EXPECT_EQ(stream->Read(offset, length, "a test stream"),
                              content.substr(offset, length))
                        << name << " run " << run << " at " << offset << " for " << length;
                }
                std::string buffer;
                EXPECT_EQ(stream->View(buffer), content) << name << " run " << run;
                EXPECT_EQ(file->ReadStream(name).value(), content) << name << " run " << run;
            }
        }
    }
}

TEST(CompoundStream, RangePastTheEndFailsAsDamagedNamingWhatWasRead) {
    const std::string bytes = MakeScatteredCompoundFile(SampleStreams(), 2);
    const CompoundFile file(bytes);
    for (const char* name : {"WordDocument", "Small", "Empty"}) {
        const CompoundStream stream = file.OpenStream(name).value();
        const std::uint64_t size = stream.Size();
        for (const auto& [offset, length] : std::vector<std::pair<std::uint64_t, std::size_t>>{
                 {size, 1}, {size + 1, 0}, {0, size + 1}, {~std::uint64_t{0}, 2}}) {
            ErrorCode code = ErrorCode::kNone;
            EXPECT_EQ(ErrorOf([&] { stream.Read(offset, length, "the sample table"); }, &code),
                      "the sample table runs past its end")
                << name << " at " << offset;
            EXPECT_EQ(code, ErrorCode::kDamaged);
        }
    }
}

TEST(CompoundStream, OpeningReadsNothingOfTheStreamAndARangeReadsOnlyItself) {
    const std::string bytes = MakeScatteredCompoundFile(SampleStreams(), 3);
    CountingReader disk(bytes);
    const CompoundFile file(bytes.size(), disk.Reader());
    const std::size_t afterContainer = disk.read;
    EXPECT_LT(afterContainer, 512u * 8) << "header, allocation tables and directory only";

    const CompoundStream large = file.OpenStream("WordDocument").value();
    const CompoundStream small = file.OpenStream("Small").value();
    EXPECT_EQ(disk.read, afterContainer);

    EXPECT_EQ(large.Read(10000, 700, "a test stream"), Pattern(20000, 1).substr(10000, 700));
    EXPECT_EQ(disk.read, afterContainer + 700);
    EXPECT_EQ(small.Read(100, 300, "a test stream"), Pattern(3000, 3).substr(100, 300));
    EXPECT_EQ(disk.read, afterContainer + 1000);
}

TEST(CompoundStream, SectorsThatFollowEachOtherAreReadInOneGo) {
    const std::string content = Pattern(20000, 7);  // 40 sectors
    for (const auto& [run, expectedCalls] :
         std::vector<std::pair<std::uint32_t, std::size_t>>{{1000, 1}, {8, 5}, {1, 40}}) {
        const std::string bytes =
            MakeScatteredCompoundFile({{"WordDocument", content}, {"1Table", content}}, run);
        CountingReader disk(bytes);
        const CompoundFile file(bytes.size(), disk.Reader());
        const CompoundStream stream = file.OpenStream("WordDocument").value();
        const std::size_t before = disk.calls;
        std::string whole(content.size(), '\0');
        stream.Read(0, whole.size(), whole.data(), "a test stream");
        EXPECT_EQ(whole, content);
        EXPECT_EQ(disk.calls - before, expectedCalls) << "run " << run;
    }
}

TEST(CompoundStream, ViewOfAStreamInOneStretchOfMemoryIsNotACopy) {
    const std::string content = Pattern(20000, 9);
    const std::string together = MakeScatteredCompoundFile({{"A", content}, {"B", content}}, 1000);
    const std::string apart = MakeScatteredCompoundFile({{"A", content}, {"B", content}}, 4);
    std::string buffer;
    const std::string_view view = CompoundFile(together).OpenStream("A")->View(buffer);
    EXPECT_EQ(view, content);
    EXPECT_TRUE(buffer.empty());
    EXPECT_GE(view.data(), together.data());
    EXPECT_LE(view.data() + view.size(), together.data() + together.size());
    EXPECT_EQ(CompoundFile(apart).OpenStream("A")->View(buffer), content);
    EXPECT_EQ(buffer, content);
}

// A fault far into a large stream's chain is found when the stream is opened, with the same
// detail whether the file is in memory or read a range at a time, and before any of it is read.
TEST(CompoundStream, ChainBrokenLateFailsWhenOpenedWithTheSameDetail) {
    const std::string content = Pattern(60000, 11);  // 118 sectors
    const std::string good = MakeScatteredCompoundFile(
        {{"WordDocument", content}, {"1Table", Pattern(5000, 12)}, {"Small", Pattern(3000, 13)}},
        4);
    const std::uint32_t fatSector = GetU32(good, 0x4C);
    const std::uint32_t miniFatSector = GetU32(good, 0x3C);
    auto fatEntryAt = [&](std::uint32_t table, std::uint32_t index) {
        return (static_cast<std::size_t>(table) + 1) * 512 + 4 * index;
    };
    // The sector at `steps` links along a chain from `start`.
    auto follow = [&](std::uint32_t table, std::uint32_t start, int steps) {
        for (int i = 0; i < steps; ++i) {
            start = GetU32(good, fatEntryAt(table, start));
        }
        return start;
    };
    const std::uint32_t largeStart = 0;  // dealt first
    const std::uint32_t smallStart = GetU32(good, (GetU32(good, 0x30) + 1) * 512 + 3 * 128 + 0x74);
    // Far into each chain; and the one before the last, whose link names the last sector.
    const std::uint32_t late = follow(fatSector, largeStart, 100);
    const std::uint32_t beforeLast = follow(fatSector, largeStart, 116);
    const std::uint32_t lateMini = follow(miniFatSector, smallStart, 40);
    const std::uint32_t beforeLastMini = follow(miniFatSector, smallStart, 45);
    const std::uint32_t sectorsInFile = static_cast<std::uint32_t>(good.size() / 512);

    struct Case {
        const char* name;
        const char* stream;
        std::string bytes;
        const char* detail;
    };
    auto patched = [&](std::size_t at, std::uint32_t value) {
        std::string b = good;
        PutU32(b, at, value);
        return b;
    };
    const std::vector<Case> cases = {
        {"loop back to the start", "WordDocument", patched(fatEntryAt(fatSector, late), largeStart),
         "the sector chain of a stream loops"},
        {"sector number past the table", "WordDocument",
         patched(fatEntryAt(fatSector, late), 0x00FFFFF0),
         "a sector number of a stream is out of range"},
        {"sector past the end of the file", "WordDocument",
         patched(fatEntryAt(fatSector, beforeLast), sectorsInFile + 2),
         "a sector lies past the end of the file (the file may be truncated)"},
        {"chain ends early", "WordDocument", patched(fatEntryAt(fatSector, late), 0xFFFFFFFE),
         "a stream is shorter than its recorded size"},
        {"small stream loops", "Small", patched(fatEntryAt(miniFatSector, lateMini), lateMini),
         "the sector chain of a small stream loops"},
        {"small stream past the mini stream", "Small",
         patched(fatEntryAt(miniFatSector, beforeLastMini), 100),
         "a small stream lies past the end of the mini stream"},
    };
    for (const Case& c : cases) {
        ErrorCode code = ErrorCode::kNone;
        EXPECT_EQ(ErrorOf([&] { CompoundFile(c.bytes).OpenStream(c.stream); }, &code), c.detail)
            << c.name;
        EXPECT_EQ(code, ErrorCode::kDamaged) << c.name;
        CountingReader disk(c.bytes);
        const CompoundFile onDisk(c.bytes.size(), disk.Reader());
        const std::size_t before = disk.read;
        EXPECT_EQ(ErrorOf([&] { onDisk.OpenStream(c.stream); }), c.detail) << c.name;
        EXPECT_EQ(disk.read, before) << c.name << ": nothing of the stream is read";
    }
}

TEST(CompoundStream, FileThatShrinksAfterOpeningFailsCleanlyWhenRead) {
    const std::string content = Pattern(60000, 15);
    CountingReader disk(MakeScatteredCompoundFile({{"WordDocument", content}}, 2));
    const CompoundFile file(disk.bytes.size(), disk.Reader());
    const CompoundStream stream = file.OpenStream("WordDocument").value();
    EXPECT_EQ(stream.Read(0, 1000, "the text"), content.substr(0, 1000));
    disk.visibleBytes = 20000;
    ErrorCode code = ErrorCode::kNone;
    const std::string detail = ErrorOf([&] { stream.Read(0, content.size(), "the text"); }, &code);
    EXPECT_EQ(code, ErrorCode::kDamaged);
    EXPECT_NE(detail.find("truncated"), std::string::npos) << detail;
}

}  // namespace
}  // namespace corvanel::convert
