#include "export/IsInstalled.h"
#include "export/Word1.h"
#include "platform/RuntimeError.h"
#include "support/FakeConverter.h"
#include "support/FakeDialogs.h"

#include <gtest/gtest.h>

namespace {

const QString kTitle = QStringLiteral("Corvanel");

QStringList SaveCalls(const QString& source, const QString& target) {
    return {QStringLiteral("Create"),          QStringLiteral("Documents"),
            QStringLiteral("Open ") + source,  QStringLiteral("SaveAs ") + target,
            QStringLiteral("Close"),           QStringLiteral("Quit"),
            QStringLiteral("ReleaseDocument"), QStringLiteral("ReleaseApplication")};
}

TEST(SaveDocumentAsText, RunsTheOperationsInOrderAndReleasesDocumentBeforeInstance) {
    FakeConverter converter;
    converter.writeFiles = false;
    Word1::SaveDocumentAsText(converter, QStringLiteral("/in/a.docx"),
                              QStringLiteral("/out/a.txt"));
    EXPECT_EQ(converter.Calls(), SaveCalls("/in/a.docx", "/out/a.txt"));
}

TEST(SaveDocumentAsText, PassesTheElevenSaveAsArguments) {
    FakeConverter converter;
    converter.writeFiles = false;
    Word1::SaveDocumentAsText(converter, QStringLiteral("/in/a.doc"), QStringLiteral("/out/a.txt"));
    ASSERT_EQ(converter.SaveAsCalls().size(), 1u);
    const SaveAsArguments arguments = converter.SaveAsCalls().front();
    EXPECT_EQ(arguments.FileName, QStringLiteral("/out/a.txt"));
    EXPECT_EQ(arguments.FileFormat, 2);
    EXPECT_FALSE(arguments.LockComments);
    EXPECT_EQ(arguments.Password, QString());
    EXPECT_TRUE(arguments.AddToRecentFiles);
    EXPECT_EQ(arguments.WritePassword, QString());
    EXPECT_FALSE(arguments.ReadOnlyRecommended);
    EXPECT_FALSE(arguments.EmbedTrueTypeFonts);
    EXPECT_FALSE(arguments.SaveNativePictureFormat);
    EXPECT_FALSE(arguments.SaveFormsData);
    EXPECT_FALSE(arguments.SaveAsAOCELetter);
}

// Which operation fails -> the calls made, the failure passed on unchanged.
struct FailureCase {
    const char* name;
    std::function<void(FakeConverter&)> script;
    QStringList expectedCalls;
};

class SaveDocumentAsTextFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(SaveDocumentAsTextFailure, StopsAtTheFailureAndReleasesWhatItHolds) {
    FakeConverter converter;
    converter.writeFiles = false;
    GetParam().script(converter);
    try {
        Word1::SaveDocumentAsText(converter, QStringLiteral("s"), QStringLiteral("t"));
        FAIL() << "no failure raised";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), FakeConverter::kFailureNumber);
    }
    EXPECT_EQ(converter.Calls(), GetParam().expectedCalls);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, SaveDocumentAsTextFailure,
    testing::Values(
        FailureCase{"Create", [](FakeConverter& c) { c.failCreate = true; }, {"Create"}},
        FailureCase{"Open",
                    [](FakeConverter& c) { c.failOpenFor.insert(QStringLiteral("s")); },
                    {"Create", "Documents", "Open s", "ReleaseApplication"}},
        FailureCase{
            "SaveAs",
            [](FakeConverter& c) { c.failSaveFor.insert(QStringLiteral("s")); },
            {"Create", "Documents", "Open s", "SaveAs t", "ReleaseDocument", "ReleaseApplication"}},
        FailureCase{"Close",
                    [](FakeConverter& c) { c.failClose = true; },
                    {"Create", "Documents", "Open s", "SaveAs t", "Close", "ReleaseDocument",
                     "ReleaseApplication"}},
        FailureCase{"Quit",
                    [](FakeConverter& c) { c.failQuit = true; },
                    {"Create", "Documents", "Open s", "SaveAs t", "Close", "Quit",
                     "ReleaseDocument", "ReleaseApplication"}}),
    [](const testing::TestParamInfo<FailureCase>& param) { return std::string(param.param.name); });

TEST(IsWordRunning, AnswersTrueOnlyForTheExactName) {
    FakeConverter converter;
    EXPECT_FALSE(Word1::IsWordRunning(converter));
    converter.runningName = QStringLiteral("microsoft word");
    EXPECT_FALSE(Word1::IsWordRunning(converter));
    converter.runningName = QStringLiteral("Microsoft Word ");
    EXPECT_FALSE(Word1::IsWordRunning(converter));
    converter.runningName = QStringLiteral("Microsoft Word");
    EXPECT_TRUE(Word1::IsWordRunning(converter));
    // Nothing is sent to the running instance: attached, named, released.
    EXPECT_EQ(converter.Calls().mid(converter.Calls().size() - 3),
              (QStringList{"Attach", "Name", "ReleaseApplication"}));
}

TEST(ShouldStopForOpenWord, AsksOnlyWhenRunningAndStopsUnlessYes) {
    FakeConverter converter;
    FakeDialogs dialogs;
    EXPECT_FALSE(Word1::ShouldStopForOpenWord(converter, dialogs, nullptr, kTitle));
    EXPECT_TRUE(dialogs.shown.empty());

    converter.runningName = QStringLiteral("Microsoft Word");
    dialogs.messageAnswers = {MessageAnswer::Yes, MessageAnswer::No};
    EXPECT_FALSE(Word1::ShouldStopForOpenWord(converter, dialogs, nullptr, kTitle));
    EXPECT_TRUE(Word1::ShouldStopForOpenWord(converter, dialogs, nullptr, kTitle));

    ASSERT_EQ(dialogs.Messages().size(), 2u);
    const MessageRequest question = dialogs.Messages().front();
    EXPECT_EQ(question.text,
              QStringLiteral("Word may be open. It is recommended that you close Word first. Use "
                             "Ctrl+Alt+Del > Task Manager > WINWORD.EXE if necessary.\r\n\r\n"
                             "Would you like to proceed anyway?"));
    EXPECT_EQ(question.caption, kTitle);
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_EQ(question.icon, MessageIcon::None);
}

TEST(EnsureWordAvailable, StartsAndQuitsOnceWhenTheConverterWorks) {
    FakeConverter converter;
    FakeDialogs dialogs;
    int ended = 0;
    IsInstalled::EnsureWordAvailable(converter, dialogs, nullptr, kTitle, [&] { ++ended; });
    EXPECT_EQ(ended, 0);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(converter.Calls(), (QStringList{"Create", "Quit", "ReleaseApplication"}));
}

TEST(EnsureWordAvailable, IgnoresAFailingQuit) {
    FakeConverter converter;
    converter.failQuit = true;
    FakeDialogs dialogs;
    int ended = 0;
    IsInstalled::EnsureWordAvailable(converter, dialogs, nullptr, kTitle, [&] { ++ended; });
    EXPECT_EQ(ended, 0);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST(EnsureWordAvailable, ShowsTheFiveParagraphsThenEndsTheProgram) {
    FakeConverter converter;
    converter.failCreate = true;
    FakeDialogs dialogs;
    int endedAfterMessages = -1;
    IsInstalled::EnsureWordAvailable(converter, dialogs, nullptr, kTitle,
                                     [&] { endedAfterMessages = int(dialogs.Messages().size()); });
    EXPECT_EQ(endedAfterMessages, 1);
    const MessageRequest message = dialogs.Messages().at(0);
    EXPECT_EQ(message.text,
              QStringLiteral(
                  "Error 842001. A normal instance of Word could not be created.\r\n\r\n"
                  "1. Please make sure Word is installed on this computer.\r\n\r\n"
                  "2. Please open Word normally and make sure a blank document opens immediately "
                  "without any interrupting window (such as an Word file recovery window).\r\n\r\n"
                  "3. Please make sure that when you double-click on a DOC or DOCX file that Word "
                  "opens normally without any interrupting messages.\r\n\r\n"
                  "4. All versions of Word are supported by this software except for the rare "
                  "Word Starter and Student editions."));
    EXPECT_EQ(message.caption, kTitle);
    EXPECT_EQ(message.buttons, MessageButtons::Ok);
    EXPECT_EQ(message.icon, MessageIcon::None);
}

}  // namespace
