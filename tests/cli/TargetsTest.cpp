#include "TestZip.h"

#include "cli/TargetClaims.h"
#include "cli/TargetNaming.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace corvanel::cli {
namespace {

namespace fs = std::filesystem;
using convert::testing::TemporaryFolder;

TEST(Targets, MirroredPathsAreNormalisedAndNeverClimbOutOfTheFolder) {
    const std::string parent = fs::current_path().parent_path().relative_path().string();
    const std::pair<std::string, std::string> cases[] = {
        {"a/report.docx", "a/report.docx"},
        {"./a//b/../report.docx", "a/report.docx"},
        {"/srv/docs/report.docx", "srv/docs/report.docx"},
        {"../x/report.docx", parent + "/x/report.docx"},
        {"a/../../report.docx", parent + "/report.docx"},
        {"report.docx", "report.docx"},
    };
    for (const auto& [source, mirrored] : cases) {
        EXPECT_EQ(MirroredPath(source), mirrored) << source;
    }
    EXPECT_EQ(TargetFor("a/b/report.docx", {"out", true}), "out/a/b/report.txt");
    EXPECT_EQ(TargetFor("a/b/report.docx", {"out", false}), "out/report.txt");
    EXPECT_EQ(TargetFor("a/b/report.docx", {}), "a/b/report.txt");
    EXPECT_EQ(TargetFor("a/README", {}), std::nullopt);
}

TEST(Targets, TheFirstDocumentToClaimATextFileKeepsItHoweverItsPathIsSpelled) {
    TemporaryFolder folder;
    fs::create_directories(folder.File("out/sub"));
    fs::create_directory_symlink(folder.File("out/sub"), folder.File("link"));
    TargetClaims claims;
    EXPECT_EQ(claims.Claim(folder.File("out/sub/report.txt"), "a/report.docx"), std::nullopt);
    EXPECT_EQ(claims.Claim(folder.File("out/other/report.txt"), "b/report.doc"), std::nullopt);
    for (const std::string& spelling :
         {folder.File("out/sub/report.txt"), folder.File("out/./sub/../sub/report.txt"),
          folder.File("link/report.txt")}) {
        EXPECT_EQ(claims.Claim(spelling, "c/report.rtf"), "a/report.docx") << spelling;
    }
    // Many claims (their records outgrow memory into the temporary file): every one is found.
    for (int i = 0; i < 20000; ++i) {
        ASSERT_EQ(claims.Claim(folder.File("out/" + std::to_string(i) + ".txt"),
                               "doc" + std::to_string(i)),
                  std::nullopt);
    }
    for (int i = 0; i < 20000; i += 1999) {
        EXPECT_EQ(claims.Claim(folder.File("out/" + std::to_string(i) + ".txt"), "again"),
                  "doc" + std::to_string(i));
    }
}

}  // namespace
}  // namespace corvanel::cli
