#include "convert/core/ConvertError.h"
#include "convert/core/SourceFile.h"
#include "convert/core/ZipPackage.h"

#include "TestZip.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace corvanel::convert
