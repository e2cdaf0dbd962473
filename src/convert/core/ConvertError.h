#pragma once

#include "convert/core/ErrorCode.h"

#include <exception>
#include <string>

namespace corvanel::convert {

// Thrown inside the library by readers; caught at the public edge (Converter.cpp) and turned into
// a ConversionResult. The detail is the reason only; the file name is added at the edge.
class ConvertError : public std::exception {
public:
    ConvertError(ErrorCode code, std::string detail) : code_(code), detail_(std::move(detail)) {}

    ErrorCode Code() const noexcept { return code_; }
    const std::string& Detail() const noexcept { return detail_; }
    const char* what() const noexcept override { return detail_.c_str(); }

private:
    ErrorCode code_;
    std::string detail_;
};

[[noreturn]] inline void ThrowDamaged(std::string detail) {
    throw ConvertError(ErrorCode::kDamaged, std::move(detail));
}
[[noreturn]] inline void ThrowTooLarge(std::string detail) {
    throw ConvertError(ErrorCode::kTooLarge, std::move(detail));
}
[[noreturn]] inline void ThrowNotReadable(std::string detail) {
    throw ConvertError(ErrorCode::kNotReadable, std::move(detail));
}
[[noreturn]] inline void ThrowPasswordProtected() {
    throw ConvertError(ErrorCode::kPasswordProtected, {});
}

}  // namespace corvanel::convert
