#pragma once

#include <QTreeView>

class DocumentListModel;
class ListView1Events;

// The document list's view: a one-column report list over DocumentListModel. It keeps no logic
// of its own beyond the widget's: every mouse, key and drop event goes to the main window's
// handlers (ListView1Events) as well.
class ListView1 : public QTreeView {
    Q_OBJECT

public:
    explicit ListView1(QWidget* parent = nullptr);

    void SetDocumentList(DocumentListModel* model);
    DocumentListModel* DocumentList() const { return documents_; }
    void SetEventHandler(ListView1Events* handler) { handler_ = handler; }

    // 1-based positions; 0 means none.
    int SelectedPosition() const;
    void SelectPosition(int position);
    void MakeVisible(int position);
    int PositionAt(const QPoint& viewportPoint) const;

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
    DocumentListModel* documents_ = nullptr;
    ListView1Events* handler_ = nullptr;
};
