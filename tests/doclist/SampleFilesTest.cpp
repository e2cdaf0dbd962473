#include "TempTree.h"
#include "doclist/DocumentListModel.h"
#include "doclist/SampleDocuments.h"
#include "support/FakeDialogs.h"

#include <gtest/gtest.h>

#include <QDir>

namespace {

const QString kTitle = QStringLiteral("Corvanel");

class SampleFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        tree.File("Samples/b.docx");
        tree.File("Samples/A.rtf");
        tree.File("Samples/.hidden.txt");
        tree.File("Samples/sub/not-searched.doc");
    }
    QString Samples() const { return tree.Path("Samples"); }
    QString Sample(const QString& name) const { return tree.Path("Samples/" + name); }
    void Load(MessageAnswer answer) {
        dialogs.messageAnswers.push_back(answer);
        SampleDocuments::Load(list, dialogs, nullptr, Samples(), kTitle);
    }

    TempTree tree;
    FakeDialogs dialogs;
    DocumentListModel list;
};

TEST_F(SampleFilesTest, AddsEveryFileOnceThenAsksWithYesAndNo) {
    Load(MessageAnswer::No);
    EXPECT_EQ(list.Texts(),
              (QStringList{Sample(".hidden.txt"), Sample("A.rtf"), Sample("b.docx")}));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    const MessageRequest& question = dialogs.shown.front().message;
    EXPECT_EQ(question.text, SampleDocuments::kOpenSamplesQuestion);
    EXPECT_EQ(question.text,
              "Would you like this software to open the folder where these sample files are "
              "stored (so that you can view them before working with them)?");
    EXPECT_EQ(question.caption, kTitle);
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_EQ(question.icon, MessageIcon::None);
}

TEST_F(SampleFilesTest, SecondPressAddsNothingAndStillAsks) {
    Load(MessageAnswer::No);
    Load(MessageAnswer::No);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(dialogs.Messages().size(), 2u);
}

TEST_F(SampleFilesTest, RemovedSampleComesBackAtTheEnd) {
    Load(MessageAnswer::No);
    list.RemoveAt(1);
    list.Append("/elsewhere/other.doc");
    Load(MessageAnswer::No);
    EXPECT_EQ(list.Texts(), (QStringList{Sample("A.rtf"), Sample("b.docx"), "/elsewhere/other.doc",
                                         Sample(".hidden.txt")}));
}

TEST_F(SampleFilesTest, OnlyTheExactTextCountsAsListed) {
    list.Append(Sample("A.rtf"));
    list.Append(tree.Path("Samples//b.docx"));
    Load(MessageAnswer::No);
    EXPECT_EQ(list.Texts(), (QStringList{Sample("A.rtf"), tree.Path("Samples//b.docx"),
                                         Sample(".hidden.txt"), Sample("b.docx")}));
}

TEST_F(SampleFilesTest, YesOpensTheSamplesFolder) {
    Load(MessageAnswer::Yes);
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown.back().kind, FakeDialogs::Shown::Kind::kOpenFolder);
    EXPECT_EQ(dialogs.shown.back().folder, QDir::toNativeSeparators(Samples()) + QDir::separator());
}

TEST(SampleFilesMissingTest, MissingFolderAddsNothingButAsks) {
    TempTree tree;
    FakeDialogs dialogs;
    DocumentListModel list;
    dialogs.messageAnswers.push_back(MessageAnswer::No);
    SampleDocuments::Load(list, dialogs, nullptr, tree.Path("Samples"), kTitle);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(dialogs.Messages().size(), 1u);
}

}  // namespace
