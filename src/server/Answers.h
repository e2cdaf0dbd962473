#pragma once

// What each endpoint answers for a document converted or not: status, type and body. JSON
// endpoints answer failures in JSON, the others in text; a failure always names its code.

#include "convert/core/DocumentFacts.h"
#include "convert/core/ErrorCode.h"
#include "server/RequestHeaders.h"
#include "server/Routes.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace corvanel::server {

struct Answer {
    int status = 200;
    std::string contentType;
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;  // beyond the type
};

// Why a request failed: the status, a stable code ("damaged", "body-too-large", ...) and words
// for people (already safe to show).
struct Failure {
    int status = 500;
    std::string code;
    std::string message;
};

// A document the worker answered for.
struct Converted {
    convert::DocumentFacts facts;
    std::string text;
    double milliseconds = 0;
    std::uint64_t bytes = 0;  // the body's
    std::string name;         // the name it was sent under, if any
    bool markdown = false;
};

// The status a conversion's failure is answered with.
int StatusOf(convert::ErrorCode code);

// Whether the endpoint, asked so, answers in JSON.
bool AnswersJson(Endpoint endpoint, Wanted wanted);

Answer DocumentAnswer(Endpoint endpoint, Wanted wanted, const Converted& converted);
// `converted`, when the worker answered, completes POST /v1/convert's record.
Answer FailureAnswer(Endpoint endpoint, Wanted wanted, const Failure& failure,
                     const Converted* converted = nullptr);

}  // namespace corvanel::server
