#include "TempTree.h"
#include "doclist/AddFolder.h"
#include "doclist/FileAttributes.h"
#include "doclist/FileSystemView.h"
#include "platform/HandlerTrap.h"
#include "platform/RuntimeError.h"
#include "support/FakeDialogs.h"

#include <gtest/gtest.h>

#include <QHash>

#ifndef _WIN32
#include "support/Unprivileged.h"
#endif

namespace {

// The real file system with failures and attribute words staged per folder path.
class StagedFileSystem : public FileSystemView {
public:
    QHash<QString, int> enumerateFailures;  // folder -> error number
    QHash<QString, int> inspectFailures;
    QHash<QString, int> attributeWords;
    QString rootFolder;  // reported as a drive root

    int AttributeWord(const QString& path) override {
        const auto staged = attributeWords.constFind(path);
        return staged != attributeWords.cend() ? *staged : FileSystemView::AttributeWord(path);
    }
    FolderInfo InspectFolder(const QString& folder) override {
        if (inspectFailures.contains(folder)) {
            throw RuntimeError(inspectFailures.value(folder), QStringLiteral("staged failure"));
        }
        FolderInfo info = FileSystemView::InspectFolder(folder);
        info.attributes = AttributeWord(folder);
        info.isRoot = info.isRoot || folder == rootFolder;
        return info;
    }
    QStringList SubFolderNames(const QString& folder) override {
        if (enumerateFailures.contains(folder)) {
            throw RuntimeError(enumerateFailures.value(folder), QStringLiteral("staged failure"));
        }
        return FileSystemView::SubFolderNames(folder);
    }
};

class FolderWalkTest : public ::testing::Test {
protected:
    QStringList Walk(const QString& top) {
        QStringList folders{top};
        AddFolder::FolderWalk walk{dialogs, nullptr, [this] { ++yields; }, &fileSystem};
        AddFolder::ExpandSubfolders(folders, true, walk);
        return folders;
    }
    QString Top() const { return tree.Root() + QDir::separator(); }
    QStringList Relative(const QStringList& folders) const {
        QStringList relative;
        for (const QString& folder : folders) {
            relative.append(QDir::fromNativeSeparators(folder.mid(Top().size())));
        }
        return relative;
    }

    TempTree tree;
    FakeDialogs dialogs;
    StagedFileSystem fileSystem;
    int yields = 0;
};

TEST_F(FolderWalkTest, ListsFoldersLevelByLevelGroupedByParent) {
    tree.Folder("b/b2/deep");
    tree.Folder("a/a1");
    tree.Folder("a/a2");
    tree.Folder("c");
    const QStringList folders = Walk(Top());
    EXPECT_EQ(Relative(folders),
              (QStringList{"", "a/", "b/", "c/", "a/a1/", "a/a2/", "b/b2/", "b/b2/deep/"}));
    EXPECT_EQ(yields, 8) << "one yield per folder reached";
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(FolderWalkTest, WalksHiddenFoldersButSkipsUnsafeAndQuestionMarkNames) {
    tree.Folder(".hidden/inner");
    tree.Folder("tab\tname/below");
    tree.Folder("what?/below");
    tree.Folder("plain");
    EXPECT_EQ(Relative(Walk(Top())), (QStringList{"", ".hidden/", "plain/", ".hidden/inner/"}));
}

TEST_F(FolderWalkTest, HiddenSystemFoldersAreNeitherListedNorDescended) {
    tree.Folder("sys22/below");
    tree.Folder("sys1046/below");
    tree.Folder("hidden18/below");
    fileSystem.attributeWords.insert(tree.Path("sys22/"), AddFolder::kHiddenSystemFolder);
    fileSystem.attributeWords.insert(tree.Path("sys1046/"), AddFolder::kHiddenSystemAliasFolder);
    fileSystem.attributeWords.insert(tree.Path("hidden18/"), 18);
    EXPECT_EQ(Relative(Walk(Top())), (QStringList{"", "hidden18/", "hidden18/below/"}));
}

TEST_F(FolderWalkTest, DriveRootIsDescendedWhateverItsAttributeWord) {
    tree.Folder("docs");
    fileSystem.rootFolder = Top();
    fileSystem.attributeWords.insert(Top(), AddFolder::kHiddenSystemFolder);
    EXPECT_EQ(Relative(Walk(Top())), (QStringList{"", "docs/"}));
}

#ifndef _WIN32  // symbolic links and permission bits as POSIX has them
TEST_F(FolderWalkTest, SymbolicLinkLoopEndsAndIsNotListedTwice) {
    tree.Folder("a/b");
    ASSERT_TRUE(tree.Link(tree.Path("a"), "a/b/back-to-a"));
    ASSERT_TRUE(tree.Link(tree.Root(), "a/to-top"));
    EXPECT_EQ(Relative(Walk(Top())), (QStringList{"", "a/", "a/b/"}));
}
#endif

TEST_F(FolderWalkTest, PermissionFailureDropsTheFolderSilentlyAndTheLevelGoesOn) {
    tree.Folder("locked/below");
    tree.Folder("open/below");
    fileSystem.enumerateFailures.insert(tree.Path("locked/"), ErrorNumbers::kPermissionDenied);
    EXPECT_EQ(Relative(Walk(Top())), (QStringList{"", "open/", "open/below/"}));
    EXPECT_TRUE(dialogs.shown.empty());
}

#ifndef _WIN32  // symbolic links and permission bits as POSIX has them
TEST_F(FolderWalkTest, RealUnreadableFolderIsDropped) {
    if (corvanel::testing::RerunAsUnprivilegedUser()) {
        return;  // permission bits do not stop root
    }
    tree.Folder("locked/below");
    tree.Mode("locked", 0);
    const QStringList folders = Walk(Top());
    tree.Mode("locked", 0755);
    EXPECT_EQ(Relative(folders), (QStringList{""}));
}
#endif

TEST_F(FolderWalkTest, OtherEnumerationFailureKeepsTheFolderWithoutReport) {
    tree.Folder("flaky/below");
    fileSystem.enumerateFailures.insert(tree.Path("flaky/"), ErrorNumbers::kPathFileAccess);
    EXPECT_EQ(Relative(Walk(Top())), (QStringList{"", "flaky/"}));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(FolderWalkTest, UnexpectedInspectionFailureIsReportedWithTheWalkTag) {
    tree.Folder("odd/below");
    fileSystem.inspectFailures.insert(tree.Path("odd/"), ErrorNumbers::kInternal);
    EXPECT_EQ(Relative(Walk(Top())), (QStringList{"", "odd/"}));
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    const MessageRequest report = dialogs.Messages().front();
    EXPECT_EQ(report.caption, "Application Error");
    EXPECT_TRUE(report.text.contains(HandlerTags::kExpandSubfolders + "at line 112"))
        << report.text.toStdString();
}

TEST_F(FolderWalkTest, VanishedAndMissingFoldersAreSkippedWithoutMessage) {
    tree.Folder("gone/below");
    fileSystem.inspectFailures.insert(tree.Path("gone/"), ErrorNumbers::kPathNotFound);
    EXPECT_EQ(Relative(Walk(Top())), (QStringList{""}));
    EXPECT_EQ(Walk(tree.Path("nowhere/")), QStringList{tree.Path("nowhere/")})
        << "the caller's own entry stays, as the walk only drops failed enumerations";
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(FolderWalkTest, LongPathsAreListedButNotDescended) {
    // Each level adds 51 characters, so the deepest folders pass 260 characters.
    QString relative;
    for (int level = 0; level < 6; ++level) {
        relative += QString(50, QChar(u'a' + level)) + u'/';
    }
    tree.Folder(relative);
    const QStringList folders = Walk(Top());
    ASSERT_FALSE(folders.isEmpty());
    const QString& deepest = folders.last();
    EXPECT_GE(deepest.size(), 260);
    EXPECT_LT(deepest.size() - 51, 260) << "its parent was short enough to be descended";
}

TEST_F(FolderWalkTest, DuplicateEntriesOfTheCallerStay) {
    tree.Folder("x");
    QStringList folders{Top(), Top()};
    AddFolder::FolderWalk walk{dialogs, nullptr, [] {}, &fileSystem};
    AddFolder::ExpandSubfolders(folders, true, walk);
    EXPECT_EQ(Relative(folders), (QStringList{"", "", "x/"}));
}

TEST_F(FolderWalkTest, WithoutRecursionOnlyOneLevelIsAdded) {
    tree.Folder("a/b");
    QStringList folders{Top()};
    AddFolder::FolderWalk walk{dialogs, nullptr, [] {}, &fileSystem};
    AddFolder::ExpandSubfolders(folders, false, walk);
    EXPECT_EQ(Relative(folders), (QStringList{"", "a/"}));
}

}  // namespace
