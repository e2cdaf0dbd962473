#include "platform/QtDialogs.h"

#include "TestApplication.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

namespace {

// Acts on the modal dialog once it is up (the dialog's own event loop runs the timer).
void WhenModalShown(std::function<void(QWidget*)> action) {
    QTimer::singleShot(0, [action] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        action(dialog);
    });
}

class QtDialogsTest : public testing::Test {
protected:
    void SetUp() override { EnsureTestApplication(); }
    QtDialogs dialogs_;
};

}  // namespace

TEST(FolderWithoutTrailingSeparator, DropsTrailingSeparatorButKeepsTheRoot) {
    const QString folder = QDir::toNativeSeparators("/home/u");
    const QString root = QDir::toNativeSeparators(QDir::rootPath());  // "/" or "C:\"
    EXPECT_EQ(FolderWithoutTrailingSeparator(folder + QDir::separator()), folder);
    EXPECT_EQ(FolderWithoutTrailingSeparator(folder), folder);
    EXPECT_EQ(FolderWithoutTrailingSeparator(root), root);
    EXPECT_EQ(FolderWithoutTrailingSeparator(""), "");
}

TEST(MessageTextForDisplay, CarriageReturnsBecomeLineBreaks) {
    EXPECT_EQ(MessageTextForDisplay("Bad\r\nin X at line 1\r\rPlease"),
              "Bad\nin X at line 1\n\nPlease");
}

TEST_F(QtDialogsTest, ReportShowsExactPlainTextWarningIconAndOkOnly) {
    MessageRequest request{"<b>a&b</b>\r\nline", "Application Error", MessageButtons::Ok,
                           MessageIcon::Exclamation};
    bool checked = false;
    WhenModalShown([&](QWidget* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), "Application Error");
        EXPECT_EQ(box->text(), "<b>a&b</b>\nline");
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        checked = true;
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(dialogs_.ShowMessage(nullptr, request), MessageAnswer::Ok);
    EXPECT_TRUE(checked);
}

TEST_F(QtDialogsTest, QuestionHasYesAndNoWithoutIconAndReturnsTheChoice) {
    MessageRequest request{"Proceed?", "Corvanel", MessageButtons::YesNo, MessageIcon::None};
    for (const auto& [button, answer] : {std::pair{QMessageBox::Yes, MessageAnswer::Yes},
                                         std::pair{QMessageBox::No, MessageAnswer::No}}) {
        WhenModalShown([button = button](QWidget* dialog) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
            EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
            box->button(button)->click();
        });
        EXPECT_EQ(dialogs_.ShowMessage(nullptr, request), answer);
    }
}

TEST_F(QtDialogsTest, InputBoxReturnsTheEntryOrEmptyWhenCancelled) {
    const InputRequest request{"Enter the file extension:", "Corvanel", "doc"};
    WhenModalShown([](QWidget* dialog) {
        auto* input = qobject_cast<QInputDialog*>(dialog);
        ASSERT_NE(input, nullptr);
        EXPECT_EQ(input->windowTitle(), "Corvanel");
        EXPECT_EQ(input->labelText(), "Enter the file extension:");
        EXPECT_EQ(input->textValue(), "doc");
        input->setTextValue("rtf");
        input->accept();
    });
    EXPECT_EQ(dialogs_.InputBox(nullptr, request), "rtf");

    WhenModalShown([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
    EXPECT_EQ(dialogs_.InputBox(nullptr, request), "");
}

TEST_F(QtDialogsTest, PickFolderStartsInTheGivenFolderAndReturnsTheChoice) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows shows its own folder picker, which a test cannot drive";
#endif
    QTemporaryDir temp;
    ASSERT_TRUE(QDir(temp.path()).mkdir("chosen"));
    WhenModalShown([&](QWidget* dialog) {
        auto* picker = qobject_cast<QFileDialog*>(dialog);
        ASSERT_NE(picker, nullptr);
        EXPECT_EQ(picker->windowTitle(), "Choose a folder");
        EXPECT_EQ(picker->directory().absolutePath(), temp.path());
        EXPECT_EQ(picker->fileMode(), QFileDialog::Directory);
        picker->selectFile(temp.filePath("chosen"));
        static_cast<QDialog*>(picker)->accept();
    });
    EXPECT_EQ(dialogs_.PickFolder(nullptr, "Choose a folder", temp.path() + "/"),
              temp.filePath("chosen"));

    WhenModalShown([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
    EXPECT_EQ(dialogs_.PickFolder(nullptr, "Choose a folder", temp.path()), "");
}
