#include "convert/core/ConvertError.h"
#include "convert/core/SourceFile.h"
#include "convert/core/ZipPackage.h"

#include "TestZip.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace corvanel::convert {
namespace {

using testing::MakeZip;

TEST(ZipPackage, ReadsPartsByExactOrCaseInsensitiveName) {
    SourceFile source = SourceFile::FromBytes(
        "t.zip", MakeZip({{"word/document.xml", "<doc/>"}, {"[Content_Types].xml", "<t/>"}}));
    ZipPackage package(source);
    EXPECT_TRUE(package.Has("word/document.xml"));
    EXPECT_TRUE(package.Has("/WORD/Document.xml"));
    EXPECT_FALSE(package.Has("word/missing.xml"));
    EXPECT_EQ(package.Read("word/document.xml"), "<doc/>");
    EXPECT_EQ(package.Read("nothing"), std::nullopt);
    EXPECT_EQ(package.Names().size(), 2u);
}

TEST(ZipPackage, RefusesAHighlyCompressedPartAsAZipBomb) {
    // 64 MiB of one byte deflates about a thousand times: far past the allowed ratio.
    SourceFile source = SourceFile::FromBytes(
        "bomb.docx", MakeZip({{"word/document.xml", std::string(64 << 20, 'a')}}));
    ZipPackage package(source);
    try {
        package.Read("word/document.xml");
        FAIL() << "a zip bomb was inflated";
    } catch (const ConvertError& e) {
        EXPECT_EQ(e.Code(), ErrorCode::kTooLarge);
        EXPECT_NE(e.Detail().find("ZIP bomb"), std::string::npos) << e.Detail();
    }
}

TEST(ZipPackage, TruncatedArchiveIsDamaged) {
    std::string bytes = MakeZip({{"a.xml", std::string(5000, 'x')}});
    bytes.resize(bytes.size() / 2);
    SourceFile source = SourceFile::FromBytes("cut.docx", bytes);
    try {
        ZipPackage package(source);
        package.Read("a.xml");
        FAIL() << "a truncated archive was read";
    } catch (const ConvertError& e) {
        EXPECT_EQ(e.Code(), ErrorCode::kDamaged);
    }
}

// Overwrites four little-endian bytes at `offset` of every local header and central directory
// entry (offsets counted from each header's signature).
std::string Patched(std::string zip, std::size_t localOffset, std::size_t centralOffset,
                    std::uint32_t value) {
    const auto put = [&](std::size_t at) {
        for (int i = 0; i < 4; ++i) {
            zip[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
        }
    };
    for (std::size_t at = zip.find("PK\x03\x04"); at != std::string::npos;
         at = zip.find("PK\x03\x04", at + 4)) {
        put(at + localOffset);
    }
    for (std::size_t at = zip.find("PK\x01\x02"); at != std::string::npos;
         at = zip.find("PK\x01\x02", at + 4)) {
        put(at + centralOffset);
    }
    return zip;
}

ErrorCode ReadError(const std::string& zip, std::string* detail = nullptr) {
    try {
        SourceFile source = SourceFile::FromBytes("t.docx", zip);
        ZipPackage package(source);
        package.Read("a.xml");
    } catch (const ConvertError& e) {
        if (detail != nullptr) {
            *detail = e.Detail();
        }
        return e.Code();
    }
    return ErrorCode::kNone;
}

TEST(ZipPackage, APartWhoseChecksumOrSizeDisagreesIsDamaged) {
    const std::string content = "<a>" + std::string(3000, 'x') + "</a>";
    for (const bool stored : {false, true}) {
        const std::string zip = MakeZip({{"a.xml", content}}, stored);
        std::string detail;
        EXPECT_EQ(ReadError(Patched(zip, 14, 16, 0x12345678u), &detail), ErrorCode::kDamaged);
        EXPECT_NE(detail.find("a.xml"), std::string::npos) << detail;
        if (!stored) {
            // More or less data than the stated size.
            EXPECT_EQ(ReadError(Patched(zip, 22, 24, 100)), ErrorCode::kDamaged);
            EXPECT_EQ(ReadError(Patched(zip, 22, 24, 5000)), ErrorCode::kDamaged);
        }
    }
}

TEST(ZipPackage, DeflatedAndStoredPartsReadTheSameFromMemoryAndFromDisk) {
    // Over the size a small file is read whole at, so the package is also read from disk part
    // by part.
    std::string big;
    for (std::uint64_t i = 0; big.size() < (5u << 20); ++i) {
        big += std::to_string(i * 7919 % 100003) + ' ';
    }
    testing::TemporaryFolder folder;
    for (const bool stored : {false, true}) {
        const std::string zip = MakeZip({{"big.xml", big}, {"small.xml", "<s/>"}}, stored);
        const std::string path = testing::WriteFile(folder.File("p.zip"), zip);
        SourceFile fromDisk = SourceFile::Open(path);
        SourceFile inMemory = SourceFile::FromBytes("p.zip", zip);
        for (SourceFile* source : {&fromDisk, &inMemory}) {
            ZipPackage package(*source);
            EXPECT_EQ(package.Read("big.xml"), big);
            EXPECT_EQ(package.Read("small.xml"), "<s/>");
        }
    }
}

}  // namespace
}  // namespace corvanel::convert
