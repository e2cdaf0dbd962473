// Hostile RTF and compound files: absurd group nesting and sector chains that loop must be
// refused as damaged, quickly, naming the file.

#include "HostileInput.h"
#include "TestCompoundFile.h"
#include "TestZip.h"
#include "convert/Converter.h"
#include "convert/core/ConvertError.h"
#include "convert/msword/CompoundFile.h"

#include <gtest/gtest.h>

#include <string>

namespace corvanel::convert {
namespace {

using testing::ConvertedFileTest;
using testing::ExpectRefused;
using testing::GetU32;
using testing::MakeCompoundFile;
using testing::Nested;
using testing::PutU32;
using testing::Repeat;

constexpr std::uint32_t kSector = 512;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;

class HostileBinary : public ConvertedFileTest {};

TEST_F(HostileBinary, RtfWithAHundredThousandNestedGroupsIsDamaged) {
    constexpr std::size_t kDeep = 100000;
    ExpectRefused(Convert("balanced.rtf", "{\\rtf1\\ansi " + Nested("{", "}", kDeep) + "}"),
                  ErrorCode::kDamaged, path);
    ExpectRefused(Convert("unclosed.rtf", "{\\rtf1\\ansi " + Repeat("{\\b ", kDeep) + "text"),
                  ErrorCode::kDamaged, path);
    // Groups of a destination it does not know are skipped whole, without a stack of them.
    const ConversionResult skipped = Convert(
        "destinations.rtf", "{\\rtf1\\ansi " + Nested("{\\*\\unknown ", "}", kDeep) + "after}");
    ASSERT_TRUE(skipped.Ok()) << skipped.description;
    EXPECT_EQ(text, "after\n");
}

std::string Pattern(std::size_t size) {
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        s[i] = static_cast<char>('a' + i % 26);
    }
    return s;
}

// Where the allocation-table entry of `sector` lies in the file.
std::size_t FatEntryOffset(const std::string& file, std::uint32_t sector) {
    const std::uint32_t fatSector = GetU32(file, 0x4C + 4 * (sector / (kSector / 4)));
    return (static_cast<std::size_t>(fatSector) + 1) * kSector + 4 * (sector % (kSector / 4));
}

// A compound file whose streams all live in ordinary sectors (9000 bytes: 18 sectors each).
std::string PlainCompoundFile() {
    return MakeCompoundFile({{"WordDocument", Pattern(9000)}, {"1Table", Pattern(9000)}});
}

TEST_F(HostileBinary, AStreamChainThatLoopsIsDamaged) {
    std::string file = PlainCompoundFile();
    PutU32(file, FatEntryOffset(file, 5), 2);  // the WordDocument stream runs 0..5 then back to 2
    const ConversionResult result = Convert("stream-loop.doc", file);
    ExpectRefused(result, ErrorCode::kDamaged, path);
    EXPECT_NE(result.description.find("loops"), std::string::npos) << result.description;
}

TEST_F(HostileBinary, ADirectoryChainThatLoopsIsDamaged) {
    std::string file = PlainCompoundFile();
    const std::uint32_t directory = GetU32(file, 0x30);
    PutU32(file, FatEntryOffset(file, directory), directory);
    const ConversionResult result = Convert("directory-loop.doc", file);
    ExpectRefused(result, ErrorCode::kDamaged, path);
    EXPECT_NE(result.description.find("loops"), std::string::npos) << result.description;
}

TEST_F(HostileBinary, ADirectoryTreeThatLoopsIsDamaged) {
    std::string file = PlainCompoundFile();
    const std::size_t directoryAt = (GetU32(file, 0x30) + 1) * kSector;
    PutU32(file, directoryAt + 2 * 128 + 0x44, 1);  // 1Table's left sibling is WordDocument again
    ExpectRefused(Convert("tree-loop.doc", file), ErrorCode::kDamaged, path);
}

// A real Word file from the test data, whose small streams live in the mini stream.
std::string FileWithMiniStream() {
    return testing::ReadTestFile(std::string(CORVANEL_TEST_DATA_DIR) + "/msword/features.doc");
}

TEST_F(HostileBinary, AMiniAllocationTableWhoseOwnChainLoopsIsDamaged) {
    std::string file = FileWithMiniStream();
    const std::uint32_t miniFat = GetU32(file, 0x3C);
    ASSERT_NE(miniFat, kEndOfChain) << "the test file has no mini stream";
    PutU32(file, FatEntryOffset(file, miniFat), miniFat);
    const ConversionResult result = Convert("minifat-chain-loop.doc", file);
    ExpectRefused(result, ErrorCode::kDamaged, path);
    EXPECT_NE(result.description.find("loops"), std::string::npos) << result.description;
}

TEST_F(HostileBinary, ASmallStreamWhoseMiniChainLoopsIsDamaged) {
    std::string file = FileWithMiniStream();
    const std::size_t miniFatAt = (GetU32(file, 0x3C) + 1) * kSector;
    for (std::uint32_t i = 0; i < kSector / 4; ++i) {
        PutU32(file, miniFatAt + 4 * i, 0);  // every small stream runs back into mini sector 0
    }
    // Every small stream longer than one mini sector now loops.
    bool anyLooped = false;
    const msword::CompoundFile compound(file);
    for (const std::string& name : compound.RootNames()) {
        try {
            compound.ReadStream(name);
        } catch (const ConvertError& e) {
            EXPECT_EQ(e.Code(), ErrorCode::kDamaged) << name;
            anyLooped = anyLooped || e.Detail().find("loops") != std::string::npos;
        }
    }
    EXPECT_TRUE(anyLooped);
    // The whole document reads or is refused as damaged, naming the file.
    const ConversionResult result = Convert("minifat-loop.doc", file);
    if (!result.Ok()) {
        ExpectRefused(result, ErrorCode::kDamaged, path);
    }
}

TEST_F(HostileBinary, AnAllocationTableIndexChainThatLoopsIsDamaged) {
    // Enough sectors that a table of 400 allocation sectors is a possible size: 109 are listed
    // in the header, the rest in a chain of index sectors that here leads back to itself.
    std::string file = MakeCompoundFile({{"WordDocument", Pattern(1200 * 1024)}});
    const std::uint32_t firstFat = GetU32(file, 0x4C);
    const auto indexSector = static_cast<std::uint32_t>(file.size() / kSector - 1);
    std::string index(kSector, '\0');
    for (std::uint32_t i = 0; i + 1 < kSector / 4; ++i) {
        PutU32(index, 4 * i, firstFat);
    }
    PutU32(index, kSector - 4, indexSector);
    file += index;
    for (std::uint32_t i = 0; i < 109; ++i) {
        if (GetU32(file, 0x4C + 4 * i) == 0xFFFFFFFF) {
            PutU32(file, 0x4C + 4 * i, firstFat);
        }
    }
    PutU32(file, 0x2C, 400);
    PutU32(file, 0x44, indexSector);
    PutU32(file, 0x48, 10);
    const ConversionResult result = Convert("difat-loop.doc", file);
    ExpectRefused(result, ErrorCode::kDamaged, path);
    EXPECT_NE(result.description.find("allocation table index loops"), std::string::npos)
        << result.description;
}

}  // namespace
}  // namespace corvanel::convert
