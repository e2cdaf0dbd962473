#include "platform/HandlerTrap.h"

#include "platform/RuntimeError.h"
#include "support/FakeDialogs.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <new>
#include <stdexcept>
#include <vector>

namespace {

const QString kTag = HandlerTags::kStartExport;

QString ExpectedReport(const char* description, int line) {
    return QString::fromUtf8(description) +
           "\r\nin Quirelle2021/08/31.Form1.PushButton2_Click at line " + QString::number(line) +
           "\r\rPlease email screenshot of this message to support@brindlewood.example";
}

class HandlerTrapTest : public testing::Test {
protected:
    FakeDialogs dialogs_;
    HandlerTrap trap_{dialogs_, nullptr, kTag};
};

}  // namespace

TEST(BuildHandlerErrorReport, ConcatenatesTheReportByteForByte) {
    EXPECT_EQ(BuildHandlerErrorReport("Path not found", HandlerTags::kExpandSubfolders, 104),
              "Path not found\r\nin Marrowfen2021/08/31.AddFolder.GetSubDirectories2016 at line "
              "104\r\rPlease email screenshot of this message to support@brindlewood.example");
    EXPECT_EQ(BuildHandlerErrorReport("", kTag, 0), ExpectedReport("", 0));
}

TEST(HandlerTags, EachNamesItsRoutineAndEndsInOneBlank) {
    const QRegularExpression form(
        R"(^in (Quirelle|Marrowfen)2021/08/31\.(Form1|AddFolder)\.[A-Za-z0-9_]+ $)");
    for (const QString& tag :
         {HandlerTags::kStartUp, HandlerTags::kAddFilesFromDialog, HandlerTags::kStartExport,
          HandlerTags::kBrowseOutputFolder, HandlerTags::kAddFolderTree, HandlerTags::kClearList,
          HandlerTags::kLoadSamples, HandlerTags::kExpandSubfolders}) {
        EXPECT_TRUE(form.match(tag).hasMatch()) << tag.toStdString();
    }
}

TEST_F(HandlerTrapTest, ReportIsAnOkOnlyWarningCalledApplicationError) {
    ReportHandlerError(dialogs_, nullptr, "Disk full", kTag, 118);
    ASSERT_EQ(dialogs_.Messages().size(), 1u);
    const MessageRequest shown = dialogs_.Messages()[0];
    EXPECT_EQ(shown.text, ExpectedReport("Disk full", 118));
    EXPECT_EQ(shown.caption, "Application Error");
    EXPECT_EQ(shown.buttons, MessageButtons::Ok);
    EXPECT_EQ(shown.icon, MessageIcon::Exclamation);
}

TEST_F(HandlerTrapTest, CompletedStepShowsNothing) {
    bool ran = false;
    EXPECT_TRUE(trap_.Step(100, [&] { ran = true; }));
    EXPECT_TRUE(ran);
    EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(HandlerTrapTest, FailingStepIsReportedAndTheRoutineGoesOn) {
    std::vector<int> ran;
    trap_.Step(100, [&] { ran.push_back(100); });
    const bool completed = trap_.Step(102, [&] {
        throw RuntimeError(ErrorNumbers::kPathNotFound, "Path not found");
        ran.push_back(102);
    });
    trap_.Step(104, [&] { ran.push_back(104); });

    EXPECT_FALSE(completed);
    EXPECT_EQ(ran, (std::vector<int>{100, 104}));
    ASSERT_EQ(dialogs_.Messages().size(), 1u);
    EXPECT_EQ(dialogs_.Messages()[0].text, ExpectedReport("Path not found", 102));
}

TEST_F(HandlerTrapTest, TwoFailuresGiveTwoReportsInOrder) {
    trap_.Step(110, [] { throw RuntimeError(ErrorNumbers::kFileNotFound, "File not found"); });
    trap_.Step(112, [] {});
    trap_.Step(114,
               [] { throw RuntimeError(ErrorNumbers::kPermissionDenied, "Permission denied"); });

    ASSERT_EQ(dialogs_.Messages().size(), 2u);
    EXPECT_EQ(dialogs_.Messages()[0].text, ExpectedReport("File not found", 110));
    EXPECT_EQ(dialogs_.Messages()[1].text, ExpectedReport("Permission denied", 114));
}

TEST_F(HandlerTrapTest, FailingConditionCountsAsTrueSoGuardedStepsRun) {
    bool guardedRan = false;
    if (trap_.Condition(120,
                        []() -> bool { throw RuntimeError(ErrorNumbers::kInternal, "Bad"); })) {
        trap_.Step(122, [&] { guardedRan = true; });
    }
    EXPECT_TRUE(guardedRan);
    ASSERT_EQ(dialogs_.Messages().size(), 1u);
    EXPECT_EQ(dialogs_.Messages()[0].text, ExpectedReport("Bad", 120));
}

TEST_F(HandlerTrapTest, ConditionThatHoldsOrNotIsPassedThrough) {
    EXPECT_TRUE(trap_.Condition(130, [] { return true; }));
    EXPECT_FALSE(trap_.Condition(132, [] { return false; }));
    EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(HandlerTrapTest, OtherFailuresAreReportedWithTheirOwnText) {
    trap_.Step(140, [] { throw std::bad_alloc(); });
    trap_.Step(142, [] { throw std::runtime_error("Disk quota exceeded"); });
    trap_.Step(144, [] { throw 42; });
    trap_.Step(146, std::function<void()>());

    const std::vector<MessageRequest> shown = dialogs_.Messages();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0].text, ExpectedReport("Out of memory", 140));
    EXPECT_EQ(shown[1].text, ExpectedReport("Disk quota exceeded", 142));
    EXPECT_EQ(shown[2].text, ExpectedReport("Unexpected error", 144));
    EXPECT_TRUE(shown[3].text.endsWith(ExpectedReport("", 146)));
}
