#include "doclist/ListView1.h"

#include "doclist/DocumentListModel.h"
#include "doclist/ListView1Events.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

ListView1::ListView1(QWidget* parent) : QTreeView(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);  // keeps 100,000 rows cheap to lay out
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setDragEnabled(false);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setMouseTracking(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    header()->setStretchLastSection(false);
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    header()->setSectionResizeMode(QHeaderView::Interactive);
}

void ListView1::SetDocumentList(DocumentListModel* model) {
    documents_ = model;
    setModel(model);
}

int ListView1::SelectedPosition() const {
    if (selectionModel() == nullptr) {
        return 0;
    }
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? 0 : rows.first().row() + 1;
}

void ListView1::SelectPosition(int position) {
    if (model() == nullptr || position < 1 || position > model()->rowCount()) {
        return;
    }
    setCurrentIndex(model()->index(position - 1, 0));
}

void ListView1::MakeVisible(int position) {
    if (model() == nullptr || position < 1 || position > model()->rowCount()) {
        return;
    }
    scrollTo(model()->index(position - 1, 0));
}

int ListView1::PositionAt(const QPoint& viewportPoint) const {
    const QModelIndex at = indexAt(viewportPoint);
    return at.isValid() ? at.row() + 1 : 0;
}

void ListView1::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (handler_ != nullptr) {
        handler_->ListView1_MouseDown(event->button(), event->modifiers(), point);
    }
    QTreeView::mousePressEvent(event);
    const int position = PositionAt(point);
    if (handler_ != nullptr && position != 0) {
        handler_->ListView1_ItemClick(position);
    }
}

void ListView1::mouseMoveEvent(QMouseEvent* event) {
    if (handler_ != nullptr) {
        handler_->ListView1_MouseMove(event->buttons(), event->modifiers(),
                                      event->position().toPoint());
    }
    // The base class would turn a held button into a rubber-band selection; rows are moved by
    // the window's handler instead.
    if (event->buttons() == Qt::NoButton) {
        QTreeView::mouseMoveEvent(event);
    }
}

void ListView1::mouseReleaseEvent(QMouseEvent* event) {
    QTreeView::mouseReleaseEvent(event);
    if (handler_ != nullptr) {
        handler_->ListView1_MouseUp(event->button(), event->modifiers(),
                                    event->position().toPoint());
    }
}

void ListView1::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeView::mouseDoubleClickEvent(event);
    if (handler_ != nullptr) {
        handler_->ListView1_DblClick();
    }
}

void ListView1::keyPressEvent(QKeyEvent* event) {
    if (handler_ != nullptr) {
        handler_->ListView1_KeyDown(event->key(), event->modifiers());
    }
    QTreeView::keyPressEvent(event);
}

void ListView1::dragEnterEvent(QDragEnterEvent* event) {
    event->ignore();
    if (handler_ != nullptr) {
        handler_->ListView1_OLEDragOver(event);
    }
}

void ListView1::dragMoveEvent(QDragMoveEvent* event) {
    event->ignore();
    if (handler_ != nullptr) {
        handler_->ListView1_OLEDragOver(event);
    }
}

void ListView1::dropEvent(QDropEvent* event) {
    event->ignore();
    if (handler_ != nullptr) {
        handler_->ListView1_OLEDragDrop(event);
    }
}
