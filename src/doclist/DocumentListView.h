#pragma once

#include "doclist/RowReorder.h"

#include <QCursor>
#include <QStringList>
#include <QTreeView>

#include <optional>

class DocumentListModel;

// The document list's view: a one-column report list over DocumentListModel. It takes drops of
// local files, reorders rows the user drags and turns Delete and double-click into removal
// requests; the window is told through signals and decides what happens. Long paths are elided
// in the middle, so the file name stays visible; the row's tool tip holds the whole path.
class DocumentListView : public QTreeView, private ReorderableList {
    Q_OBJECT

public:
    explicit DocumentListView(QWidget* parent = nullptr);

    void SetDocumentList(DocumentListModel* model);
    DocumentListModel* DocumentList() const { return documents_; }
    // The pointer while a row is held; the system's move pointer when none is set.
    void SetDragCursor(const QCursor& cursor) { dragCursor_ = cursor; }

    // 1-based positions; 0 means none.
    int SelectedPosition() const override;
    void SelectPosition(int position) override;
    void MakeVisible(int position) override;
    int PositionAt(const QPoint& viewportPoint) const override;

    bool RowHeld() const { return reorder_.ListButtonDown(); }

signals:
    // Local files and folders dropped on the list, in the drop's order, with native separators.
    void pathsDropped(const QStringList& paths);
    // Delete (with any modifier) or a double-click asks to remove the selected row.
    void removeRequested(int position);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    DocumentListModel& Documents() override { return *documents_; }
    void ShowListPointer(ListPointer pointer);
    void RequestRemoval();

    DocumentListModel* documents_ = nullptr;
    RowReorder reorder_;
    std::optional<QCursor> dragCursor_;
};
