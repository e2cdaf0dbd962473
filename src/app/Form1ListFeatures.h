#pragma once

#include <QCursor>
#include <QPersistentModelIndex>
#include <QString>

#include <optional>

// The main window's state for filling and ordering the list: the folder scan, drops, samples,
// row reordering and pointer feedback (handlers in Form1ListFeatures.cpp).
struct Form1ListFeatureState {
    // A mouse button went down on the list and has not yet come up.
    bool ListButtonDown = false;
    // The row whose text is being dragged; kept after the button comes up.
    QPersistentModelIndex DragItem;
    // The row under the pointer during one move event.
    QPersistentModelIndex ItemUnderPointer;
    // The folder scan's remembered picker folder ("LastFolder").
    QString LastFolder;
    // The list's drag pointer, loaded from drag.ico beside the program when first needed.
    std::optional<QCursor> DragCursor;
};
