#include "doclist/RowReorder.h"

#include "doclist/DocumentListModel.h"

#include <QCursor>

int PointerScreenY() {
    return QCursor::pos().y();
}

ListPointer RowReorder::ItemClick(ReorderableList& list) {
    const int selected = list.SelectedPosition();
    DocumentListModel& documents = list.Documents();
    dragItem_ = selected > 0 ? QPersistentModelIndex(documents.index(selected - 1))
                             : QPersistentModelIndex();
    return ListPointer::kDragIcon;
}

int RowReorder::DragItemPosition() const {
    return dragItem_.isValid() ? dragItem_.row() + 1 : 0;
}

bool RowReorder::MouseMove(ReorderableList& list, const QPoint& listPoint) {
    if (!listButtonDown_) {
        return false;
    }
    const int reached = list.PositionAt(listPoint);  // ItemUnderPointer
    const int dragged = DragItemPosition();
    DocumentListModel& documents = list.Documents();
    if (reached == 0 || dragged == 0 || dragItem_.model() != &documents) {
        return false;
    }
    const QString draggedText = documents.Text(dragged);
    const QString reachedText = documents.Text(reached);
    if (draggedText == reachedText) {
        return false;
    }
    documents.SetText(dragged, reachedText);
    documents.SetText(reached, draggedText);
    list.SelectPosition(reached);
    dragItem_ = QPersistentModelIndex(documents.index(reached - 1));
    ScrollNear(list, reached);
    return true;
}

void RowReorder::ScrollNear(ReorderableList& list, int reachedPosition) {
    const int y = screenY_();
    if (y < kScrollUpBelowScreenY && reachedPosition >= 2) {
        list.MakeVisible(reachedPosition - 1);
    } else if (y >= kScrollDownFromScreenY && reachedPosition + 1 <= list.Documents().Count()) {
        list.MakeVisible(reachedPosition + 1);
    }
}

ListPointer RowReorder::MouseUp() {
    listButtonDown_ = false;
    return ListPointer::kArrow;
}
