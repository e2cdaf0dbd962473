#include "app/WindowPointer.h"

#include <QGuiApplication>
#include <QWidget>

WindowPointer::~WindowPointer() {
    SetBusy(false);
}

QCursor WindowPointer::HandCursor() const {
    return hand_.value_or(QCursor(Qt::ArrowCursor));
}

void WindowPointer::ShowHandOver(QWidget* widget) {
    handSurfaces_.append(widget);
    widget->setCursor(HandCursor());
}

void WindowPointer::SetHandImage(const QCursor& hand) {
    hand_ = hand;
    for (const QPointer<QWidget>& surface : handSurfaces_) {
        if (surface != nullptr) {
            surface->setCursor(hand);
        }
    }
}

void WindowPointer::SetBusy(bool busy) {
    // The export sets it twice per document: only a change touches the override stack.
    if (busy == busy_) {
        return;
    }
    busy_ = busy;
    if (busy) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QGuiApplication::restoreOverrideCursor();
    }
}

PointerShape WindowPointer::ShapeOver(const QWidget* widget) const {
    for (const QPointer<QWidget>& surface : handSurfaces_) {
        if (surface == widget) {
            return PointerShape::kHand;
        }
    }
    return PointerShape::kArrow;
}
