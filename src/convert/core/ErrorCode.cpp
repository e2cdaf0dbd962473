#include "convert/core/ErrorCode.h"

namespace corvanel::convert {

namespace {

std::string WithDetail(std::string text, std::string_view detail) {
    if (!detail.empty()) {
        text += ": ";
        text += detail;
    }
    return text;
}

}  // namespace

const char* ErrorCodeName(ErrorCode code) {
    switch (code) {
        case ErrorCode::kNone:
            return "none";
        case ErrorCode::kCannotOpen:
            return "cannot-open";
        case ErrorCode::kNotReadable:
            return "not-readable";
        case ErrorCode::kPasswordProtected:
            return "password-protected";
        case ErrorCode::kDamaged:
            return "damaged";
        case ErrorCode::kTooLarge:
            return "too-large";
        case ErrorCode::kCannotWrite:
            return "cannot-write";
        case ErrorCode::kInternal:
            return "internal";
        case ErrorCode::kTimeout:
            return "timeout";
        case ErrorCode::kOutOfMemory:
            return "out-of-memory";
        case ErrorCode::kCrashed:
            return "crashed";
    }
    return "internal";
}

std::string DescribeError(ErrorCode code, std::string_view path, std::string_view detail) {
    const std::string name(path);
    switch (code) {
        case ErrorCode::kNone:
            return {};
        case ErrorCode::kCannotOpen:
            return WithDetail(name + " cannot be opened", detail);
        case ErrorCode::kNotReadable:
            return WithDetail(name + " is not a document Corvanel can read", detail);
        case ErrorCode::kPasswordProtected:
            return name + " is password-protected";
        case ErrorCode::kDamaged:
            return WithDetail(name + " is damaged", detail);
        case ErrorCode::kTooLarge:
            return WithDetail(name + " is too large to convert", detail);
        case ErrorCode::kCannotWrite:
            return WithDetail(name + " cannot be written", detail);
        case ErrorCode::kInternal:
            return WithDetail(name + " could not be converted because of an internal error",
                              detail);
        case ErrorCode::kTimeout:
        case ErrorCode::kOutOfMemory:
        case ErrorCode::kCrashed:
            break;
    }
    return WithDetail(name + " could not be converted", detail);
}

}  // namespace corvanel::convert
