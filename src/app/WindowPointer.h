#pragma once

#include <QCursor>
#include <QList>
#include <QPointer>

#include <optional>

class QWidget;

// The pointer shapes the window shows.
enum class PointerShape { kArrow, kHourglass, kHand };

// Every pointer shape of the window is set here. The buttons carry the hand as their own
// cursor (the arrow while no hand image is loaded); everything else shows the arrow. While the
// window is busy, the hourglass is an override cursor over the whole program, so hovering never
// replaces it.
class WindowPointer {
public:
    WindowPointer() = default;
    ~WindowPointer();
    WindowPointer(const WindowPointer&) = delete;
    WindowPointer& operator=(const WindowPointer&) = delete;

    // The hand shows over this widget.
    void ShowHandOver(QWidget* widget);
    void SetHandImage(const QCursor& hand);
    bool HasHandImage() const { return hand_.has_value(); }

    void SetBusy(bool busy);
    bool Busy() const { return busy_; }
    // What the window as a whole shows: the hourglass while busy, the arrow otherwise.
    PointerShape Shape() const { return busy_ ? PointerShape::kHourglass : PointerShape::kArrow; }
    // What a widget shows while the window is not busy.
    PointerShape ShapeOver(const QWidget* widget) const;

private:
    QCursor HandCursor() const;

    std::optional<QCursor> hand_;
    QList<QPointer<QWidget>> handSurfaces_;
    bool busy_ = false;
};
