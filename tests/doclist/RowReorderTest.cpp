#include "doclist/DocumentListModel.h"
#include "doclist/RowReorder.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A list whose rows are 10 pixels high, starting at y = 0.
class FakeList : public ReorderableList {
public:
    DocumentListModel documents;
    int selected = 0;
    std::vector<int> madeVisible;

    DocumentListModel& Documents() override { return documents; }
    int PositionAt(const QPoint& point) const override {
        const int position = point.y() / 10 + 1;
        return point.y() >= 0 && position <= documents.Count() ? position : 0;
    }
    int SelectedPosition() const override { return selected; }
    void SelectPosition(int position) override { selected = position; }
    void MakeVisible(int position) override { madeVisible.push_back(position); }

    static QPoint Row(int position) { return QPoint(5, (position - 1) * 10 + 5); }
};

class RowReorderTest : public ::testing::Test {
protected:
    void Fill(const QStringList& texts) { list.documents.AppendMany(texts); }
    // Press on a row: the list selects it, then the item click.
    void Press(int position) {
        reorder.MouseDown();
        list.selected = position;
        EXPECT_EQ(reorder.ItemClick(list), ListPointer::kDragIcon);
    }

    FakeList list;
    int screenY = 330;  // the band where nothing scrolls
    RowReorder reorder{[this] { return screenY; }};
};

TEST_F(RowReorderTest, SlowDragDownSwapsStepByStepWithTheSelectionFollowing) {
    Fill({"A", "B", "C"});
    Press(1);
    EXPECT_TRUE(reorder.MouseMove(list, FakeList::Row(2)));
    EXPECT_EQ(list.documents.Texts(), (QStringList{"B", "A", "C"}));
    EXPECT_EQ(list.selected, 2);
    EXPECT_FALSE(reorder.MouseMove(list, FakeList::Row(2))) << "same row again: no change";
    EXPECT_TRUE(reorder.MouseMove(list, FakeList::Row(3)));
    EXPECT_EQ(list.documents.Texts(), (QStringList{"B", "C", "A"}));
    EXPECT_EQ(list.selected, 3);
    EXPECT_EQ(reorder.DragItemPosition(), 3);
    EXPECT_EQ(reorder.MouseUp(), ListPointer::kArrow);
    EXPECT_TRUE(list.madeVisible.empty());
}

TEST_F(RowReorderTest, OneJumpSwapsOnlyTheTwoRows) {
    Fill({"A", "B", "C", "D"});
    Press(1);
    reorder.MouseMove(list, FakeList::Row(4));
    EXPECT_EQ(list.documents.Texts(), (QStringList{"D", "B", "C", "A"}));
    EXPECT_EQ(list.selected, 4);
}

TEST_F(RowReorderTest, SameTextEmptyAreaAndNoButtonChangeNothing) {
    Fill({"same", "same", "other"});
    Press(1);
    EXPECT_FALSE(reorder.MouseMove(list, FakeList::Row(2)));
    EXPECT_FALSE(reorder.MouseMove(list, QPoint(5, 500))) << "below the last row";
    reorder.MouseUp();
    EXPECT_FALSE(reorder.MouseMove(list, FakeList::Row(3))) << "no button held";
    EXPECT_EQ(list.documents.Texts(), (QStringList{"same", "same", "other"}));
    EXPECT_EQ(list.selected, 1);
}

TEST_F(RowReorderTest, LaterPressWithoutItemClickDragsTheSameRowAgain) {
    Fill({"A", "B", "C"});
    Press(1);
    reorder.MouseMove(list, FakeList::Row(2));
    reorder.MouseUp();
    reorder.MouseDown();  // on an empty part: no item click
    reorder.MouseMove(list, FakeList::Row(3));
    EXPECT_EQ(list.documents.Texts(), (QStringList{"B", "C", "A"}));
}

TEST_F(RowReorderTest, RemovedDraggedRowLeavesNothingToDrag) {
    Fill({"A", "B", "C"});
    Press(2);
    list.documents.RemoveAt(1);
    EXPECT_EQ(reorder.DragItemPosition(), 1) << "the row keeps its identity as rows above go";
    list.documents.RemoveAt(1);
    EXPECT_EQ(reorder.DragItemPosition(), 0);
    EXPECT_FALSE(reorder.MouseMove(list, FakeList::Row(1)));
    list.documents.Clear();
    list.documents.AppendMany({"X", "Y"});
    EXPECT_FALSE(reorder.MouseMove(list, FakeList::Row(2)));
    EXPECT_EQ(list.documents.Texts(), (QStringList{"X", "Y"}));
}

TEST_F(RowReorderTest, ScrollsTheNeighbourIntoViewNearTheScreenThresholds) {
    Fill({"A", "B", "C", "D", "E"});
    struct Case {
        int screenY;
        int from;
        int to;
        std::vector<int> expected;
    };
    const std::vector<Case> cases = {
        {304, 4, 3, {2}},  // high: the row above the reached one
        {305, 4, 3, {}},   // the quiet band starts at 305
        {364, 2, 3, {}},   // and ends at 364
        {365, 2, 3, {4}},  // low: the row below
        {100, 2, 1, {}},   // never above row 1
        {900, 4, 5, {}},   // never past the last row
    };
    for (const Case& c : cases) {
        list.madeVisible.clear();
        screenY = c.screenY;
        Press(c.from);
        ASSERT_TRUE(reorder.MouseMove(list, FakeList::Row(c.to))) << "y " << c.screenY;
        EXPECT_EQ(list.madeVisible, c.expected) << "y " << c.screenY;
        reorder.MouseUp();
    }
}

}  // namespace
