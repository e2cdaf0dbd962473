#pragma once

// The one entry point of corvanel-revenge.so, the reader of the older formats. The module links
// librevenge, libwpd, libwps and libmwaw, which together cost more than a millisecond at every
// start of a program that links them; the converter opens the module only when a document may be
// in one of those formats (RevengeLoader.cpp).
//
// Only plain C types cross the boundary, besides the sink, whose calls take only views and enums.
// No exception crosses it either way: the module catches its own, and the converter hands it a
// sink that keeps whatever the real sink throws. corvanel-convert carries its own C++ runtime
// while the module and its libraries use the shared one, so an exception thrown by one and
// caught by the other would be a gamble.

#include <cstddef>

namespace corvanel::convert {
class DocumentSink;
}

extern "C" {

// Reads `size` bytes at `bytes` into `sink` when one of the libraries recognises them.
//   *format: the recognised format's name (also sent to the sink), a string of the module's own
//            that lives as long as the module; nullptr when no library knew the document.
//   *error:  0, or the ErrorCode (ConvertError.h) the reading failed with;
//   message: the failure's detail, NUL-terminated, cut to `messageSize` bytes.
using CorvanelRevengeRead = void (*)(const unsigned char* bytes, std::size_t size,
                                     corvanel::convert::DocumentSink* sink, int* error,
                                     const char** format, char* message, std::size_t messageSize);

// The entry point's name carries the version of the interface, the sink's calls included
// (DocumentSink's virtual functions, in their order): bump it with any change to either, so that
// a module built against another version is refused rather than called through the wrong slots.
// The Windows export list is made from it (corvanel-revenge.def.in).
#define CORVANEL_REVENGE_INTERFACE 2
#define CORVANEL_REVENGE_JOIN(a, b) CORVANEL_REVENGE_JOIN_(a, b)
#define CORVANEL_REVENGE_JOIN_(a, b) a##b
#define CORVANEL_REVENGE_QUOTE(a) CORVANEL_REVENGE_QUOTE_(a)
#define CORVANEL_REVENGE_QUOTE_(a) #a
#define CORVANEL_REVENGE_READ \
    CORVANEL_REVENGE_JOIN(corvanel_revenge_read_, CORVANEL_REVENGE_INTERFACE)
#define CORVANEL_REVENGE_READ_SYMBOL CORVANEL_REVENGE_QUOTE(CORVANEL_REVENGE_READ)
void CORVANEL_REVENGE_READ(const unsigned char* bytes, std::size_t size,
                           corvanel::convert::DocumentSink* sink, int* error, const char** format,
                           char* message, std::size_t messageSize);
}
