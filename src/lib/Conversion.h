#pragma once

// One conversion into a result handle: the converter's text and facts, whatever the source.

#include "convert/Converter.h"
#include "lib/ResultData.h"

#include <functional>
#include <string>
#include <string_view>

namespace corvanel::library {

struct Source {
    std::string name;             // the path, or the label of bytes in memory
    const void* bytes = nullptr;  // set for bytes in memory
    std::size_t size = 0;
};

// Where the text goes: nothing for result.text; else a receiver that returns false to stop.
using TextReceiver = std::function<bool(std::string_view)>;

// Converts `source` into `result` and returns its status.
int Convert(const Source& source, const convert::ConvertOptions& options,
            const TextReceiver& receive, corvanel_result& result);

}  // namespace corvanel::library
