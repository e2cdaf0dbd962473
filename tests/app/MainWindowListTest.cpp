#include "MainWindowHarness.h"

#include "doclist/DocumentListView.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class MainWindowListTest : public MainWindowHarness {
protected:
    void SetUp() override {
        MainWindowHarness::SetUp();
        Start();
        list = Child<DocumentListView>("ListView1");
        text1 = Child<QLineEdit>("Text1");
    }

    void Click(const char* button) {
        QTest::mouseClick(Child<QPushButton>(button), Qt::LeftButton);
    }

    QPoint RowCentre(int position) const {
        return list->visualRect(list->model()->index(position - 1, 0)).center();
    }
    void SelectRow(int position) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowCentre(position));
    }

    DocumentListView* list = nullptr;
    QLineEdit* text1 = nullptr;
};

TEST_F(MainWindowListTest, AddByDialogAppendsOneFileUnchanged) {
    form->DocumentList().Append(QStringLiteral("/d/first.doc"));
    dialogs.openFilesAnswers = {{QStringLiteral("/d//odd name.docx")}};
    Click("PushButton1");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].openFiles.title,
              QStringLiteral("Add File(s) - Hold Ctrl to select multiple files"));
    EXPECT_EQ(dialogs.shown[0].openFiles.filter,
              QStringLiteral("Word Documents (*.do*);;All Files (*.*)"));
    EXPECT_EQ(form->DocumentList().Texts(), (QStringList{"/d/first.doc", "/d//odd name.docx"}));
}

TEST_F(MainWindowListTest, AddByDialogAppendsSeveralFilesNormalisedInTheDialogsOrder) {
    dialogs.openFilesAnswers = {SystemPaths({"/docs/b.doc", "/docs/a.doc", "/docs/a.doc"}),
                                SystemPaths({"/a.doc", "/b.doc"})};
    Click("PushButton1");
    Click("PushButton1");
    EXPECT_EQ(form->DocumentList().Texts(),
              SystemPaths({"/docs/b.doc", "/docs/a.doc", "/docs/a.doc", "/a.doc", "/b.doc"}));
    EXPECT_TRUE(dialogs.Messages().empty());
}

TEST_F(MainWindowListTest, CancellingTheDialogAddsNothing) {
    dialogs.openFilesAnswers = {{}};
    Click("PushButton1");
    EXPECT_EQ(form->DocumentList().Count(), 0);
    EXPECT_TRUE(dialogs.Messages().empty());
}

TEST_F(MainWindowListTest, DeleteWithAnyShiftStateAndDoubleClickRemoveTheSelectedRow) {
    form->DocumentList().AppendMany({"A", "B", "C", "D", "E"});
    SelectRow(2);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(form->DocumentList().Texts(), (QStringList{"A", "C", "D", "E"}));
    SelectRow(1);
    QTest::keyClick(list, Qt::Key_Delete, Qt::ShiftModifier);
    SelectRow(1);
    QTest::keyClick(list, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(form->DocumentList().Texts(), (QStringList{"D", "E"}));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, RowCentre(2));
    EXPECT_EQ(form->DocumentList().Texts(), QStringList{"D"});
    QTest::keyClick(list, Qt::Key_Backspace);
    EXPECT_EQ(form->DocumentList().Count(), 1);
}

TEST_F(MainWindowListTest, RemovalWithoutASelectionOrOnAnEmptyListDoesNothing) {
    QTest::keyClick(list, Qt::Key_Delete);
    form->DocumentList().AppendMany({"A", "B"});
    list->clearSelection();
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(form->DocumentList().Count(), 2);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(MainWindowListTest, RemovalAndClearingAreRefusedWhileTheHourglassShows) {
    form->DocumentList().AppendMany({"A", "B"});
    SelectRow(1);
    form->ShowBusyPointer(true);
    QTest::keyClick(list, Qt::Key_Delete);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, RowCentre(1));
    Click("PushButton6");
    EXPECT_EQ(form->DocumentList().Count(), 2);
    form->ShowBusyPointer(false);
    Click("PushButton6");
    EXPECT_EQ(form->DocumentList().Count(), 0);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(MainWindowListTest, APickedFolderGetsOneTrailingSeparatorAndIsRemembered) {
    const QString start = SystemPath("/start"), out = SystemPath("/home/user/out");
    const QString root = SystemPath("/");
    SaveSetting(QStringLiteral("LastFolderDot"), start);
    dialogs.folderAnswers = {out, root};
    Click("PushButton3");
    EXPECT_EQ(dialogs.shown.back().title, QStringLiteral("Please select folder:"));
    EXPECT_EQ(dialogs.shown.back().folder, start);
    EXPECT_EQ(text1->text(), out + QDir::separator());
    EXPECT_EQ(Setting(QStringLiteral("Output Folder")), out + QDir::separator());
    EXPECT_EQ(Setting(QStringLiteral("LastFolderDot")), out);

    Click("PushButton3");  // a root keeps its one separator
    EXPECT_EQ(dialogs.shown.back().folder, out);
    EXPECT_EQ(text1->text(), root);
    EXPECT_EQ(Setting(QStringLiteral("LastFolderDot")), root);
}

TEST_F(MainWindowListTest, CancellingThePickerChangesNothing) {
    text1->setText(QStringLiteral("/kept/"));
    SaveSetting(QStringLiteral("LastFolderDot"), QStringLiteral("/kept"));
    dialogs.folderAnswers = {QString()};
    Click("PushButton3");
    EXPECT_EQ(text1->text(), QStringLiteral("/kept/"));
    EXPECT_EQ(Setting(QStringLiteral("LastFolderDot")), QStringLiteral("/kept"));
    EXPECT_EQ(dialogs.Messages().size(), 0u);
}

TEST_F(MainWindowListTest, EveryKeystrokeInTheFolderBoxIsStored) {
    text1->clear();
    QStringList stored;
    QObject::connect(text1, &QLineEdit::textChanged,
                     [&] { stored.append(Setting(QStringLiteral("Output Folder"))); });
    QTest::keyClicks(text1, QStringLiteral("/tm"));
    EXPECT_EQ(stored, (QStringList{"/", "/t", "/tm"}));
}

}  // namespace
