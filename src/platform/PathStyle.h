#pragma once

#include <QChar>

// Path conventions: Windows (backslash, drive roots, \\server prefix) or POSIX ("/", one root).
// The helpers take a style so both rule sets stay testable on any platform.
enum class PathStyle { Windows, Posix };

#ifdef _WIN32
inline constexpr PathStyle kNativePathStyle = PathStyle::Windows;
#else
inline constexpr PathStyle kNativePathStyle = PathStyle::Posix;
#endif

inline QChar PathSeparator(PathStyle style = kNativePathStyle) {
    return style == PathStyle::Windows ? QChar('\\') : QChar('/');
}
