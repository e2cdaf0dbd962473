// The folder rules on real Windows attribute bits (set with SetFileAttributesW), which POSIX
// cannot give a file.
#include "TempTree.h"
#include "doclist/AddFolder.h"
#include "doclist/FileAttributes.h"
#include "doclist/FolderFiles.h"
#include "doclist/StepGuard.h"
#include "support/FakeDialogs.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

bool SetAttributes(const QString& path, DWORD bits) {
    return ::SetFileAttributesW(reinterpret_cast<const wchar_t*>(path.utf16()), bits) != 0;
}

class AttributeRulesTest : public ::testing::Test {
protected:
    struct Entry {
        const char* name;
        DWORD bits;
        bool folder;
        int word;
    };
    void SetUp() override {
        for (const Entry& entry : entries) {
            entry.folder ? tree.Folder(entry.name) : tree.File(entry.name);
            ASSERT_TRUE(SetAttributes(tree.Path(entry.name), entry.bits)) << entry.name;
        }
    }
    // Wine marks every file archived, whatever was asked: such entries cannot test the word.
    bool Kept(const Entry& entry) const {
        const DWORD bits =
            ::GetFileAttributesW(reinterpret_cast<const wchar_t*>(tree.Path(entry.name).utf16()));
        return (bits & ~DWORD{FILE_ATTRIBUTE_DIRECTORY}) == entry.bits;
    }
    // A read-only file would outlive its temporary folder.
    void TearDown() override {
        for (const Entry& entry : entries) {
            SetAttributes(tree.Path(entry.name), FILE_ATTRIBUTE_NORMAL);
        }
    }

    static constexpr DWORD kHidden = FILE_ATTRIBUTE_HIDDEN;
    const Entry entries[6] = {
        {"plain.doc", FILE_ATTRIBUTE_ARCHIVE, false, 32},
        {"hidden.doc", kHidden | FILE_ATTRIBUTE_ARCHIVE, false, AddFolder::kHiddenArchiveFile},
        {"hidden-read-only.doc", kHidden | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY, false,
         35},
        {"read-only-hidden.doc", kHidden | FILE_ATTRIBUTE_READONLY, false, 3},
        {"system", kHidden | FILE_ATTRIBUTE_SYSTEM, true, AddFolder::kHiddenSystemFolder},
        {"hidden-folder", kHidden, true, 18},
    };
    TempTree tree;
};

TEST_F(AttributeRulesTest, TheWordIsTheFileSystemsOwnBits) {
    for (const Entry& entry : entries) {
        if (Kept(entry)) {
            EXPECT_EQ(AddFolder::FileAttributeWord(tree.Path(entry.name)), entry.word)
                << entry.name;
        }
    }
    EXPECT_EQ(AddFolder::FileAttributeWord(tree.Path("system\\")), AddFolder::kHiddenSystemFolder);
}

TEST_F(AttributeRulesTest, ScanSkipsWord34FilesAndHiddenSystemFolders) {
    tree.File("system/inside.doc");
    tree.File("hidden-folder/inside.doc");
    FakeDialogs dialogs;
    QStringList folders{tree.Root() + u'\\'};
    AddFolder::FolderWalk walk{dialogs, nullptr, [] {}, nullptr};
    AddFolder::ExpandSubfolders(folders, true, walk);
    QStringList rows;
    SilentStepGuard guard;
    AddFolder::AppendFolderSetFiles(folders, "*.doc", nullptr, guard,
                                    [&](const QStringList& found) { rows += found; });
    for (QString& row : rows) {
        row = tree.Relative(row);
    }
    EXPECT_EQ(rows, (QStringList{"hidden-read-only.doc", "plain.doc", "read-only-hidden.doc",
                                 "hidden-folder/inside.doc"}));
}

}  // namespace
