#pragma once

// The frames between a batch and its worker processes: a document's path and options out, its
// result (text included) back.

#include "convert/Converter.h"
#include "lib/ResultData.h"

#include <string>

namespace corvanel::library {

struct BatchRequest {
    std::string path;
    int output = CORVANEL_OUTPUT_TEXT;
    convert::ConvertOptions options;
};

std::string EncodeRequest(const BatchRequest& request);
bool DecodeRequest(const std::string& frame, BatchRequest& request);

// Everything but the source, which the batch keeps.
std::string EncodeResult(const corvanel_result& result);
bool DecodeResult(const std::string& frame, corvanel_result& result);

}  // namespace corvanel::library
