#include "convert/core/ConvertError.h"
#include "convert/msword/CompoundFile.h"

#include "TestCompoundFile.h"

#include <gtest/gtest.h>

namespace corvanel::convert {
namespace {

using msword::CompoundFile;
using testing::GetU32;
using testing::MakeCompoundFile;
using testing::PutU32;

std::string Pattern(std::size_t size, char seed) {
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        s[i] = static_cast<char>(seed + i * 7);
    }
    return s;
}

ErrorCode OpenError(const std::string& bytes, std::string* detail = nullptr) {
    try {
        const CompoundFile file(bytes);
        for (const std::string& name : file.RootNames()) {
            file.ReadStream(name);
        }
    } catch (const ConvertError& e) {
        if (detail != nullptr) {
            *detail = e.Detail();
        }
        return e.Code();
    }
    return ErrorCode::kNone;
}

TEST(CompoundFile, ReadsEveryStreamBackByNameInAnyCase) {
    const std::string big = Pattern(70000, 'a');  // needs more than one allocation table sector
    const std::string bytes =
        MakeCompoundFile({{"WordDocument", big}, {"1Table", Pattern(5000, 'x')}});
    const CompoundFile file(bytes);
    EXPECT_TRUE(file.HasStream("worddocument"));
    EXPECT_EQ(file.ReadStream("WordDocument").value(), big);
    EXPECT_EQ(file.ReadStream("1TABLE").value(), Pattern(5000, 'x'));
    EXPECT_FALSE(file.ReadStream("0Table").has_value());
    EXPECT_EQ(file.RootNames().size(), 2u);
}

TEST(CompoundFile, ReadsSmallStreamsFromTheMiniStream) {
    // LibreOffice keeps the small property streams of its .doc files in the mini stream.
    const std::string bytes =
        testing::ReadTestFile(std::string(CORVANEL_TEST_DATA_DIR) + "/msword/features.doc");
    const CompoundFile file(bytes);
    const auto compObj = file.ReadStream(
        "\x01"
        "CompObj");
    ASSERT_TRUE(compObj.has_value());
    ASSERT_GE(compObj->size(), 4u);
    EXPECT_LT(compObj->size(), 4096u);
    EXPECT_EQ(compObj->substr(0, 4), std::string("\x01\x00\xFE\xFF", 4));
}

TEST(CompoundFile, RejectsBrokenContainersAsDamaged) {
    const std::string good = MakeCompoundFile({{"WordDocument", Pattern(9000, 'w')}});
    const std::uint32_t firstFat = GetU32(good, 0x4C);
    const std::size_t fatAt = (firstFat + 1) * 512;

    struct Case {
        const char* name;
        std::string bytes;
        const char* detail;
    };
    std::vector<Case> cases;
    cases.push_back({"header only", good.substr(0, 300), "header"});
    {
        std::string b = good;
        PutU32(b, fatAt + 4 * 3, 1);  // sector 3 leads back to sector 1
        cases.push_back({"chain loop", b, "loops"});
    }
    {
        std::string b = good;
        PutU32(b, fatAt + 4 * 2, 0x00FFFFF0);
        cases.push_back({"sector index out of range", b, "out of range"});
    }
    {
        std::string b = good;
        PutU32(b, 0x30, 0x0FFFFFFF);  // directory start
        cases.push_back({"directory out of range", b, "out of range"});
    }
    {
        std::string b = good;
        PutU32(b, 0x2C, 0x00FFFFFF);  // allocation table sector count
        cases.push_back({"impossible table size", b, "impossible size"});
    }
    {
        std::string b = good;
        PutU32(b, 512 * (GetU32(good, 0x30) + 1) + 128 + 0x78, 0x7FFFFFF0);  // stream size
        cases.push_back({"stream larger than file", b, "larger than the file"});
    }
    {
        std::string b = good;
        b[0x1E] = 10;  // sector shift
        cases.push_back({"unknown sector size", b, "sector size"});
    }
    cases.push_back({"truncated", good.substr(0, good.size() - 5000), "truncated"});
    for (const Case& c : cases) {
        std::string detail;
        EXPECT_EQ(OpenError(c.bytes, &detail), ErrorCode::kDamaged) << c.name;
        EXPECT_NE(detail.find(c.detail), std::string::npos) << c.name << ": " << detail;
    }
}

}  // namespace
}  // namespace corvanel::convert
