#include "convert/Converter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace corvanel::convert {
namespace {

namespace fs = std::filesystem;

class TextFileWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("corvanel-writer-" +
                std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir_);
    }
    static std::string Read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    size_t EntryCount() const {
        return static_cast<size_t>(
            std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
    }
    fs::path dir_;
};

TEST_F(TextFileWriterTest, WritesAndReplacesAndLeavesNoTemporaryFile) {
    const fs::path target = dir_ / "out.txt";
    ASSERT_TRUE(WriteTextFile(target.string(), "first").Ok());
    ASSERT_TRUE(WriteTextFile(target.string(), "second\n").Ok());
    EXPECT_EQ(Read(target), "second\n");
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(TextFileWriterTest, AFolderInTheWayIsReportedAndKept) {
    const fs::path target = dir_ / "taken.txt";
    fs::create_directory(target);
    const ConversionResult r = WriteTextFile(target.string(), "x");
    EXPECT_EQ(r.code, ErrorCode::kCannotWrite);
    EXPECT_NE(r.description.find("taken.txt cannot be written"), std::string::npos)
        << r.description;
    EXPECT_TRUE(fs::is_directory(target));
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(TextFileWriterTest, MissingFolderIsReported) {
    const ConversionResult r = WriteTextFile((dir_ / "no" / "x.txt").string(), "x");
    EXPECT_EQ(r.code, ErrorCode::kCannotWrite);
    EXPECT_EQ(r.Number(), 8006);
}

}  // namespace
}  // namespace corvanel::convert
