#include "server/Answers.h"

#include "cli/DocumentRecord.h"
#include "server/TikaOutput.h"

namespace corvanel::server {

namespace {

constexpr const char* kJson = "application/json; charset=UTF-8";
constexpr const char* kText = "text/plain; charset=UTF-8";
constexpr const char* kMarkdown = "text/markdown; charset=UTF-8";
constexpr const char* kHtml = "text/html; charset=UTF-8";

// The record corvanel-convert --jsonl writes for a document, with its text.
std::string ConvertRecord(const Converted* converted, const Failure* failure) {
    cli::DocumentRecord record;
    record.source = converted != nullptr && !converted->name.empty() ? converted->name : "-";
    if (converted != nullptr) {
        record.bytes = converted->bytes;
        record.facts = converted->facts;
        record.milliseconds = converted->milliseconds;
    }
    if (failure != nullptr) {
        record.status = cli::DocumentRecord::Status::kFailed;
        record.errorCode = failure->code;
        record.errorMessage = failure->message;
    } else {
        record.status = cli::DocumentRecord::Status::kConverted;
        record.hasText = true;
    }
    std::string out = cli::EncodeRecord(record);
    // The record is one object on a line: its closing brace and line feed make room for the text.
    out.resize(out.size() - 2);
    out += ",\"text\":";
    if (failure == nullptr && converted != nullptr) {
        cli::AppendJsonString(out, converted->text);
    } else {
        out += "null";
    }
    out += "}\n";
    return out;
}

}  // namespace

int StatusOf(convert::ErrorCode code) {
    using convert::ErrorCode;
    switch (code) {
        case ErrorCode::kNotReadable:
            return 415;
        case ErrorCode::kCannotOpen:
        case ErrorCode::kPasswordProtected:
        case ErrorCode::kDamaged:
        case ErrorCode::kTooLarge:
        case ErrorCode::kTimeout:
        case ErrorCode::kOutOfMemory:
            return 422;
        default:
            return 500;
    }
}

bool AnswersJson(Endpoint endpoint, Wanted wanted) {
    switch (endpoint) {
        case Endpoint::kTika:
        case Endpoint::kTikaForm:
            return wanted == Wanted::kJson;
        case Endpoint::kMeta:
            return wanted == Wanted::kJson;
        case Endpoint::kTikaText:
        case Endpoint::kTikaMarkdown:
        case Endpoint::kRmeta:
        case Endpoint::kRmetaText:
        case Endpoint::kRmetaMarkdown:
        case Endpoint::kRmetaIgnore:
        case Endpoint::kRmetaForm:
        case Endpoint::kConvert:
        case Endpoint::kHealth:
            return true;
        default:
            return false;
    }
}

Answer DocumentAnswer(Endpoint endpoint, Wanted wanted, const Converted& converted) {
    const convert::DocumentFacts& facts = converted.facts;
    const double ms = converted.milliseconds;
    switch (endpoint) {
        case Endpoint::kTika:
        case Endpoint::kTikaForm:
            if (wanted == Wanted::kJson) {
                return {200, kJson, TikaJsonObject(facts, ms, &converted.text), {}};
            }
            if (wanted == Wanted::kXhtml) {
                return {200, kHtml, XhtmlOf(converted.text, facts), {}};
            }
            // An empty text is "no content", as Tika answers it.
            return {converted.text.empty() ? 204 : 200,
                    converted.markdown ? kMarkdown : kText,
                    converted.text,
                    {}};
        case Endpoint::kTikaText:
        case Endpoint::kTikaMarkdown:
            return {200, kJson, TikaJsonObject(facts, ms, &converted.text), {}};
        case Endpoint::kRmeta:
        case Endpoint::kRmetaForm: {
            const std::string xhtml = XhtmlOf(converted.text, facts);
            return {200, kJson, "[" + TikaJsonObject(facts, ms, &xhtml) + "]", {}};
        }
        case Endpoint::kRmetaText:
        case Endpoint::kRmetaMarkdown:
            return {200, kJson, "[" + TikaJsonObject(facts, ms, &converted.text) + "]", {}};
        case Endpoint::kRmetaIgnore:
            return {200, kJson, "[" + TikaJsonObject(facts, ms, nullptr) + "]", {}};
        case Endpoint::kMeta:
            if (wanted == Wanted::kJson) {
                return {200, kJson, TikaJsonObject(facts, ms, nullptr), {}};
            }
            return {200, "text/csv; charset=UTF-8", MetadataCsv(facts, ms), {}};
        case Endpoint::kDetect:
            return {200, kText, MimeTypeOf(facts.format), {}};
        case Endpoint::kConvert:
            return {200, kJson, ConvertRecord(&converted, nullptr), {}};
        default:
            return {500, kText, "internal: no answer for this endpoint\n", {}};
    }
}

Answer FailureAnswer(Endpoint endpoint, Wanted wanted, const Failure& failure,
                     const Converted* converted) {
    Answer answer;
    answer.status = failure.status;
    if (endpoint == Endpoint::kConvert) {
        answer.contentType = kJson;
        answer.body = ConvertRecord(converted, &failure);
    } else if (AnswersJson(endpoint, wanted)) {
        answer.contentType = kJson;
        answer.body = "{\"status\":" + std::to_string(failure.status) + ",\"error\":{\"code\":";
        cli::AppendJsonString(answer.body, failure.code);
        answer.body += ",\"message\":";
        cli::AppendJsonString(answer.body, failure.message);
        answer.body += "}}\n";
    } else {
        answer.contentType = kText;
        answer.body =
            std::to_string(failure.status) + ' ' + failure.code + ": " + failure.message + '\n';
    }
    if (failure.status == 503) {
        answer.headers.emplace_back("Retry-After", "1");
    }
    return answer;
}

}  // namespace corvanel::server
