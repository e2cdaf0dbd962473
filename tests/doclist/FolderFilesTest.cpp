#include "TempTree.h"
#include "doclist/AddFolder.h"
#include "doclist/DroppedPaths.h"
#include "doclist/FileAttributes.h"
#include "doclist/FileSystemView.h"
#include "doclist/FolderFiles.h"
#include "doclist/StepGuard.h"
#include "platform/HandlerTrap.h"
#include "platform/RuntimeError.h"
#include "support/FakeDialogs.h"

#include <gtest/gtest.h>

#include <QHash>

namespace {

class StagedFileSystem : public FileSystemView {
public:
    QHash<QString, int> attributeWords;
    QHash<QString, int> listingFailures;

    int AttributeWord(const QString& path) override {
        const auto staged = attributeWords.constFind(path);
        return staged != attributeWords.cend() ? *staged : FileSystemView::AttributeWord(path);
    }
    // Every staged word is read, whatever the name.
    bool CanBeHidden(const QString&) override { return true; }
    QStringList MatchingFileNames(const QString& folder, const QString& pattern) override {
        if (listingFailures.contains(folder)) {
            throw RuntimeError(listingFailures.value(folder), QStringLiteral("listing refused"));
        }
        return FileSystemView::MatchingFileNames(folder, pattern);
    }
};

class FolderFilesTest : public ::testing::Test {
protected:
    QStringList Scan(const QString& pattern, StepGuard& guard) {
        QStringList folders{tree.Root() + QDir::separator()};
        AddFolder::FolderWalk walk{dialogs, nullptr, [] {}, &fileSystem};
        AddFolder::ExpandSubfolders(folders, true, walk);
        QStringList rows;
        AddFolder::AppendFolderSetFiles(folders, pattern, &fileSystem, guard,
                                        [&](const QStringList& found) { rows += found; });
        return rows;
    }
    QStringList Relative(const QStringList& rows) const {
        QStringList relative;
        for (const QString& row : rows) {
            relative.append(row.startsWith(tree.Root() + QDir::separator()) ? tree.Relative(row)
                                                                            : row);
        }
        return relative;
    }

    TempTree tree;
    FakeDialogs dialogs;
    StagedFileSystem fileSystem;
};

#ifndef _WIN32  // a leading dot hides a file on POSIX only
TEST_F(FolderFilesTest, AppliesTheTildeAndHiddenArchiveRulesLevelByLevel) {
    tree.File("report.doc");
    tree.File("~$report.doc");
    tree.File(".hidden.doc");  // hidden + archive + writable: 34
    tree.File(".kept-read-only.doc");
    tree.Mode(".kept-read-only.doc", 0444);  // 35
    tree.File("hidden-only.doc");
    fileSystem.attributeWords.insert(tree.Path("hidden-only.doc"), 2);
    tree.File("notes.txt");
    tree.File("sub/inner.DOC");
    tree.File("sub/deeper/last.doc");
    tree.File("another/a.doc");
    SilentStepGuard guard;
    EXPECT_EQ(Relative(Scan(AddFolder::PatternForExtension("doc"), guard)),
              (QStringList{".kept-read-only.doc", "hidden-only.doc", "report.doc", "another/a.doc",
                           "sub/inner.DOC", "sub/deeper/last.doc"}));
}
#endif

TEST_F(FolderFilesTest, PatternsFromTypedExtensions) {
    tree.File("a.doc");
    tree.File("b.docx");
    tree.File("c.dot");
    tree.File("d.txt");
    tree.File("noext");
    SilentStepGuard guard;
    EXPECT_EQ(Relative(Scan(AddFolder::PatternForExtension("*"), guard)),
              (QStringList{"a.doc", "b.docx", "c.dot", "d.txt", "noext"}));
    EXPECT_EQ(Relative(Scan(AddFolder::PatternForExtension("do*"), guard)),
              (QStringList{"a.doc", "b.docx", "c.dot"}));
    EXPECT_TRUE(Scan(AddFolder::PatternForExtension(".doc"), guard).isEmpty());
}

TEST_F(FolderFilesTest, ListingFailureIsReportedAtLine122AndOtherFoldersStillCount) {
    tree.File("sub/a.doc");
    tree.File("top.doc");
    fileSystem.listingFailures.insert(tree.Path("sub/"), ErrorNumbers::kPermissionDenied);
    HandlerTrap trap(dialogs, nullptr, HandlerTags::kAddFolderTree);
    ReportingStepGuard guard(trap);
    EXPECT_EQ(Relative(Scan("*.doc", guard)), QStringList{"top.doc"});
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_TRUE(
        dialogs.Messages().front().text.contains(HandlerTags::kAddFolderTree + "at line 122"));
}

TEST_F(FolderFilesTest, RowsOfARootCarryOneSeparator) {
    // The picked root enters the set as "//": the rows are normalised back to single separators.
    QStringList rows;
    SilentStepGuard guard;
    tree.File("x.doc");
    AddFolder::AppendFolderSetFiles({tree.Root() + QDir::separator() + QDir::separator()}, "*.doc",
                                    &fileSystem, guard,
                                    [&](const QStringList& found) { rows += found; });
    EXPECT_EQ(rows, QStringList{tree.Path("x.doc")});
}

TEST_F(FolderFilesTest, DroppedPathsKeepTheirOrderAndFilesStayUnchanged) {
    tree.File("folderA/a1.bin");
    tree.File("folderA/~lock.doc");
    tree.File("folderA/sub/a2.png");
    tree.File("folderB/b1.doc");
    tree.File("loose/~$draft.docx");
    tree.File("loose/photo.jpg");
    const QStringList dropped{tree.Path("folderA"), tree.Path("loose/~$draft.docx"),
                              tree.Path("folderB/"), tree.Path("loose//photo.jpg")};
    QStringList rows;
    AddFolder::FolderWalk walk{dialogs, nullptr, [] {}, &fileSystem};
    const auto outcomes = DroppedPaths::AddDroppedPaths(
        dropped, walk, [&](const QStringList& found) { rows += found; });
    EXPECT_EQ(Relative(rows),
              (QStringList{"folderA/a1.bin", "folderA/sub/a2.png", "loose/~$draft.docx",
                           "folderB/b1.doc", "loose//photo.jpg"}));
    using DroppedPaths::DropOutcome;
    EXPECT_EQ(outcomes,
              (std::vector<DropOutcome>{DropOutcome::kFolderWalked, DropOutcome::kFileListed,
                                        DropOutcome::kFolderWalked, DropOutcome::kFileListed}));
}

TEST_F(FolderFilesTest, VanishedDroppedPathIsSkippedAndTheRestListed) {
    tree.File("here.doc");
    QStringList rows;
    AddFolder::FolderWalk walk{dialogs, nullptr, [] {}, &fileSystem};
    const auto outcomes =
        DroppedPaths::AddDroppedPaths({tree.Path("gone.doc"), tree.Path("here.doc")}, walk,
                                      [&](const QStringList& found) { rows += found; });
    EXPECT_EQ(rows, QStringList{tree.Path("here.doc")});
    EXPECT_EQ(outcomes.front(), DroppedPaths::DropOutcome::kSkipped);
    EXPECT_TRUE(dialogs.shown.empty());
}

}  // namespace
