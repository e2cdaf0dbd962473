#include "doclist/DocumentListView.h"

#include "doclist/DocumentListModel.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

namespace {

// Only drags that carry files of this machine can be dropped.
bool CarriesLocalFiles(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().isEmpty()) {
        return false;
    }
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) {
            return false;
        }
    }
    return true;
}

}  // namespace

DocumentListView::DocumentListView(QWidget* parent) : QTreeView(parent) {
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
    setTextElideMode(Qt::ElideMiddle);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    header()->setStretchLastSection(false);
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    header()->setSectionResizeMode(QHeaderView::Interactive);
}

void DocumentListView::SetDocumentList(DocumentListModel* model) {
    documents_ = model;
    setModel(model);
}

int DocumentListView::SelectedPosition() const {
    if (selectionModel() == nullptr) {
        return 0;
    }
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? 0 : rows.first().row() + 1;
}

void DocumentListView::SelectPosition(int position) {
    if (model() == nullptr || position < 1 || position > model()->rowCount()) {
        return;
    }
    setCurrentIndex(model()->index(position - 1, 0));
}

void DocumentListView::MakeVisible(int position) {
    if (model() == nullptr || position < 1 || position > model()->rowCount()) {
        return;
    }
    scrollTo(model()->index(position - 1, 0));
}

int DocumentListView::PositionAt(const QPoint& viewportPoint) const {
    const QModelIndex at = indexAt(viewportPoint);
    return at.isValid() ? at.row() + 1 : 0;
}

void DocumentListView::ShowListPointer(ListPointer pointer) {
    if (pointer == ListPointer::kDragIcon) {
        setCursor(dragCursor_.value_or(QCursor(Qt::DragMoveCursor)));
    } else {
        setCursor(Qt::ArrowCursor);
    }
}

void DocumentListView::RequestRemoval() {
    const int position = SelectedPosition();
    if (documents_ != nullptr && position != 0) {
        emit removeRequested(position);
    }
}

void DocumentListView::mousePressEvent(QMouseEvent* event) {
    reorder_.MouseDown();
    QTreeView::mousePressEvent(event);
    if (documents_ != nullptr && PositionAt(event->position().toPoint()) != 0) {
        ShowListPointer(reorder_.ItemClick(*this));
    }
}

void DocumentListView::mouseMoveEvent(QMouseEvent* event) {
    if (documents_ != nullptr) {
        reorder_.MouseMove(*this, event->position().toPoint());
    }
    // The base class would turn a held button into a rubber-band selection; a held row is moved
    // by the reordering instead.
    if (event->buttons() == Qt::NoButton) {
        QTreeView::mouseMoveEvent(event);
    }
}

void DocumentListView::mouseReleaseEvent(QMouseEvent* event) {
    QTreeView::mouseReleaseEvent(event);
    ShowListPointer(reorder_.MouseUp());
}

void DocumentListView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeView::mouseDoubleClickEvent(event);
    RequestRemoval();
}

void DocumentListView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete) {
        RequestRemoval();
    }
    QTreeView::keyPressEvent(event);
}

void DocumentListView::dragEnterEvent(QDragEnterEvent* event) {
    dragMoveEvent(event);
}

void DocumentListView::dragMoveEvent(QDragMoveEvent* event) {
    if (CarriesLocalFiles(event->mimeData())) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void DocumentListView::dropEvent(QDropEvent* event) {
    if (!CarriesLocalFiles(event->mimeData())) {
        event->ignore();
        return;
    }
    // Taken before anything yields: the drag's data may go once the drop has been accepted.
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        paths.append(QDir::toNativeSeparators(url.toLocalFile()));
    }
    event->acceptProposedAction();
    emit pathsDropped(paths);
}
