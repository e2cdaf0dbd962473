// The file seam on the system the tests run on: UTF-8 names of every kind, paths past 260
// characters, exclusive creation, replacing in one step, identities through other spellings.

#include "TestZip.h"
#include "system/FileSystem.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace corvanel::system {
namespace {

namespace fs = std::filesystem;
using convert::testing::TemporaryFolder;

std::string Slurp(const std::string& path) {
    std::FILE* file = OpenFile(path, "rb");
    if (file == nullptr) {
        return "<unreadable>";
    }
    std::string text;
    char buffer[256];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
        text.append(buffer, got);
    }
    std::fclose(file);
    return text;
}

bool Spit(const std::string& path, const std::string& text, const char* mode = "wb") {
    std::FILE* file = OpenFile(path, mode);
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

class NamedFiles : public ::testing::TestWithParam<std::string> {};

// Each name is made in a folder of its own (beside a long one for the long path).
TEST_P(NamedFiles, AreMadeReadListedReplacedAndKnownByIdentity) {
    TemporaryFolder scratch;
    const std::string relative = GetParam();
    const std::string path = scratch.File(relative);
    ASSERT_TRUE(fs::create_directories(PathFromUtf8(path).parent_path()));

    ASSERT_TRUE(Spit(path, "first")) << path;
    EXPECT_EQ(Slurp(path), "first");
    const FileState state = StateOf(path);
    EXPECT_EQ(state.kind, FileKind::kFile);
    EXPECT_EQ(state.size, 5u);
    EXPECT_EQ(StateOf(Utf8FromPath(PathFromUtf8(path).parent_path())).kind, FileKind::kFolder);

    std::vector<std::string> listed;
    EXPECT_FALSE(ListFolder(Utf8FromPath(PathFromUtf8(path).parent_path()), listed));
    EXPECT_EQ(listed, std::vector<std::string>{Utf8FromPath(PathFromUtf8(path).filename())});

    errno = 0;
    EXPECT_EQ(OpenFile(path, "wbx"), nullptr) << "an existing file is never opened exclusively";
    EXPECT_EQ(errno, EEXIST);

    const std::string replacement = path + ".new";
    ASSERT_TRUE(Spit(replacement, "second", "wbx"));
    EXPECT_FALSE(MoveReplacing(replacement, path));
    EXPECT_EQ(Slurp(path), "second");
    EXPECT_EQ(StateOf(replacement).kind, FileKind::kMissing);

    const std::optional<FileIdentity> identity = IdentityOf(path);
    ASSERT_TRUE(identity.has_value());
    const std::string folder = Utf8FromPath(PathFromUtf8(path).parent_path());
    const std::string roundabout = folder + "/./../" +
                                   Utf8FromPath(PathFromUtf8(folder).filename()) + "/" +
                                   Utf8FromPath(PathFromUtf8(path).filename());
    EXPECT_EQ(IdentityOf(roundabout), identity);
    EXPECT_NE(IdentityOf(folder), identity);
}

// Read through a handle that tells what it opened, and written new and over itself staged.
TEST_P(NamedFiles, AreReadThroughTheirHandleAndStagedIntoPlace) {
    TemporaryFolder scratch;
    const std::string path = scratch.File(GetParam());
    const std::string folder = Utf8FromPath(PathFromUtf8(path).parent_path());
    ASSERT_TRUE(fs::create_directories(PathFromUtf8(folder)));
    for (const char* text : {"first", "second"}) {
        StagedFile staged(path);
        ASSERT_FALSE(staged.Create()) << path;
        ASSERT_FALSE(staged.Write(text));
        ASSERT_FALSE(staged.Publish());
        EXPECT_EQ(Slurp(path), text);
    }
    std::vector<std::string> listed;
    EXPECT_FALSE(ListFolder(folder, listed));
    EXPECT_EQ(listed.size(), 1u) << "no temporary file left";

    ReadableFile file = ReadableFile::Open(path);
    ASSERT_TRUE(file.IsOpen());
    EXPECT_EQ(file.Kind(), FileKind::kFile);
    EXPECT_EQ(file.Size(), 6u);
    char buffer[16] = {};
    EXPECT_EQ(file.ReadAt(2, buffer, sizeof buffer), 4);
    EXPECT_EQ(std::string(buffer), "cond");
    EXPECT_EQ(ReadableFile::Open(folder).Kind(), FileKind::kFolder);
}

INSTANTIATE_TEST_SUITE_P(
    Names, NamedFiles,
    ::testing::Values("plain/report.doc", "latin/R\xC3\xA9sum\xC3\xA9 \xC3\xBC\xC3\xB1.doc",
                      "greek/\xCE\x91\xCE\xB8\xCE\xAE\xCE\xBD\xCE\xB1.docx",
                      "cjk/\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E \xED\x95\x9C.rtf",
                      "astral/\xF0\x9F\x93\x84 notes.txt",
                      std::string(120, 'a') + "/" + std::string(120, 'b') + "/" +
                          std::string(60, 'c') + "/past 260 characters.doc"));

TEST(FileState, TellsMissingFromFolderFromFile) {
    TemporaryFolder scratch;
    EXPECT_EQ(StateOf(scratch.File("nothing")).kind, FileKind::kMissing);
    EXPECT_EQ(IdentityOf(scratch.File("nothing")), std::nullopt);
    EXPECT_EQ(StateOf(scratch.Path()).kind, FileKind::kFolder);
    EXPECT_EQ(OpenFile(scratch.File("nothing"), "rb"), nullptr);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_FALSE(ReadableFile::Open(scratch.File("nothing")).IsOpen());
    EXPECT_EQ(errno, ENOENT);
}

}  // namespace
}  // namespace corvanel::system
