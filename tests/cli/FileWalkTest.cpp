#include "TestZip.h"

#include "cli/FileWalk.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace corvanel::cli {
namespace {

namespace fs = std::filesystem;
using convert::testing::TemporaryFolder;
using convert::testing::WriteFile;

TEST(FileWalk, FilesComeInNameOrderOnceEachAndOnlyFilesThatCanBeRead) {
    TemporaryFolder folder;
    fs::create_directories(folder.File("in/b"));
    fs::create_directories(folder.File("in/.hidden"));
    WriteFile(folder.File("in/c.docx"), "c");
    WriteFile(folder.File("in/a.docx"), "a");
    WriteFile(folder.File("in/b/inner.rtf"), "");
    WriteFile(folder.File("in/.hidden/x.docx"), "x");
    WriteFile(folder.File("in/.hidden.docx"), "h");
    fs::create_symlink(folder.File("in/c.docx"), folder.File("in/d-link.docx"));
    fs::create_symlink(folder.File("nowhere.docx"), folder.File("in/e-dangling.docx"));
    fs::create_directory_symlink(folder.File("in"), folder.File("in/b/loop"));

    FolderWalk walk(folder.File("in"));
    std::vector<std::string> found;
    while (auto item = walk.Next()) {
        EXPECT_TRUE(item->failure.empty()) << item->failure;
        found.push_back(item->path);
    }
    const std::vector<std::string> expected = {
        folder.File("in/a.docx"), folder.File("in/b/inner.rtf"), folder.File("in/c.docx"),
        folder.File("in/d-link.docx")};
    EXPECT_EQ(found, expected);

    FolderWalk missing(folder.File("missing"));
    const auto failure = missing.Next();
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->failure.find("cannot be read"), std::string::npos);
    EXPECT_FALSE(missing.Next());
}

}  // namespace
}  // namespace corvanel::cli
