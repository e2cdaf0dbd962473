#include "lib/BatchProtocol.h"

#include "isolation/Frames.h"

#include <cstdint>

namespace corvanel::library {

using isolation::FieldReader;
using isolation::PutField;
using isolation::PutNumber;

std::string EncodeRequest(const BatchRequest& request) {
    std::string out;
    PutField(out, request.path);
    PutField(out, request.options.newline);
    PutNumber(out, (request.options.include.headers ? CORVANEL_INCLUDE_HEADERS : 0) |
                       (request.options.include.footers ? CORVANEL_INCLUDE_FOOTERS : 0) |
                       (request.options.include.comments ? CORVANEL_INCLUDE_COMMENTS : 0));
    PutNumber(out, static_cast<std::uint64_t>(request.output));
    return out;
}

bool DecodeRequest(const std::string& frame, BatchRequest& request) {
    FieldReader in(frame);
    std::uint64_t include = 0, output = 0;
    if (!in.Field(request.path) || !in.Field(request.options.newline) || !in.Number(include) ||
        !in.Number(output) || !in.AtEnd() || output > CORVANEL_OUTPUT_MARKDOWN) {
        return false;
    }
    request.options.include = {(include & CORVANEL_INCLUDE_HEADERS) != 0,
                               (include & CORVANEL_INCLUDE_FOOTERS) != 0,
                               (include & CORVANEL_INCLUDE_COMMENTS) != 0};
    request.options.collectFacts = true;
    request.output = static_cast<int>(output);
    return true;
}

std::string EncodeResult(const corvanel_result& result) {
    std::string out;
    PutNumber(out, static_cast<std::uint64_t>(result.status));
    PutField(out, result.message);
    PutField(out, result.format);
    PutField(out, result.text);
    PutNumber(out, result.chars);
    PutNumber(out, result.words);
    std::uint64_t stated = 0;
    for (std::size_t i = 0; i < result.properties.size(); ++i) {
        stated |= result.properties[i] ? 1u << i : 0u;
    }
    PutNumber(out, stated);
    for (const auto& value : result.properties) {
        if (value) {
            PutField(out, *value);
        }
    }
    return out;
}

bool DecodeResult(const std::string& frame, corvanel_result& result) {
    FieldReader in(frame);
    std::uint64_t status = 0, stated = 0;
    if (!in.Number(status) || status > 0xffff || !in.Field(result.message) ||
        !in.Field(result.format) || !in.Field(result.text) || !in.Number(result.chars) ||
        !in.Number(result.words) || !in.Number(stated) ||
        (stated >> result.properties.size()) != 0) {
        return false;
    }
    result.status = static_cast<int>(status);
    for (std::size_t i = 0; i < result.properties.size(); ++i) {
        if ((stated & (1u << i)) != 0 && !in.Field(result.properties[i].emplace())) {
            return false;
        }
    }
    return in.AtEnd();
}

}  // namespace corvanel::library
