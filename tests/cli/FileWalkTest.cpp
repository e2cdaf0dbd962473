#include "TestZip.h"

#include "cli/FileWalk.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace corvanel::cli {
namespace {

namespace fs = std::filesystem;
using convert::testing::TemporaryFolder;
using convert::testing::WriteFile;

TEST(FileWalk, FilesComeInNameOrderWithTheirSizesAndOnlyFilesThatCanBeRead) {
    TemporaryFolder folder;
    fs::create_directories(folder.File("in/b"));
    WriteFile(folder.File("in/c.docx"), std::string(300, 'c'));
    WriteFile(folder.File("in/a.docx"), std::string(7, 'a'));
    WriteFile(folder.File("in/b/inner.rtf"), "");
    const std::string named = WriteFile(folder.File("named.odt"), std::string(42, 'n'));
    fs::create_symlink(folder.File("in/c.docx"), folder.File("in/d-link.docx"));
    fs::create_symlink(folder.File("nowhere.docx"), folder.File("in/e-dangling.docx"));
    WriteFile(folder.File("in/.hidden.docx"), "h");

    const WalkResult walk = CollectFiles({folder.File("in"), named, folder.File("missing.doc")});
    EXPECT_TRUE(walk.failures.empty());
    ASSERT_EQ(walk.files.size(), 6u);
    const std::vector<std::pair<std::string, std::uintmax_t>> expected = {
        {"in/a.docx", 7},   {"in/b/inner.rtf", 0},
        {"in/c.docx", 300}, {"in/d-link.docx", 300},  // a link counts as the file it leads to
        {"named.odt", 42},  {"missing.doc", 0},       // named files are kept even if unreadable
    };
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(walk.files[i].path, folder.File(expected[i].first));
        EXPECT_EQ(walk.files[i].size, expected[i].second) << expected[i].first;
        EXPECT_EQ(walk.files[i].foundInFolder, i < 4) << expected[i].first;
    }
}

}  // namespace
}  // namespace corvanel::cli
