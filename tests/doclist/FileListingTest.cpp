#include "TempTree.h"
#include "doclist/AddFolder.h"
#include "doclist/FileAttributes.h"
#include "platform/RuntimeError.h"

#include <gtest/gtest.h>

namespace {

// The platform matches the pattern (our matcher on POSIX, FindFirstFileExW on Windows); both
// follow the same rules for the patterns the folder scan makes.
TEST(ListFilesInFolderTest, MatchesByTheFolderListingRules) {
    TempTree tree;
    const QStringList all{"a.b.c.doc",  "a.dot",  "no-dot-at-all", "notes.txt",
                          "Report.DOC", "x..doc", "[x].doc"};
    for (const QString& name : all) {
        tree.File(name);
    }
    const struct {
        const char* pattern;
        QStringList names;
    } cases[] = {
        {"*.doc", {"a.b.c.doc", "Report.DOC", "x..doc", "[x].doc"}},
        {"*.DOC", {"a.b.c.doc", "Report.DOC", "x..doc", "[x].doc"}},
        {"*.do?", {"a.b.c.doc", "a.dot", "Report.DOC", "x..doc", "[x].doc"}},
        {"*.*", all},
        {"*.txt", {"notes.txt"}},
        {"*..doc", {"x..doc"}},
        {"[x].doc", {"[x].doc"}},
        {"*.rtf", {}},
    };
    for (const auto& test : cases) {
        QStringList names = AddFolder::ListFilesInFolder(tree.Root(), test.pattern);
        QStringList expected = test.names;
        names.sort(Qt::CaseInsensitive);
        expected.sort(Qt::CaseInsensitive);
        EXPECT_EQ(names, expected) << test.pattern;
    }
}

TEST(ListFilesInFolderTest, MatchesCaseInsensitivelyWithHiddenFilesAndWithoutFolders) {
    TempTree tree;
    tree.File("one.doc");
    tree.File("TWO.DOC");
    tree.File(".hidden.doc");
    tree.Folder("folder.doc");
    const QStringList names = AddFolder::ListFilesInFolder(tree.Root(), "*.doc");
    EXPECT_EQ(names, (QStringList{".hidden.doc", "one.doc", "TWO.DOC"}));
    EXPECT_EQ(AddFolder::ListFilesInFolder(tree.Root() + "/", "*.doc"), names)
        << "a trailing separator makes no difference";
}

TEST(ListFilesInFolderTest, StarDotStarListsEveryFileAndManyFilesAllCome) {
    TempTree tree;
    for (int i = 0; i < 250; ++i) {
        tree.File(QStringLiteral("file%1").arg(i, 3, 10, QChar(u'0')));
    }
    tree.File("with.ext");
    const QStringList names = AddFolder::ListFilesInFolder(tree.Root(), "*.*");
    ASSERT_EQ(names.size(), 251);
    EXPECT_EQ(names.first(), "file000");
    EXPECT_EQ(names.last(), "with.ext");
}

#ifndef _WIN32  // symbolic links, permission bits and dot names are POSIX's
TEST(ListFilesInFolderTest, SkipsEntriesThatAreNotOpenableFiles) {
    TempTree tree;
    tree.File("real.txt");
    ASSERT_TRUE(tree.Link(tree.Path("missing.txt"), "dangling.txt"));
    EXPECT_EQ(AddFolder::ListFilesInFolder(tree.Root(), "*.txt"), QStringList{"real.txt"});
}
#endif

TEST(ListFilesInFolderTest, MissingFolderGivesNoNames) {
    TempTree tree;
    EXPECT_TRUE(AddFolder::ListFilesInFolder(tree.Path("nowhere"), "*.*").isEmpty());
}

#ifndef _WIN32  // symbolic links, permission bits and dot names are POSIX's
TEST(FileAttributeWordTest, MapsPosixEntriesOntoTheAttributeWord) {
    using namespace AddFolder::Attribute;
    TempTree tree;
    tree.File("plain.doc");
    tree.File(".hidden.doc");
    tree.File(".hidden-read-only.doc");
    tree.Mode(".hidden-read-only.doc", 0444);
    tree.Folder("folder");
    tree.Folder(".hidden-folder");
    ASSERT_TRUE(tree.Link(tree.Path("folder"), "folder-link"));
    ASSERT_TRUE(tree.Link(tree.Path("plain.doc"), "file-link"));

    EXPECT_EQ(AddFolder::FileAttributeWord(tree.Path("plain.doc")), kArchive);
    EXPECT_EQ(AddFolder::FileAttributeWord(tree.Path(".hidden.doc")),
              AddFolder::kHiddenArchiveFile);
    EXPECT_EQ(AddFolder::FileAttributeWord(tree.Path(".hidden-read-only.doc")), 35);
    EXPECT_EQ(AddFolder::FileAttributeWord(tree.Path("folder")), kDirectory);
    EXPECT_EQ(AddFolder::FileAttributeWord(tree.Path("folder/")), kDirectory);
    EXPECT_EQ(AddFolder::FileAttributeWord(tree.Path(".hidden-folder")), kDirectory | kHidden);
    EXPECT_EQ(AddFolder::FileAttributeWord(tree.Path("folder-link")), kDirectory | kAlias);
    EXPECT_EQ(AddFolder::FileAttributeWord(tree.Path("file-link")), kArchive | kAlias);
}
#endif

TEST(FileAttributeWordTest, UnreadableEntryRaisesARuntimeError) {
    TempTree tree;
    try {
        AddFolder::FileAttributeWord(tree.Path("vanished.doc"));
        FAIL() << "no error raised";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), ErrorNumbers::kFileNotFound);
        EXPECT_TRUE(error.Description().contains("vanished.doc"));
    }
}

}  // namespace
