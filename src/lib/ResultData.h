#pragma once

// What a result handle holds: the outcome of one conversion, owned by the library's caller.

#include "convert/Converter.h"
#include "corvanel/corvanel.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

struct corvanel_result {
    int status = CORVANEL_OK;
    std::string message;
    std::string format;
    std::string source;
    std::string text;
    std::uint64_t chars = 0;
    std::uint64_t words = 0;
    std::array<std::optional<std::string>, CORVANEL_PROPERTY_COUNT> properties;
};

namespace corvanel::library {

// Takes the converter's status, message, format, counts and properties.
void TakeOutcome(corvanel_result& result, convert::ConversionResult&& outcome);

}  // namespace corvanel::library
