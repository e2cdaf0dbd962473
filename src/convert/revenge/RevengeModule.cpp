// The entry point of corvanel-revenge.so (RevengeModule.h): every failure becomes an error code
// and a message here, so nothing is thrown past the module's edge.

#include "convert/revenge/RevengeModule.h"

#include "convert/core/ConvertError.h"
#include "convert/revenge/RevengeReader.h"

#include <algorithm>
#include <exception>
#include <new>
#include <string_view>

namespace {

void Report(corvanel::convert::ErrorCode code, std::string_view detail, int* error, char* message,
            std::size_t messageSize) {
    *error = static_cast<int>(code);
    if (messageSize > 0) {
        const std::size_t length = std::min(detail.size(), messageSize - 1);
        detail.copy(message, length);
        message[length] = '\0';
    }
}

}  // namespace

extern "C" __attribute__((visibility("default"))) void CORVANEL_REVENGE_READ(
    const unsigned char* bytes, std::size_t size, corvanel::convert::DocumentSink* sink, int* error,
    const char** format, char* message, std::size_t messageSize) {
    using corvanel::convert::ErrorCode;
    *format = nullptr;
    Report(ErrorCode::kNone, {}, error, message, messageSize);
    try {
        corvanel::convert::revenge::ReadDocument(
            std::string_view(reinterpret_cast<const char*>(bytes), size), *sink, *format);
    } catch (const corvanel::convert::ConvertError& e) {
        Report(e.Code(), e.Detail(), error, message, messageSize);
    } catch (const std::bad_alloc&) {
        Report(ErrorCode::kTooLarge, "it needs more memory than is free", error, message,
               messageSize);
    } catch (const std::exception& e) {
        Report(ErrorCode::kInternal, e.what(), error, message, messageSize);
    } catch (...) {
        Report(ErrorCode::kInternal, "the reader of older formats failed", error, message,
               messageSize);
    }
}
