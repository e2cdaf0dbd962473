#pragma once

#include "doclist/RowReorder.h"

#include <QCursor>
#include <QHash>
#include <QString>

#include <optional>

class QObject;

// The main window's state for filling and ordering the list: the folder scan, drops, samples,
// row reordering and pointer feedback (handlers in Form1ListFeatures.cpp).
struct Form1ListFeatureState {
    // ListButtonDown and DragItem of the row drag; the row under the pointer lives for one move.
    RowReorder Reorder;
    // The folder scan's remembered picker folder (LastScanFolder, stored as "LastFolder").
    QString LastScanFolder;
    // The list's drag pointer, loaded from drag.ico beside the program when first needed.
    std::optional<QCursor> DragCursor;
    bool DragCursorLoaded = false;
    // The MousePointer each surface asks for when the mouse moves over it; -1: no handling.
    QHash<const QObject*, int> HoverPointers;
};
