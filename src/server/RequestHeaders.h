#pragma once

// What a request's headers and query ask for, read from the strings a client sent: each
// reader takes any bytes and never fails, falling back to the default.

#include "convert/core/DocumentSink.h"

#include <string>
#include <string_view>

namespace corvanel::server {

// The answer a client's Accept header prefers among those an endpoint can give.
enum class Wanted { kDefault, kText, kMarkdown, kJson, kXhtml };
Wanted PreferredAnswer(std::string_view accept);

// The file name a Content-Disposition header gives (filename*=UTF-8''... before filename=),
// without any folders; empty when none. Only ever shown, escaped, in messages and logs.
std::string DispositionFileName(std::string_view disposition);

// "headers,footers,comments" (any of them, in any order; "all" for the three) into `include`;
// false when a word is none of them.
bool ParseInclude(std::string_view list, convert::MarginTexts& include);

// Whether `authorization` is "Bearer <token>", compared in a time that does not depend on
// where the two differ.
bool BearerMatches(std::string_view authorization, std::string_view token);

// Text from a request or a document, made safe to show in a text answer or a log line:
// printable ASCII and well-formed UTF-8 are kept, anything else becomes \xNN (a backslash
// becomes \\). At most `limit` bytes are taken from `text`.
std::string EscapeForText(std::string_view text, std::size_t limit = 4096);

}  // namespace corvanel::server
