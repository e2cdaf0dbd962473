#pragma once

// The hover rule of the main window's pointer: moving over a surface asks for its shape (the
// hand over the buttons, the arrow elsewhere), but the hourglass of a long operation stays.
inline constexpr int kHoverHourglass = 11;

inline int HoverRule(int currentPointer, int surfacePointer) {
    return currentPointer == kHoverHourglass ? currentPointer : surfacePointer;
}
