#pragma once

#include "doclist/ListView1.h"
#include "doclist/RowReorder.h"

// The list view as reordering sees it.
class ListViewRows : public ReorderableList {
public:
    explicit ListViewRows(ListView1& view) : view_(view) {}
    DocumentListModel& Documents() override { return *view_.DocumentList(); }
    int PositionAt(const QPoint& point) const override { return view_.PositionAt(point); }
    int SelectedPosition() const override { return view_.SelectedPosition(); }
    void SelectPosition(int position) override { view_.SelectPosition(position); }
    void MakeVisible(int position) override { view_.MakeVisible(position); }

private:
    ListView1& view_;
};
