#pragma once

#include <Qt>

class QDragMoveEvent;
class QDropEvent;
class QPoint;

// The events of the document list that the main window handles, named after the list's events.
// Positions are 1-based; points are in the list's viewport coordinates.
class ListView1Events {
public:
    virtual ~ListView1Events() = default;

    virtual void ListView1_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift,
                                     const QPoint& point) = 0;
    // A press on a row, after the list selected it.
    virtual void ListView1_ItemClick(int position) = 0;
    virtual void ListView1_MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift,
                                     const QPoint& point) = 0;
    virtual void ListView1_MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift,
                                   const QPoint& point) = 0;
    virtual void ListView1_DblClick() = 0;
    virtual void ListView1_KeyDown(int keyCode, Qt::KeyboardModifiers shift) = 0;
    // Drag entering or moving over the list: accept or ignore the event.
    virtual void ListView1_OLEDragOver(QDragMoveEvent* event) = 0;
    virtual void ListView1_OLEDragDrop(QDropEvent* event) = 0;
};
