#include "doclist/DocumentListModel.h"
#include "doclist/DocumentListView.h"
#include "support/GuiTestApplication.h"

#include <QDir>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

class DocumentListViewTest : public testing::Test, private WithGuiTestApplication {
protected:
    void SetUp() override {
        EnsureGuiTestApplication();
        model.AppendMany({"/d/a.doc", "/d/b.doc", "/d/c.doc"});
        view.SetDocumentList(&model);
        view.resize(400, 200);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    QPoint RowCentre(int position) const {
        return view.visualRect(model.index(position - 1)).center();
    }
    QList<int> Removals() const {
        QList<int> positions;
        for (const QList<QVariant>& call : removals) {
            positions.append(call.at(0).toInt());
        }
        return positions;
    }

    DocumentListModel model;
    DocumentListView view;
    QSignalSpy removals{&view, &DocumentListView::removeRequested};
    QSignalSpy drops{&view, &DocumentListView::pathsDropped};
};

TEST_F(DocumentListViewTest, DeleteWithAnyModifierAndDoubleClickAskToRemoveTheSelectedRow) {
    QTest::keyClick(&view, Qt::Key_Delete);  // nothing selected yet
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, RowCentre(2));
    QTest::keyClick(&view, Qt::Key_Delete, Qt::ShiftModifier);
    QTest::keyClick(&view, Qt::Key_Delete, Qt::ControlModifier);
    QTest::keyClick(&view, Qt::Key_Backspace);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, RowCentre(3));
    EXPECT_EQ(Removals(), (QList<int>{2, 2, 3}));
    EXPECT_EQ(model.Count(), 3) << "the view only asks; the window removes";
}

TEST_F(DocumentListViewTest, HeldRowsChangePlacesWithTheRowsThePointerReaches) {
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, RowCentre(1));
    EXPECT_EQ(view.cursor().shape(), Qt::DragMoveCursor) << "no drag image was given";
    QMouseEvent move(QEvent::MouseMove, QPointF(RowCentre(3)),
                     QPointF(view.viewport()->mapToGlobal(RowCentre(3))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view.viewport(), &move);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, RowCentre(3));
    EXPECT_EQ(model.Texts(), (QStringList{"/d/c.doc", "/d/b.doc", "/d/a.doc"}));
    EXPECT_EQ(view.SelectedPosition(), 3);
    EXPECT_EQ(view.cursor().shape(), Qt::ArrowCursor);
    EXPECT_FALSE(view.RowHeld());
}

// What a drag carries -> whether the list takes it.
TEST_F(DocumentListViewTest, TakesOnlyDragsOfLocalFilesAndPassesTheirPathsOn) {
    struct Case {
        const char* name;
        QList<QUrl> urls;
        bool taken;
    };
    const QList<Case> cases = {
        {"text", {}, false},
        {"web", {QUrl(QStringLiteral("https://example.org/a.doc"))}, false},
        {"mixed",
         {QUrl::fromLocalFile(QStringLiteral("/tmp/x.doc")),
          QUrl(QStringLiteral("https://example.org/a.doc"))},
         false},
        {"local",
         {QUrl::fromLocalFile(QStringLiteral("/tmp/x.doc")),
          QUrl::fromLocalFile(QStringLiteral("/tmp/folder"))},
         true},
    };
    for (const Case& c : cases) {
        QMimeData data;
        data.setText(QStringLiteral("words"));
        if (!c.urls.isEmpty()) {
            data.setUrls(c.urls);
        }
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(view.viewport(), &enter);
        EXPECT_EQ(enter.isAccepted(), c.taken) << c.name;
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(view.viewport(), &drop);
        EXPECT_EQ(drop.isAccepted(), c.taken) << c.name;
    }
    ASSERT_EQ(drops.size(), 1);
    EXPECT_EQ(drops.front().at(0).toStringList(),
              (QStringList{QDir::toNativeSeparators("/tmp/x.doc"),
                           QDir::toNativeSeparators("/tmp/folder")}));
    EXPECT_EQ(model.Count(), 3) << "the view only passes drops on";
}

TEST_F(DocumentListViewTest, LongPathsAreElidedInTheMiddleWithTheWholePathAsToolTip) {
    const QString longPath = QStringLiteral("/home/someone/") + QString(300, u'x') +
                             QStringLiteral("/the file name.docx");
    model.Append(longPath);
    EXPECT_EQ(view.textElideMode(), Qt::ElideMiddle);
    EXPECT_EQ(model.index(3).data(Qt::ToolTipRole).toString(), longPath);
    EXPECT_EQ(model.index(3).data(Qt::DisplayRole).toString(), longPath);
}

TEST_F(DocumentListViewTest, SelectionAndVisibilityHelpersIgnorePositionsOutsideTheList) {
    view.SelectPosition(3);
    EXPECT_EQ(view.SelectedPosition(), 3);
    view.SelectPosition(7);
    view.MakeVisible(0);
    EXPECT_EQ(view.SelectedPosition(), 3);
    EXPECT_EQ(view.PositionAt(RowCentre(1)), 1);
    EXPECT_EQ(view.PositionAt(QPoint(20, 190)), 0);
}

}  // namespace
