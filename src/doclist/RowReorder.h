#pragma once

#include <QPersistentModelIndex>
#include <QPoint>

#include <functional>

class DocumentListModel;

// What reordering asks of the list view. Positions are 1-based; 0 means none.
class ReorderableList {
public:
    virtual ~ReorderableList() = default;
    virtual DocumentListModel& Documents() = 0;
    virtual int PositionAt(const QPoint& listPoint) const = 0;
    virtual int SelectedPosition() const = 0;
    virtual void SelectPosition(int position) = 0;
    virtual void MakeVisible(int position) = 0;
};

// The list's own pointer: the drag icon while a row is held, the arrow otherwise.
enum class ListPointer { kArrow, kDragIcon };

// Screen heights (pixels, whole screen) beyond which a drag brings the neighbouring row into
// view: above the first one the row above, from the second one on the row below.
inline constexpr int kScrollUpBelowScreenY = 305;
inline constexpr int kScrollDownFromScreenY = 365;

// The pointer's vertical position on the screen.
int PointerScreenY();

// Reordering rows by dragging: each time the pointer, with a button held on the list, reaches a
// row with another text, the dragged text and that row's text change places, and the selection
// follows the dragged text. Rows keep their positions; nothing is sorted.
class RowReorder {
public:
    using ScreenY = std::function<int()>;
    explicit RowReorder(ScreenY screenY = PointerScreenY) : screenY_(std::move(screenY)) {}

    // Any button down on the list.
    void MouseDown() { listButtonDown_ = true; }
    // A row was pressed: the selected row becomes the dragged one.
    ListPointer ItemClick(ReorderableList& list);
    // Returns true when two texts changed places.
    bool MouseMove(ReorderableList& list, const QPoint& listPoint);
    ListPointer MouseUp();

    bool ListButtonDown() const { return listButtonDown_; }
    // The dragged row; 0 when there is none (never clicked, or the row was removed).
    int DragItemPosition() const;

private:
    void ScrollNear(ReorderableList& list, int reachedPosition);

    bool listButtonDown_ = false;
    // Follows the row through removals above it and becomes invalid when the row goes.
    QPersistentModelIndex dragItem_;
    ScreenY screenY_;
};
