#include "TempTree.h"
#include "doclist/AddFolder.h"
#include "doclist/FileAttributes.h"
#include "doclist/Wildcard.h"
#include "platform/RuntimeError.h"

#include <gtest/gtest.h>

namespace {

using AddFolder::MatchesWildcard;

TEST(WildcardTest, FollowsTheFolderListingRules) {
    EXPECT_TRUE(MatchesWildcard(u"Report.DOC", u"*.doc"));
    EXPECT_TRUE(MatchesWildcard(u"report.doc", u"*.DOC"));
    EXPECT_FALSE(MatchesWildcard(u"report.docx", u"*.doc"));
    EXPECT_TRUE(MatchesWildcard(u"report.docx", u"*.do*"));
    EXPECT_TRUE(MatchesWildcard(u"a.dot", u"*.do?"));
    EXPECT_FALSE(MatchesWildcard(u"a.do", u"*.do?"));
    EXPECT_TRUE(MatchesWildcard(u"no-dot-at-all", u"*.*"));
    EXPECT_TRUE(MatchesWildcard(u"", u"*.*"));
    EXPECT_FALSE(MatchesWildcard(u"no-dot-at-all", u"*.txt"));
    EXPECT_FALSE(MatchesWildcard(u"report.doc", u"*..doc")) << "an extension typed with its dot";
    EXPECT_TRUE(MatchesWildcard(u"x..doc", u"*..doc"));
    EXPECT_TRUE(MatchesWildcard(u"a.b.c.doc", u"*.doc"));
    EXPECT_TRUE(MatchesWildcard(u"[x].doc", u"[x].doc")) << "brackets are plain characters";
    EXPECT_TRUE(MatchesWildcard(u"ÉTÉ.DOC", u"été.doc"));
    EXPECT_FALSE(MatchesWildcard(QString(2000, u'a'), QString(100, u'*') + u'b'));
}

TEST(ListFilesInFolderTest, MatchesCaseInsensitivelyWithHiddenFilesAndWithoutFolders) {
    TempTree tree;
    tree.File("one.doc");
    tree.File("TWO.DOC");
    tree.File(".hidden.doc");
    tree.File("three.docx");
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

TEST(ListFilesInFolderTest, SkipsEntriesThatAreNotOpenableFiles) {
    TempTree tree;
    tree.File("real.txt");
    ASSERT_TRUE(tree.Link(tree.Path("missing.txt"), "dangling.txt"));
    EXPECT_EQ(AddFolder::ListFilesInFolder(tree.Root(), "*.txt"), QStringList{"real.txt"});
}

TEST(ListFilesInFolderTest, MissingFolderGivesNoNames) {
    TempTree tree;
    EXPECT_TRUE(AddFolder::ListFilesInFolder(tree.Path("nowhere"), "*.*").isEmpty());
}

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
