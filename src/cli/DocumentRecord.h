#pragma once

#include "convert/core/DocumentFacts.h"

#include <cstdint>
#include <optional>
#include <string>

namespace corvanel::cli {

// What became of one document of a run: the line of the JSON-lines report.
struct DocumentRecord {
    enum class Status { kConverted, kSkipped, kFailed };

    std::string source;
    std::optional<std::string> output;  // the text file written, if any
    Status status = Status::kFailed;
    std::string errorCode;  // stable name, when failed: "damaged", "name-taken", ...
    std::string errorMessage;
    std::optional<std::uint64_t> bytes;  // the source's size, when it could be read
    bool hasText = false;                // chars and words are known
    convert::DocumentFacts facts;
    double milliseconds = 0;
};

// One JSON object on one line, line feed included. Strings are UTF-8; bytes of a path or value
// that are not UTF-8 are written as the escapes \udc80 to \udcff (one per byte, as Python's
// "surrogateescape" does), so the exact bytes can be had back.
std::string EncodeRecord(const DocumentRecord& record);

// `text` as a JSON string, quotes included, by the rule above.
void AppendJsonString(std::string& out, std::string_view text);

}  // namespace corvanel::cli
