// Folder permissions, as POSIX has them, checked as a user they bind.
#include "TestZip.h"
#include "convert/Converter.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace corvanel::convert {
namespace {

namespace fs = std::filesystem;

TEST(TextFileWriterPermissions, ReadOnlyFolderFailsWithoutTouchingTheExistingFile) {
    if (corvanel::testing::RerunAsUnprivilegedUser()) {
        return;  // privileges ignore folder permissions
    }
    testing::TemporaryFolder scratch;
    const std::string target = scratch.File("kept.txt");
    ASSERT_TRUE(WriteTextFile(target, "good output").Ok());
    fs::permissions(scratch.Path(), fs::perms::owner_read | fs::perms::owner_exec);
    const ConversionResult r = WriteTextFile(target, "new");
    EXPECT_EQ(r.code, ErrorCode::kCannotWrite);
    std::ifstream in(target, std::ios::binary);
    std::stringstream kept;
    kept << in.rdbuf();
    EXPECT_EQ(kept.str(), "good output");
}

}  // namespace
}  // namespace corvanel::convert
