#include "platform/Globals.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#ifndef _WIN32
#include <unistd.h>
#endif

using Globals::FileNameFromPath;
using Globals::IsExistingFolder;
using Globals::NormalizePath;

struct PathCase {
    const char* input;
    const char* expected;
};

void PrintTo(const PathCase& c, std::ostream* os) {
    *os << '"' << c.input << '"';
}

TEST(FileNameFromPath, WindowsStyleTakesTextAfterLastBackslashOrSlash) {
    EXPECT_EQ(FileNameFromPath(R"(C:\a\b.doc)", PathStyle::Windows), "b.doc");
    EXPECT_EQ(FileNameFromPath("b.doc", PathStyle::Windows), "b.doc");
    EXPECT_EQ(FileNameFromPath(R"(C:\a\)", PathStyle::Windows), "");
    EXPECT_EQ(FileNameFromPath(R"(\\server\share\r.doc)", PathStyle::Windows), "r.doc");
    EXPECT_EQ(FileNameFromPath("", PathStyle::Windows), "");
    EXPECT_EQ(FileNameFromPath("C:/a\\b/c.doc", PathStyle::Windows), "c.doc");
}

TEST(FileNameFromPath, PosixStyleTakesTextAfterLastSlash) {
    EXPECT_EQ(FileNameFromPath("/a/b.doc", PathStyle::Posix), "b.doc");
    EXPECT_EQ(FileNameFromPath("b.doc", PathStyle::Posix), "b.doc");
    EXPECT_EQ(FileNameFromPath("/a/", PathStyle::Posix), "");
    EXPECT_EQ(FileNameFromPath("/", PathStyle::Posix), "");
    // A backslash is an ordinary character of a POSIX file name.
    EXPECT_EQ(FileNameFromPath(R"(/a/x\y.doc)", PathStyle::Posix), R"(x\y.doc)");
}

// The helpers' default style is the one Qt writes native paths in.
TEST(NativePathStyle, IsThePlatformsOwn) {
    EXPECT_EQ(PathSeparator(), QDir::separator());
    EXPECT_EQ(FileNameFromPath(QDir::toNativeSeparators("/home/u/report.docx")), "report.docx");
}

class NormalizeWindowsPath : public testing::TestWithParam<PathCase> {};

TEST_P(NormalizeWindowsPath, CollapsesPairsAndKeepsNetworkPrefix) {
    EXPECT_EQ(NormalizePath(GetParam().input, PathStyle::Windows), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, NormalizeWindowsPath,
    testing::Values(PathCase{R"(C:\Out\\x.txt)", R"(C:\Out\x.txt)"},
                    PathCase{R"(\\server\share\\x.txt)", R"(\\server\share\x.txt)"},
                    PathCase{R"(\\\server\x)", R"(\\server\x)"},
                    PathCase{R"(\folder\x)", R"(\\folder\x)"},
                    PathCase{R"(C:\a\\b)", R"(C:\a\b)"},       // run of 2 -> 1
                    PathCase{R"(C:\a\\\b)", R"(C:\a\\b)"},     // run of 3 -> 2
                    PathCase{R"(C:\a\\\\b)", R"(C:\a\\b)"},    // run of 4 -> 2
                    PathCase{R"(C:\a\\\\\b)", R"(C:\a\\\b)"},  // run of 5 -> 3
                    PathCase{R"(C:\Out\\)", R"(C:\Out\)"},     // trailing run
                    PathCase{R"(\\\\\x\\y)", R"(\\x\y)"},      // leading run, then a pair
                    PathCase{R"(\)", R"(\\)"},                 // only backslashes
                    PathCase{R"(\\\\\)", R"(\\)"},             // only backslashes
                    PathCase{"", ""},                          // empty stays empty
                    PathCase{"report.doc", "report.doc"},      // nothing to do
                    PathCase{"C:/a//b", "C:/a//b"}));          // slashes are not separators

class NormalizePosixPath : public testing::TestWithParam<PathCase> {};

TEST_P(NormalizePosixPath, CollapsesPairsAndKeepsOneRoot) {
    EXPECT_EQ(NormalizePath(GetParam().input, PathStyle::Posix), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, NormalizePosixPath,
    testing::Values(PathCase{"/Out//x.txt", "/Out/x.txt"},
                    PathCase{"//server/share//x.txt", "/server/share/x.txt"},
                    PathCase{"///home/x", "/home/x"}, PathCase{"/home/x", "/home/x"},
                    PathCase{"/a//b", "/a/b"},         // run of 2 -> 1
                    PathCase{"/a///b", "/a//b"},       // run of 3 -> 2
                    PathCase{"/a////b", "/a//b"},      // run of 4 -> 2
                    PathCase{"/out//", "/out/"},       // trailing run
                    PathCase{"/", "/"},                // only slashes
                    PathCase{"////", "/"},             // only slashes
                    PathCase{"", ""},                  // empty stays empty
                    PathCase{"a//b", "a/b"},           // relative path stays relative
                    PathCase{R"(a\\b)", R"(a\\b)"}));  // backslashes are name characters

class IsExistingFolderTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(temp_.isValid());
        folder_ = temp_.filePath("folder");
        file_ = temp_.filePath("file.doc");
        ASSERT_TRUE(QDir().mkdir(folder_));
        QFile file(file_);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    QTemporaryDir temp_;
    QString folder_;
    QString file_;
};

TEST_F(IsExistingFolderTest, FolderWithOrWithoutTrailingSeparatorAndRoot) {
    EXPECT_TRUE(IsExistingFolder(folder_));
    EXPECT_TRUE(IsExistingFolder(folder_ + "/"));
    EXPECT_TRUE(IsExistingFolder(folder_ + "//"));
    EXPECT_TRUE(IsExistingFolder("/"));
}

TEST_F(IsExistingFolderTest, FileEmptyAndMissingAreNotFolders) {
    EXPECT_FALSE(IsExistingFolder(""));
    EXPECT_FALSE(IsExistingFolder(file_));
    EXPECT_FALSE(IsExistingFolder(file_ + "/"));
    EXPECT_FALSE(IsExistingFolder(temp_.filePath("missing")));
    EXPECT_FALSE(IsExistingFolder(temp_.filePath("missing") + "/"));
}

#ifndef _WIN32
TEST_F(IsExistingFolderTest, LinksAreFollowed) {
    ASSERT_EQ(::symlink(QFile::encodeName(folder_).constData(),
                        QFile::encodeName(temp_.filePath("to-folder")).constData()),
              0);
    ASSERT_EQ(::symlink(QFile::encodeName(temp_.filePath("gone")).constData(),
                        QFile::encodeName(temp_.filePath("dangling")).constData()),
              0);
    EXPECT_TRUE(IsExistingFolder(temp_.filePath("to-folder")));
    EXPECT_FALSE(IsExistingFolder(temp_.filePath("dangling")));
}
#endif

TEST_F(IsExistingFolderTest, EmbeddedNulNeverTestsTheShorterPath) {
    EXPECT_FALSE(IsExistingFolder(folder_ + QChar(u'\0') + "x"));
}
