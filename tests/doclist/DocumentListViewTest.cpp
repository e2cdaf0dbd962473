#include "doclist/DocumentListModel.h"
#include "doclist/ListView1.h"
#include "doclist/ListView1Events.h"
#include "support/GuiTestApplication.h"

#include <QDragMoveEvent>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

// Records the events the list passes on, in order.
class RecordingHandler : public ListView1Events {
public:
    QStringList events;
    bool acceptDrags = false;

    void ListView1_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, const QPoint&) override {
        events.append(QStringLiteral("MouseDown"));
    }
    void ListView1_ItemClick(int position) override {
        events.append(QStringLiteral("ItemClick %1").arg(position));
    }
    void ListView1_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, const QPoint&) override {
        events.append(QStringLiteral("MouseMove"));
    }
    void ListView1_MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, const QPoint&) override {
        events.append(QStringLiteral("MouseUp"));
    }
    void ListView1_DblClick() override { events.append(QStringLiteral("DblClick")); }
    void ListView1_KeyDown(int key, Qt::KeyboardModifiers shift) override {
        events.append(QStringLiteral("KeyDown %1 %2").arg(key).arg(int(shift)));
    }
    void ListView1_OLEDragOver(QDragMoveEvent* event) override {
        events.append(QStringLiteral("DragOver"));
        if (acceptDrags) {
            event->acceptProposedAction();
        }
    }
    void ListView1_OLEDragDrop(QDropEvent*) override { events.append(QStringLiteral("DragDrop")); }
};

class ListView1Test : public testing::Test, private WithGuiTestApplication {
protected:
    void SetUp() override {
        EnsureGuiTestApplication();
        model.AppendMany({"/d/a.doc", "/d/b.doc", "/d/c.doc"});
        view.SetDocumentList(&model);
        view.SetEventHandler(&handler);
        view.resize(400, 200);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    QPoint RowCentre(int position) const {
        return view.visualRect(model.index(position - 1)).center();
    }

    DocumentListModel model;
    ListView1 view;
    RecordingHandler handler;
};

TEST_F(ListView1Test, APressOnARowSelectsItAndReportsTheClickAfterTheButtonDown) {
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, RowCentre(2));
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, RowCentre(2));
    EXPECT_EQ(handler.events, (QStringList{"MouseDown", "ItemClick 2", "MouseUp"}));
    EXPECT_EQ(view.SelectedPosition(), 2);
}

TEST_F(ListView1Test, APressBelowTheRowsIsNoItemClick) {
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(20, 190));
    EXPECT_EQ(handler.events, (QStringList{"MouseDown", "MouseUp"}));
    EXPECT_EQ(view.PositionAt(QPoint(20, 190)), 0);
}

TEST_F(ListView1Test, DoubleClickAndKeysArePassedOnWithTheirShiftState) {
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, RowCentre(1));
    EXPECT_TRUE(handler.events.contains("DblClick"));
    handler.events.clear();
    QTest::keyClick(&view, Qt::Key_Delete, Qt::ShiftModifier);
    ASSERT_FALSE(handler.events.isEmpty());  // the Shift key itself comes first
    EXPECT_EQ(handler.events.back(),
              QStringLiteral("KeyDown %1 %2").arg(Qt::Key_Delete).arg(Qt::ShiftModifier));
}

TEST_F(ListView1Test, DragsAreRefusedUnlessTheHandlerAcceptsThem) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/x.doc"))});
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(view.viewport(), &refused);
    EXPECT_FALSE(refused.isAccepted());

    handler.acceptDrags = true;
    QDragEnterEvent accepted(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(view.viewport(), &accepted);
    EXPECT_TRUE(accepted.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(view.viewport(), &drop);
    EXPECT_EQ(handler.events, (QStringList{"DragOver", "DragOver", "DragDrop"}));
}

TEST_F(ListView1Test, SelectionAndVisibilityHelpersIgnorePositionsOutsideTheList) {
    view.SelectPosition(3);
    EXPECT_EQ(view.SelectedPosition(), 3);
    view.SelectPosition(7);
    view.MakeVisible(0);
    EXPECT_EQ(view.SelectedPosition(), 3);
    EXPECT_EQ(view.PositionAt(RowCentre(1)), 1);
}

}  // namespace
