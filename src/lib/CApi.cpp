// The C interface of conversions and results: every call catches everything at this edge.

#include "convert/Readers.h"
#include "convert/core/ErrorCode.h"
#include "lib/Conversion.h"
#include "lib/LibraryOptions.h"
#include "lib/ResultData.h"

#include <memory>
#include <mutex>
#include <new>
#include <string>

namespace {

using namespace corvanel;

// The header is where the status numbers are kept; the converter's error codes are the same
// numbers, held to it here, so corvanel_status_name can take one for the other.
using convert::ErrorCode;
static_assert(static_cast<int>(ErrorCode::kNone) == CORVANEL_OK);
static_assert(static_cast<int>(ErrorCode::kCannotOpen) == CORVANEL_CANNOT_OPEN);
static_assert(static_cast<int>(ErrorCode::kNotReadable) == CORVANEL_NOT_READABLE);
static_assert(static_cast<int>(ErrorCode::kPasswordProtected) == CORVANEL_PASSWORD_PROTECTED);
static_assert(static_cast<int>(ErrorCode::kDamaged) == CORVANEL_DAMAGED);
static_assert(static_cast<int>(ErrorCode::kTooLarge) == CORVANEL_TOO_LARGE);
static_assert(static_cast<int>(ErrorCode::kCannotWrite) == CORVANEL_CANNOT_WRITE);
static_assert(static_cast<int>(ErrorCode::kInternal) == CORVANEL_INTERNAL);
static_assert(static_cast<int>(ErrorCode::kTimeout) == CORVANEL_TIMEOUT);
static_assert(static_cast<int>(ErrorCode::kOutOfMemory) == CORVANEL_OUT_OF_MEMORY);
static_assert(static_cast<int>(ErrorCode::kCrashed) == CORVANEL_CRASHED);

// The header's version numbers are the project's (CMake's).
static_assert(CORVANEL_VERSION_MAJOR == CORVANEL_PROJECT_VERSION_MAJOR &&
              CORVANEL_VERSION_MINOR == CORVANEL_PROJECT_VERSION_MINOR &&
              CORVANEL_VERSION_PATCH == CORVANEL_PROJECT_VERSION_PATCH);

// A result for a failure found before converting, or while making the result itself.
corvanel_result* FailedResult(int status, const char* message) noexcept {
    auto* result = new (std::nothrow) corvanel_result;
    if (result != nullptr) {
        result->status = status;
        try {
            result->message = message;
        } catch (...) {
        }
    }
    return result;
}

template <typename Body>
int Guarded(corvanel_result** out, Body&& body) noexcept {
    if (out == nullptr) {
        return CORVANEL_INVALID_ARGUMENT;
    }
    *out = nullptr;
    try {
        auto result = std::make_unique<corvanel_result>();
        const int status = body(*result);
        *out = result.release();
        return status;
    } catch (const std::bad_alloc&) {
        *out = FailedResult(CORVANEL_TOO_LARGE, "there was not enough memory to convert it");
        return CORVANEL_TOO_LARGE;
    } catch (...) {
        *out = FailedResult(CORVANEL_INTERNAL, "it could not be converted: an internal error");
        return CORVANEL_INTERNAL;
    }
}

int ConvertSource(library::Source source, const corvanel_options* given,
                  const library::TextReceiver& receive, corvanel_result& result) {
    result.source = source.name;
    convert::ConvertOptions options;
    if (const int status = library::ReadOptions(given, options); status != CORVANEL_OK) {
        result.status = status;
        result.message = library::OptionsProblem(status);
        return status;
    }
    return library::Convert(source, options, receive, result);
}

library::TextReceiver Receiver(corvanel_write_fn write, void* context) {
    return [write, context](std::string_view piece) {
        return write(context, piece.data(), piece.size()) == 0;
    };
}

int MissingArgument(corvanel_result& result, const char* what) {
    result.status = CORVANEL_INVALID_ARGUMENT;
    result.message = what;
    return result.status;
}

std::string LabelOf(const char* label) {
    return label != nullptr ? label : "the document in memory";
}

}  // namespace

extern "C" {

int corvanel_convert_file(const char* path, const corvanel_options* options,
                          corvanel_result** result) {
    return Guarded(result, [&](corvanel_result& r) {
        return path == nullptr ? MissingArgument(r, "no path was given")
                               : ConvertSource({path}, options, {}, r);
    });
}

int corvanel_convert_bytes(const void* bytes, size_t size, const char* label,
                           const corvanel_options* options, corvanel_result** result) {
    return Guarded(result, [&](corvanel_result& r) {
        return bytes == nullptr && size > 0
                   ? MissingArgument(r, "no bytes were given")
                   : ConvertSource({LabelOf(label), bytes != nullptr ? bytes : "", size}, options,
                                   {}, r);
    });
}

int corvanel_stream_file(const char* path, const corvanel_options* options, corvanel_write_fn write,
                         void* context, corvanel_result** result) {
    return Guarded(result, [&](corvanel_result& r) {
        if (path == nullptr || write == nullptr) {
            return MissingArgument(r, "no path or no write function was given");
        }
        return ConvertSource({path}, options, Receiver(write, context), r);
    });
}

int corvanel_stream_bytes(const void* bytes, size_t size, const char* label,
                          const corvanel_options* options, corvanel_write_fn write, void* context,
                          corvanel_result** result) {
    return Guarded(result, [&](corvanel_result& r) {
        if ((bytes == nullptr && size > 0) || write == nullptr) {
            return MissingArgument(r, "no bytes or no write function was given");
        }
        return ConvertSource({LabelOf(label), bytes != nullptr ? bytes : "", size}, options,
                             Receiver(write, context), r);
    });
}

void corvanel_result_free(corvanel_result* result) {
    delete result;
}

int corvanel_result_status(const corvanel_result* result) {
    return result != nullptr ? result->status : CORVANEL_INVALID_ARGUMENT;
}

const char* corvanel_result_message(const corvanel_result* result) {
    return result != nullptr ? result->message.c_str() : "";
}

const char* corvanel_result_format(const corvanel_result* result) {
    return result != nullptr ? result->format.c_str() : "";
}

const char* corvanel_result_text(const corvanel_result* result, size_t* size) {
    if (size != nullptr) {
        *size = result != nullptr ? result->text.size() : 0;
    }
    return result != nullptr ? result->text.c_str() : "";
}

size_t corvanel_result_text_size(const corvanel_result* result) {
    return result != nullptr ? result->text.size() : 0;
}

uint64_t corvanel_result_chars(const corvanel_result* result) {
    return result != nullptr ? result->chars : 0;
}

uint64_t corvanel_result_words(const corvanel_result* result) {
    return result != nullptr ? result->words : 0;
}

const char* corvanel_result_property(const corvanel_result* result, int property) {
    if (result == nullptr || property < 0 || property >= CORVANEL_PROPERTY_COUNT) {
        return nullptr;
    }
    const auto& value = result->properties[static_cast<std::size_t>(property)];
    return value ? value->c_str() : nullptr;
}

const char* corvanel_result_source(const corvanel_result* result) {
    return result != nullptr ? result->source.c_str() : "";
}

const char* corvanel_status_name(int status) {
    switch (status) {
        case CORVANEL_OK:
            return "ok";
        case CORVANEL_INVALID_ARGUMENT:
            return "invalid-argument";
        case CORVANEL_UNSUPPORTED_OUTPUT:
            return "unsupported-output";
        default:
            if (status >= CORVANEL_CANNOT_OPEN && status <= CORVANEL_CRASHED) {
                return convert::ErrorCodeName(static_cast<convert::ErrorCode>(status));
            }
            return "unknown";
    }
}

const char* corvanel_property_name(int property) {
    if (property < 0 || property >= CORVANEL_PROPERTY_COUNT) {
        return nullptr;
    }
    return convert::PropertyName(static_cast<convert::DocumentProperty>(property));
}

const char* corvanel_version(void) {
    return CORVANEL_VERSION;
}

int corvanel_older_formats_available(const char** reason) {
    static std::once_flag looked;
    static bool available = false;
    static std::string why;
    try {
        std::call_once(looked, [] { available = convert::OlderFormatsAvailable(why); });
    } catch (...) {
        why = "the module could not be looked for";
    }
    if (reason != nullptr) {
        *reason = available ? "" : why.c_str();
    }
    return available ? 1 : 0;
}

int corvanel_output_available(int output) {
    convert::ConvertOptions options;
    return library::ApplyOutput(output, options) == CORVANEL_OK ? 1 : 0;
}

}  // extern "C"
