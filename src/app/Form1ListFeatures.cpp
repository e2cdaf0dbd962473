// Filling and ordering the list: folder scan, samples, drag and drop onto the list, row
// reordering and pointer feedback. Minimal bodies until those features are written.
#include "app/Form1.h"

#include <QDragMoveEvent>
#include <QDropEvent>

void Form1::InstallListFeatures() {}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    return QWidget::eventFilter(watched, event);
}

void Form1::PushButton4_Click() {}

void Form1::PushButton7_Click() {}

void Form1::ListView1_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, const QPoint&) {}

void Form1::ListView1_ItemClick(int) {}

void Form1::ListView1_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, const QPoint&) {}

void Form1::ListView1_MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, const QPoint&) {}

void Form1::ListView1_OLEDragOver(QDragMoveEvent* event) {
    event->ignore();
}

void Form1::ListView1_OLEDragDrop(QDropEvent* event) {
    event->ignore();
}
