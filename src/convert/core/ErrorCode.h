#pragma once

#include <string>
#include <string_view>

namespace corvanel::convert {

// Every failure of a conversion, with the number a user sees in the report. The numbers are the C
// interface's statuses (lib/include/corvanel/corvanel.h), held to them in lib/CApi.cpp.
enum class ErrorCode : int {
    kNone = 0,
    kCannotOpen = 8001,         // the source cannot be opened or read
    kNotReadable = 8002,        // not a format Corvanel reads
    kPasswordProtected = 8003,  // encrypted or needs a password
    kDamaged = 8004,            // recognised but broken
    kTooLarge = 8005,           // beyond the converter's safety limits
    kCannotWrite = 8006,        // the text file cannot be written
    kInternal = 8007,           // a fault of Corvanel itself
    // Only where documents are converted in worker processes:
    kTimeout = 8008,      // the conversion outlived the time limit
    kOutOfMemory = 8009,  // the conversion needed more than the memory limit
    kCrashed = 8010,      // the conversion ended its worker process, twice
};

// The code's stable name in machine-readable reports: "cannot-open", "not-readable", ...
const char* ErrorCodeName(ErrorCode code);

// "<path> is password-protected", "<path> is damaged: <detail>", ...
std::string DescribeError(ErrorCode code, std::string_view path, std::string_view detail);

}  // namespace corvanel::convert
