#include "TestLinks.h"
#include "TestZip.h"

#include "cli/TargetClaims.h"
#include "cli/TargetNaming.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

namespace corvanel::cli {
namespace {

namespace fs = std::filesystem;
using convert::testing::MakeLink;
using convert::testing::TemporaryFolder;

// Made paths are joined with the system's own separator.
std::string Native(std::string path) {
    std::replace(path.begin(), path.end(), '/', static_cast<char>(fs::path::preferred_separator));
    return path;
}

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
        EXPECT_EQ(MirroredPath(source), Native(mirrored)) << source;
    }
    EXPECT_EQ(TargetFor("a/b/report.docx", {"out", true}), Native("out/a/b/report.txt"));
    EXPECT_EQ(TargetFor("a/b/report.docx", {"out", false}), Native("out/report.txt"));
    // Beside its document, a text keeps the folder as the document was named.
    EXPECT_EQ(TargetFor("a/b/report.docx", {}), "a/b" + Native("/report.txt"));
    EXPECT_EQ(TargetFor("a/README", {}), std::nullopt);
}

TEST(Targets, TheFirstDocumentToClaimATextFileKeepsItHoweverItsPathIsSpelled) {
    TemporaryFolder folder;
    fs::create_directories(folder.File("out/sub"));
    ASSERT_TRUE(MakeLink(folder.File("out/sub"), folder.File("link")));
    TargetClaims claims;
    EXPECT_EQ(claims.Claim(folder.File("out/sub/report.txt"), "a/report.docx"), std::nullopt);
    EXPECT_EQ(claims.Claim(folder.File("out/other/report.txt"), "b/report.doc"), std::nullopt);
    std::vector<std::string> spellings = {folder.File("out/sub/report.txt"),
                                          folder.File("out/./sub/../sub/report.txt")};
    if (!convert::testing::LinksAreWineHostLinks()) {
        spellings.push_back(folder.File("link/report.txt"));
    }
    for (const std::string& spelling : spellings) {
        EXPECT_EQ(claims.Claim(spelling, "c/report.rtf"), "a/report.docx") << spelling;
    }
    // Where the file system ignores letter case, so do the claims.
#ifdef _WIN32
    const std::optional<std::string> otherCase = "a/report.docx";
#else
    const std::optional<std::string> otherCase = std::nullopt;
#endif
    EXPECT_EQ(claims.Claim(folder.File("out/SUB/Report.TXT"), "d/Report.doc"), otherCase);
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
