#include "MainWindowHarness.h"

#include "app/StartUpFiles.h"
#include "doclist/DocumentListView.h"

#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QUrl>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <atomic>
#include <functional>
#include <thread>

namespace {

const QString kPrompt = QStringLiteral(
    "Enter file extension to load:\r\r(* for all files, txt for all txt files, doc for all doc "
    "files, etc.)");

class MainWindowListFeaturesTest : public MainWindowHarness {
protected:
    void SetUp() override {
        MainWindowHarness::SetUp();
        tree = QDir::toNativeSeparators(temp.filePath(QStringLiteral("tree")));
        ASSERT_TRUE(QDir().mkpath(tree));
    }

    void StartWindow() {
        Start();
        list = Child<DocumentListView>("ListView1");
    }
    // Paths in the platform's separators, as the window makes them.
    QString InTree(const QString& relative) const {
        return tree + QDir::separator() + QDir::toNativeSeparators(relative);
    }
    void MakeFile(const QString& relative, const QByteArray& bytes = "x") const {
        const QString path = InTree(relative);
        QDir().mkpath(path.left(path.lastIndexOf(QDir::separator())));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    void Click(const char* button) {
        QTest::mouseClick(Child<QPushButton>(button), Qt::LeftButton);
    }
    QStringList Rows() const { return form->DocumentList().Texts(); }

    // Scans the tree for one extension through the two dialogs.
    void ScanTree(const QString& extension, const QString& picked) {
        dialogs.inputAnswers.push_back(extension);
        dialogs.folderAnswers.push_back(picked);
        Click("PushButton4");
    }

    QMimeData* FileDrag(const QStringList& paths) const {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const QString& path : paths) {
            urls.append(QUrl::fromLocalFile(path));
        }
        data->setUrls(urls);
        return data;
    }
    // Drag enter then drop, as the platform delivers them; returns whether the drag was taken.
    bool DragAndDrop(QMimeData* data) {
        const QPoint at = list->viewport()->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(list->viewport(), &enter);
        if (!enter.isAccepted()) {
            delete data;
            return false;
        }
        QDropEvent drop(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(list->viewport(), &drop);
        delete data;
        return drop.isAccepted();
    }

    void Move(QWidget* widget, QPoint at = QPoint(3, 3), Qt::MouseButtons buttons = Qt::NoButton) {
        QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(widget->mapToGlobal(at)),
                         Qt::NoButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &move);
    }
    QPoint RowCentre(int position) const {
        return list->visualRect(list->model()->index(position - 1, 0)).center();
    }

    QString tree;
    DocumentListView* list = nullptr;
};

TEST_F(MainWindowListFeaturesTest, ExtensionBoxShowsThePromptAndAnEmptyAnswerChangesNothing) {
    StartWindow();
    dialogs.inputAnswers.push_back(QString());
    Click("PushButton4");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    const InputRequest& box = dialogs.shown.front().input;
    EXPECT_EQ(box.prompt, kPrompt);
    EXPECT_EQ(box.title, QStringLiteral("Corvanel"));
    EXPECT_EQ(box.initialText, QStringLiteral("doc"));
    EXPECT_EQ(Setting("Extension"), "<absent>");
    EXPECT_EQ(form->Pointer(), PointerShape::kArrow);
}

TEST_F(MainWindowListFeaturesTest, ExtensionIsStoredEvenWhenThePickerIsCancelled) {
    SaveSetting("LastFolder", "/remembered");
    StartWindow();
    dialogs.inputAnswers.push_back(QStringLiteral("txt"));
    dialogs.folderAnswers.push_back(QString());
    Click("PushButton4");
    EXPECT_EQ(Setting("Extension"), "txt");
    EXPECT_EQ(Setting("LastFolder"), "/remembered");
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[1].title, QStringLiteral("Please select folder:"));
    EXPECT_EQ(dialogs.shown[1].folder, QStringLiteral("/remembered"));
    EXPECT_EQ(Rows().size(), 0);

    dialogs.inputAnswers.push_back(QString());
    Click("PushButton4");
    EXPECT_EQ(dialogs.shown.back().input.initialText, QStringLiteral("txt"));
}

#ifndef _WIN32  // dot names, permission bits and symbolic links as POSIX has them
TEST_F(MainWindowListFeaturesTest, ScanListsMatchingFilesLevelByLevelUnderTheFolderRules) {
    MakeFile("top.doc");
    MakeFile("~$top.doc");
    MakeFile(".hidden.doc");  // hidden + archive: 34
    MakeFile(".read-only.doc");
    ::chmod(QFile::encodeName(InTree(".read-only.doc")).constData(), 0444);  // 35
    MakeFile("UPPER.DOC");
    MakeFile("skip.txt");
    MakeFile("b/in-b.doc");
    MakeFile("a/in-a.doc");
    MakeFile("a/deep/er/deepest.doc");
    MakeFile(".hidden-folder/inside.doc");
    StartWindow();

    ScanTree("doc", tree);

    EXPECT_EQ(Rows(), (QStringList{InTree(".read-only.doc"), InTree("top.doc"), InTree("UPPER.DOC"),
                                   InTree(".hidden-folder/inside.doc"), InTree("a/in-a.doc"),
                                   InTree("b/in-b.doc"), InTree("a/deep/er/deepest.doc")}));
    EXPECT_EQ(Setting("LastFolder"), tree);
    EXPECT_EQ(form->Pointer(), PointerShape::kArrow);
    EXPECT_TRUE(dialogs.Messages().empty());

    ScanTree("doc", tree);
    EXPECT_EQ(Rows().size(), 14) << "a second scan lists every file again";
    EXPECT_EQ(dialogs.shown.back().folder, tree) << "the picker starts at the last pick";
}
#endif

TEST_F(MainWindowListFeaturesTest, RootStylePickWithItsSeparatorListsSingleSeparators) {
    MakeFile("x.doc");
    MakeFile("sub/y.doc");
    StartWindow();
    ScanTree("*", tree + QDir::separator());
    EXPECT_EQ(Rows(), (QStringList{InTree("x.doc"), InTree("sub/y.doc")}));
}

#ifndef _WIN32  // dot names, permission bits and symbolic links as POSIX has them
TEST_F(MainWindowListFeaturesTest, ScanEndsOnASymbolicLinkLoop) {
    MakeFile("a/file.doc");
    ASSERT_TRUE(QFile::link(tree, InTree("a/loop")));
    StartWindow();
    ScanTree("doc", tree);
    EXPECT_EQ(Rows(), QStringList{InTree("a/file.doc")});
}
#endif

TEST_F(MainWindowListFeaturesTest, TheHourglassCoversTheWholeProgramDuringTheWalk) {
    MakeFile("a/one.doc");
    StartWindow();
    QList<PointerShape> seen;
    // Runs in the walk's first yield to the event queue.
    QTimer::singleShot(0, form.get(), [&] {
        seen.append(form->Pointer());
        seen.append(QGuiApplication::overrideCursor() != nullptr ? PointerShape::kHourglass
                                                                 : PointerShape::kArrow);
    });
    ScanTree("doc", tree);
    EXPECT_EQ(seen, (QList<PointerShape>{PointerShape::kHourglass, PointerShape::kHourglass}));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(form->Pointer(), PointerShape::kArrow);
    EXPECT_EQ(Rows(), QStringList{InTree("a/one.doc")});
}

TEST_F(MainWindowListFeaturesTest, TheButtonsShowTheHandAndNothingElseDoes) {
    ASSERT_TRUE(QFile::copy(QStringLiteral(CORVANEL_RESOURCE_DIR "/HAND-M.CUR"),
                            programFolder + QStringLiteral("/HAND-M.CUR")));
    StartWindow();
    for (const char* button : {"PushButton1", "PushButton2", "PushButton3", "PushButton4",
                               "PushButton6", "PushButton7"}) {
        EXPECT_EQ(form->PointerOver(Child<QPushButton>(button)), PointerShape::kHand) << button;
        EXPECT_EQ(Child<QPushButton>(button)->cursor().shape(), Qt::BitmapCursor) << button;
    }
    const QList<QWidget*> surfaces = {Child<QGroupBox>("Frame1"), Child<QLineEdit>("Text1"),
                                      form.get(), list, Child<QProgressBar>("ProgressBar1")};
    for (QWidget* surface : surfaces) {
        const std::string name = surface->objectName().toStdString();
        EXPECT_EQ(form->PointerOver(surface), PointerShape::kArrow) << name;
        EXPECT_NE(surface->cursor().shape(), Qt::BitmapCursor) << name;
    }
}

TEST_F(MainWindowListFeaturesTest, OnlyDragsOfLocalFilesAreTaken) {
    MakeFile("a.doc");
    StartWindow();
    auto* text = new QMimeData;
    text->setText(QStringLiteral("just words"));
    EXPECT_FALSE(DragAndDrop(text));
    auto* web = new QMimeData;
    web->setUrls({QUrl(QStringLiteral("https://example.org/a.doc"))});
    EXPECT_FALSE(DragAndDrop(web));
    EXPECT_EQ(Rows().size(), 0);
}

TEST_F(MainWindowListFeaturesTest, DroppedFilesStayUnchangedAndFoldersAreWalked) {
    MakeFile("folder/one.png");
    MakeFile("folder/~lock.doc");
#ifndef _WIN32
    MakeFile("folder/.hidden");  // 34: left out
#endif
    MakeFile("folder/sub/two.doc");
    MakeFile("~$loose.docx");
    StartWindow();
    form->DocumentList().Append(InTree("~$loose.docx"));
    EXPECT_TRUE(DragAndDrop(FileDrag({InTree("~$loose.docx"), InTree("folder")})));
    EXPECT_EQ(Rows(), (QStringList{InTree("~$loose.docx"), InTree("~$loose.docx"),
                                   InTree("folder/one.png"), InTree("folder/sub/two.doc")}));
}

TEST_F(MainWindowListFeaturesTest, VanishedDroppedPathIsSkippedWithoutEndingAnything) {
    MakeFile("kept.doc");
    StartWindow();
    EXPECT_TRUE(DragAndDrop(FileDrag({InTree("gone.doc"), InTree("kept.doc")})));
    EXPECT_EQ(Rows(), QStringList{InTree("kept.doc")});
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(endCalls, 0);
}

TEST_F(MainWindowListFeaturesTest, DropsAreTakenWhileAnExportRuns) {
    MakeFile("late.doc");
    const QString outFolder = temp.filePath(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(outFolder));
    std::atomic<bool> holding{false};
    std::atomic<bool> released{false};
    fakeConverter.onConvert = [&](const QString&) {
        holding = true;
        while (!released) {
            std::this_thread::yield();
        }
    };
    StartWindow();
    form->DocumentList().Append(QStringLiteral("/d/first.doc"));
    Child<QLineEdit>("Text1")->setText(outFolder + u'/');
    PointerShape pointerDuringDrop = PointerShape::kArrow;
    bool taken = false;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (holding && !released) {
            pointerDuringDrop = form->Pointer();
            taken = DragAndDrop(FileDrag({InTree("late.doc")}));
            released = true;
        }
    });
    poll.start();
    Click("PushButton2");
    EXPECT_EQ(pointerDuringDrop, PointerShape::kHourglass);
    EXPECT_TRUE(taken);
    EXPECT_EQ(Rows(), (QStringList{"/d/first.doc", InTree("late.doc")}));
    EXPECT_EQ(fakeConverter.Sources(), QStringList{"/d/first.doc"})
        << "a row added during the run is not exported by it";
}

class MainWindowSamplesTest : public MainWindowListFeaturesTest {
protected:
    void SetUp() override {
        MainWindowListFeaturesTest::SetUp();
        samples = QDir::toNativeSeparators(programFolder + QStringLiteral("/Samples"));
        ASSERT_TRUE(QDir().mkpath(samples + QStringLiteral("/nested")));
        for (const char* name : {"b.docx", "a.rtf", "c.odt"}) {
            QFile file(Sample(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        StartWindow();
    }
    QString Sample(const char* name) const {
        return samples + QDir::separator() + QString::fromLatin1(name);
    }
    void Press(MessageAnswer answer) {
        dialogs.messageAnswers.push_back(answer);
        Click("PushButton7");
    }
    QString samples;
};

TEST_F(MainWindowSamplesTest, SecondPressAddsNothingAndStillAsks) {
    Press(MessageAnswer::No);
    Press(MessageAnswer::No);
    EXPECT_EQ(Rows(), (QStringList{Sample("a.rtf"), Sample("b.docx"), Sample("c.odt")}));
    ASSERT_EQ(dialogs.Messages().size(), 2u);
    for (const MessageRequest& question : dialogs.Messages()) {
        EXPECT_EQ(question.caption, QStringLiteral("Corvanel"));
        EXPECT_EQ(question.buttons, MessageButtons::YesNo);
        EXPECT_EQ(question.icon, MessageIcon::None);
    }
}

TEST_F(MainWindowSamplesTest, RemovedSampleReturnsAloneAndYesOpensTheFolder) {
    Press(MessageAnswer::No);
    form->DocumentList().RemoveAt(2);
    Press(MessageAnswer::Yes);
    EXPECT_EQ(Rows(), (QStringList{Sample("a.rtf"), Sample("c.odt"), Sample("b.docx")}));
    ASSERT_EQ(dialogs.shown.back().kind, FakeDialogs::Shown::Kind::kOpenFolder);
    EXPECT_EQ(dialogs.shown.back().folder, samples + QDir::separator());
}

TEST_F(MainWindowSamplesTest, SamplesAreAddedWhileTheHourglassShows) {
    form->ShowBusyPointer(true);
    Press(MessageAnswer::No);
    EXPECT_EQ(Rows().size(), 3);
}

class MainWindowReorderTest : public MainWindowListFeaturesTest {
protected:
    void SetUp() override {
        MainWindowListFeaturesTest::SetUp();
        ASSERT_TRUE(QFile::copy(QStringLiteral(CORVANEL_RESOURCE_DIR "/drag.ico"),
                                programFolder + QStringLiteral("/drag.ico")));
        StartWindow();
        form->show();
    }
    void Fill(const QStringList& texts) { form->DocumentList().AppendMany(texts); }
    void Press(int position) {
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, RowCentre(position));
    }
    void DragTo(int position) { Move(list->viewport(), RowCentre(position), Qt::LeftButton); }
    void Release(int position) {
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, RowCentre(position));
    }
    int Selected() const { return list->SelectedPosition(); }
};

TEST_F(MainWindowReorderTest, SlowDragCarriesTheRowWithTheSelectionAndTheDragPointer) {
    Fill({"A", "B", "C"});
    Press(1);
    EXPECT_EQ(list->cursor().shape(), Qt::BitmapCursor) << "the drag icon";
    DragTo(2);
    EXPECT_EQ(Rows(), (QStringList{"B", "A", "C"}));
    EXPECT_EQ(Selected(), 2);
    DragTo(3);
    EXPECT_EQ(Rows(), (QStringList{"B", "C", "A"}));
    EXPECT_EQ(Selected(), 3);
    Release(3);
    EXPECT_EQ(list->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(MainWindowReorderTest, JumpSwapsTwoRowsAndDuplicatesOrNoButtonChangeNothing) {
    Fill({"A", "B", "C", "D"});
    Press(1);
    DragTo(4);
    EXPECT_EQ(Rows(), (QStringList{"D", "B", "C", "A"}));
    Release(4);
    Move(list->viewport(), RowCentre(1));
    EXPECT_EQ(Rows(), (QStringList{"D", "B", "C", "A"}));

    form->DocumentList().Clear();
    Fill({"same", "same"});
    Press(1);
    DragTo(2);
    EXPECT_EQ(Rows(), (QStringList{"same", "same"}));
    Release(2);
}

TEST_F(MainWindowReorderTest, ReorderingGoesOnUnderTheHourglass) {
    Fill({"A", "B"});
    form->ShowBusyPointer(true);
    Press(1);
    DragTo(2);
    EXPECT_EQ(Rows(), (QStringList{"B", "A"})) << "reordering goes on while busy";
    EXPECT_EQ(form->Pointer(), PointerShape::kHourglass);
    Release(2);
}

TEST_F(MainWindowReorderTest, ScrollsNearTheScreenThresholds) {
    QCursor::setPos(QPoint(10, 330));
    if (QCursor::pos().y() != 330) {
        GTEST_SKIP() << "this platform does not let the test place the pointer";
    }
    QStringList texts;
    for (int i = 1; i <= 60; ++i) {
        texts.append(QStringLiteral("row %1").arg(i));
    }
    Fill(texts);
    list->scrollToBottom();
    const int bottom = list->verticalScrollBar()->value();
    ASSERT_GT(bottom, 0);
    // The reached row is the top visible one; at 304 the row above it comes into view.
    QCursor::setPos(QPoint(10, 304));
    const QModelIndex top = list->indexAt(QPoint(5, 2));
    const int topPosition = top.row() + 1;
    Press(topPosition + 1);
    DragTo(topPosition);
    EXPECT_LT(list->verticalScrollBar()->value(), bottom);
    Release(topPosition);

    list->scrollToBottom();
    QCursor::setPos(QPoint(10, 305));
    Press(topPosition + 1);
    DragTo(topPosition);
    EXPECT_EQ(list->verticalScrollBar()->value(), bottom) << "305 is inside the quiet band";
    Release(topPosition);
}

TEST_F(MainWindowReorderTest, WidenedColumnScrollsSidewaysAndTheHeaderNeverSorts) {
    Fill({"/z/last.doc", "/a/first.doc"});
    EXPECT_EQ(list->horizontalScrollBar()->maximum(), 0);
    list->header()->resizeSection(0, 3000);
    QCoreApplication::processEvents();  // the view lays its scroll bars out on its next turn
    EXPECT_GT(list->horizontalScrollBar()->maximum(), 0);
    QTest::mouseClick(list->header()->viewport(), Qt::LeftButton, {}, QPoint(20, 5));
    EXPECT_EQ(Rows(), (QStringList{"/z/last.doc", "/a/first.doc"}));
}

TEST(ShippedPointerImagesTest, HandCursorAndDragIconLoadWithTheirHotSpots) {
    EnsureGuiTestApplication();
    const QCursor hand =
        StartUpFiles::LoadCursorFile(QStringLiteral(CORVANEL_RESOURCE_DIR "/HAND-M.CUR"));
    EXPECT_EQ(hand.shape(), Qt::BitmapCursor);
    EXPECT_EQ(hand.pixmap().size(), QSize(32, 32));
    EXPECT_EQ(hand.hotSpot(), QPoint(5, 0)) << "the fingertip";
    const QCursor drag =
        StartUpFiles::LoadCursorFile(QStringLiteral(CORVANEL_RESOURCE_DIR "/drag.ico"));
    EXPECT_EQ(drag.pixmap().size(), QSize(32, 32));
}

}  // namespace
