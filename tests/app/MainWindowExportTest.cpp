#include "MainWindowHarness.h"

#include "TestZip.h"
#include "convert/Converter.h"
#include "doclist/DocumentListView.h"
#include "export/NativeDocumentConverter.h"
#include "export/WorkerDocumentConverter.h"
#include "platform/HandlerTrap.h"
#include "support/LargeText.h"

#include <QDir>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <thread>

namespace {

std::string DocxWithParagraphs(const std::vector<std::string>& paragraphs) {
    std::string body;
    for (const std::string& text : paragraphs) {
        body += "<w:p><w:r><w:t>" + text + "</w:t></w:r></w:p>";
    }
    return corvanel::convert::testing::MakeZip({
        {"[Content_Types].xml",
         R"(<?xml version="1.0" encoding="UTF-8"?>)"
         R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
         R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
         R"(<Default Extension="xml" ContentType="application/xml"/>)"
         R"(<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>)"
         R"(</Types>)"},
        {"_rels/.rels",
         R"(<?xml version="1.0" encoding="UTF-8"?>)"
         R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
         R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/>)"
         R"(</Relationships>)"},
        {"word/document.xml",
         R"(<?xml version="1.0" encoding="UTF-8"?>)"
         R"(<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"><w:body>)" +
             body + "</w:body></w:document>"},
    });
}

class MainWindowExportTest : public MainWindowHarness {
protected:
    void SetUp() override {
        MainWindowHarness::SetUp();
        ASSERT_TRUE(QDir().mkpath(OutputFolder()));
        ASSERT_TRUE(QDir().mkpath(InputFolder()));
    }

    QString InputFolder() const {
        return QDir::toNativeSeparators(temp.filePath(QStringLiteral("in")));
    }
    QString OutputFolder() const {
        return QDir::toNativeSeparators(temp.filePath(QStringLiteral("out")));
    }
    QString Input(const QString& name) const { return InputFolder() + QDir::separator() + name; }
    // A text as the converter writes it, with the platform's line ends.
    static QByteArray Text(QByteArray lines) {
        return lines.replace(
            "\n", QByteArray::fromStdString(std::string(corvanel::convert::kNativeNewline)));
    }

    void WriteInput(const QString& name, const QByteArray& bytes) {
        QFile file(Input(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray ReadOutput(const QString& name) const {
        QFile file(OutputFolder() + QDir::separator() + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    void StartExportingInto(const QString& folder) {
        Child<QLineEdit>("Text1")->setText(folder);
        QTest::mouseClick(Child<QPushButton>("PushButton2"), Qt::LeftButton);
    }

    // Holds the conversion of `source` back until `whileConverting` has run on the window's
    // thread, which proves the window's events keep turning during a conversion.
    void WhileConverting(const QString& source, std::function<void()> whileConverting) {
        fakeConverter.onConvert = [this, source](const QString& opened) {
            if (opened == source) {
                conversionThread = std::this_thread::get_id();
                while (!released) {
                    std::this_thread::yield();
                }
            }
        };
        poll.setInterval(1);
        QObject::connect(&poll, &QTimer::timeout, [this, whileConverting] {
            if (!released && conversionThread != std::thread::id()) {
                whileConverting();
                released = true;
            }
        });
        poll.start();
    }

    QTimer poll;
    std::atomic<bool> released{false};
    std::atomic<std::thread::id> conversionThread{};
};

TEST_F(MainWindowExportTest, ExportsRealDocumentsIntoTheFolderAndSaysDone) {
    NativeDocumentConverter native;
    converter = &native;
    Start();
    const std::string docx = DocxWithParagraphs({"First paragraph", "Second paragraph"});
    WriteInput(QStringLiteral("letter.docx"), QByteArray::fromStdString(docx));
    WriteInput(QStringLiteral("notes.v2.txt"), "plain line\n");
    form->DocumentList().AppendMany({Input("letter.docx"), Input("notes.v2.txt")});

    StartExportingInto(OutputFolder() + QDir::separator());

    EXPECT_EQ(MessageTexts(), QStringList{QStringLiteral("Done.")});
    EXPECT_EQ(dialogs.Messages().front().caption, QStringLiteral("Corvanel"));
    EXPECT_EQ(ReadOutput("letter.txt"), Text("First paragraph\nSecond paragraph\n"));
    EXPECT_EQ(ReadOutput("notes.v2.txt"), Text("plain line\n"));
    auto* bar = Child<QProgressBar>("ProgressBar1");
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(bar->text(), QStringLiteral("Progress Bar"));
    EXPECT_EQ(form->Pointer(), PointerShape::kArrow);
    EXPECT_FALSE(form->ExportRunning());
    EXPECT_EQ(form->DocumentList().Count(), 2);  // the list is left as it was
}

TEST_F(MainWindowExportTest, AFailingDocumentInTheMiddleIsReportedAtLine142AndTheRestExported) {
    NativeDocumentConverter native;
    converter = &native;
    Start();
    WriteInput(QStringLiteral("a.txt"), "alpha\n");
    WriteInput(QStringLiteral("broken.doc"),
               QByteArray("\x00\x01\x02\xff\xfe\x00\x00\x10", 8).repeated(64));
    WriteInput(QStringLiteral("c.txt"), "gamma\n");
    form->DocumentList().AppendMany({Input("a.txt"), Input("broken.doc"), Input("c.txt")});

    StartExportingInto(OutputFolder());

    ASSERT_EQ(dialogs.Messages().size(), 2u);
    const MessageRequest report = dialogs.Messages().front();
    EXPECT_EQ(report.caption, QStringLiteral("Application Error"));
    EXPECT_EQ(report.icon, MessageIcon::Exclamation);
    EXPECT_TRUE(report.text.contains(Input("broken.doc"))) << report.text.toStdString();
    EXPECT_TRUE(
        report.text.contains(HandlerTags::kStartExport + QStringLiteral("at line 142\r\r")));
    EXPECT_EQ(dialogs.Messages().back().text, QStringLiteral("Done."));
    EXPECT_EQ(ReadOutput("a.txt"), Text("alpha\n"));
    EXPECT_EQ(ReadOutput("c.txt"), Text("gamma\n"));
    EXPECT_EQ(ReadOutput("broken.txt"), QByteArray("<missing>"));
}

TEST_F(MainWindowExportTest, ADocumentOutlivingTheTimeLimitIsReportedAtLine142AndTheRunGoesOn) {
    WorkerDocumentConverter worker(CORVANEL_PROGRAM, {kLargeTextTimeLimit, 2048ull << 20, 10000});
    converter = &worker;
    Start();
    WriteInput(QStringLiteral("a.txt"), "alpha\n");
    ASSERT_TRUE(WriteLargeText(Input("large.txt")));
    WriteInput(QStringLiteral("c.txt"), "gamma\n");
    form->DocumentList().AppendMany({Input("a.txt"), Input("large.txt"), Input("c.txt")});

    StartExportingInto(OutputFolder());

    ASSERT_EQ(dialogs.Messages().size(), 2u);
    const QString report = dialogs.Messages().front().text;
    EXPECT_TRUE(report.contains(
        Input("large.txt") + QStringLiteral(" could not be converted: it took longer than the ") +
        LargeTextTimeoutReason()))
        << report.toStdString();
    EXPECT_TRUE(report.contains(HandlerTags::kStartExport + QStringLiteral("at line 142\r\r")));
    EXPECT_EQ(dialogs.Messages().back().text, QStringLiteral("Done."));
    EXPECT_EQ(ReadOutput("c.txt"), Text("gamma\n"));
    EXPECT_EQ(QDir(OutputFolder()).entryList(QDir::Files),
              (QStringList{QStringLiteral("a.txt"), QStringLiteral("c.txt")}));
}

TEST_F(MainWindowExportTest, AnEmptyListAndAMissingFolderAreRefused) {
    Start();
    StartExportingInto(QStringLiteral("/no/such/folder"));
    form->DocumentList().Append(QStringLiteral("/d/a.doc"));
    StartExportingInto(QStringLiteral("/no/such/folder"));
    EXPECT_EQ(
        MessageTexts(),
        (QStringList{"No files added.", "Folder does not exist. Please select another folder."}));
    EXPECT_TRUE(fakeConverter.Sources().isEmpty());
}

TEST_F(MainWindowExportTest,
       WhileAConversionRunsTheWindowServesEventsButRefusesRemovalAndASecondRun) {
    Start();
    form->DocumentList().AppendMany({"/d/a.doc", "/d/b.doc"});
    auto* list = Child<DocumentListView>("ListView1");
    PointerShape pointerSeen = PointerShape::kArrow;
    WhileConverting(QStringLiteral("/d/a.doc"), [&] {
        pointerSeen = form->Pointer();
        list->SelectPosition(2);
        QTest::keyClick(list, Qt::Key_Delete);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                           list->visualRect(list->model()->index(1, 0)).center());
        QTest::mouseClick(Child<QPushButton>("PushButton6"), Qt::LeftButton);
        QTest::mouseClick(Child<QPushButton>("PushButton2"), Qt::LeftButton);
        form->DocumentList().Append(QStringLiteral("/d/late.doc"));
    });

    StartExportingInto(OutputFolder());

    EXPECT_NE(conversionThread.load(), std::this_thread::get_id());
    EXPECT_EQ(pointerSeen, PointerShape::kHourglass);
    EXPECT_EQ(form->DocumentList().Texts(), (QStringList{"/d/a.doc", "/d/b.doc", "/d/late.doc"}));
    EXPECT_EQ(fakeConverter.Sources(), (QStringList{"/d/a.doc", "/d/b.doc"}));
    EXPECT_EQ(MessageTexts(), QStringList{QStringLiteral("Done.")});
    EXPECT_FALSE(form->ExportRunning());
}

TEST_F(MainWindowExportTest, ClosingTheWindowDuringAConversionEndsTheRunWithoutDone) {
    Start();
    form->show();
    form->DocumentList().AppendMany({"/d/a.doc", "/d/b.doc"});
    WhileConverting(QStringLiteral("/d/a.doc"), [&] { form->close(); });
    StartExportingInto(OutputFolder());
    EXPECT_EQ(endCalls, 1);
    EXPECT_EQ(fakeConverter.Sources(), QStringList{QStringLiteral("/d/a.doc")});
    EXPECT_TRUE(dialogs.Messages().empty());
}

}  // namespace
