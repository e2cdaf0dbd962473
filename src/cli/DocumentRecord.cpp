#include "cli/DocumentRecord.h"

#include "convert/core/TextEncoding.h"

#include <cstdio>

namespace corvanel::cli {

namespace {

void AppendEscape(std::string& out, unsigned code) {
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\u%04x", code);
    out += escape;
}

const char* StatusName(DocumentRecord::Status status) {
    switch (status) {
        case DocumentRecord::Status::kConverted:
            return "converted";
        case DocumentRecord::Status::kSkipped:
            return "skipped";
        case DocumentRecord::Status::kFailed:
            return "failed";
    }
    return "failed";
}

bool IsCount(convert::DocumentProperty property) {
    return property == convert::DocumentProperty::kPages ||
           property == convert::DocumentProperty::kWords;
}

bool AllDigits(std::string_view text) {
    return !text.empty() && text.size() <= 18 &&
           text.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view text) {
    out += '"';
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            switch (c) {
                case '"':
                    out += "\\\"";
                    break;
                case '\\':
                    out += "\\\\";
                    break;
                case '\n':
                    out += "\\n";
                    break;
                case '\r':
                    out += "\\r";
                    break;
                case '\t':
                    out += "\\t";
                    break;
                default:
                    if (c < 0x20 || c == 0x7F) {
                        AppendEscape(out, c);
                    } else {
                        out += static_cast<char>(c);
                    }
            }
            ++i;
            continue;
        }
        if (const std::size_t length = convert::Utf8SequenceLength(text, i); length > 0) {
            out.append(text.substr(i, length));
            i += length;
        } else {
            AppendEscape(out, 0xDC00 + c);
            ++i;
        }
    }
    out += '"';
}

std::string EncodeRecord(const DocumentRecord& record) {
    std::string out = "{\"source\":";
    AppendJsonString(out, record.source);
    out += ",\"output\":";
    if (record.output) {
        AppendJsonString(out, *record.output);
    } else {
        out += "null";
    }
    out += ",\"status\":\"";
    out += StatusName(record.status);
    out += '"';
    if (record.status == DocumentRecord::Status::kFailed) {
        out += ",\"error\":{\"code\":";
        AppendJsonString(out, record.errorCode);
        out += ",\"message\":";
        AppendJsonString(out, record.errorMessage);
        out += '}';
    }
    out += ",\"format\":";
    if (record.facts.format.empty()) {
        out += "null";
    } else {
        AppendJsonString(out, record.facts.format);
    }
    out += ",\"bytes\":" + (record.bytes ? std::to_string(*record.bytes) : std::string("null"));
    out += ",\"chars\":" + (record.hasText ? std::to_string(record.facts.chars) : "null");
    out += ",\"words\":" + (record.hasText ? std::to_string(record.facts.words) : "null");
    char ms[32];
    std::snprintf(ms, sizeof ms, "%.3f", record.milliseconds);
    out += ",\"ms\":";
    out += ms;
    out += ",\"metadata\":{";
    bool first = true;
    for (const auto& [property, value] : record.facts.properties) {
        const bool count = IsCount(property);
        if (count && !AllDigits(value)) {
            continue;  // a count that is not one is left out rather than guessed
        }
        out += first ? "\"" : ",\"";
        first = false;
        out += convert::PropertyName(property);
        out += "\":";
        if (count) {
            out += std::to_string(std::stoull(std::string(value)));
        } else {
            AppendJsonString(out, value);
        }
    }
    out += "}}\n";
    return out;
}

}  // namespace corvanel::cli
