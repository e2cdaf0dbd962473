#pragma once

// A request's document and what it asks of it: the body (or a form's first file) read against
// the size limit and the connection's deadline, and the conversion's options from the query and
// headers.

#include "convert/Converter.h"
#include "server/Answers.h"
#include "server/RequestHeaders.h"
#include "server/Routes.h"

#include <httplib.h>

#include <cstdint>
#include <optional>
#include <string>

namespace corvanel::server {

// The body's stated length; nothing when it states none (chunked, or no body).
std::optional<std::uint64_t> StatedLength(const httplib::Request& request);

// "100 MiB", or "1000 bytes" when not a whole number of MiB.
std::string SizeText(std::uint64_t bytes);

// The options of the conversion the request asks for; a failure when they are not usable.
std::optional<Failure> ConversionOptions(const httplib::Request& request, Endpoint endpoint,
                                         Wanted wanted, convert::ConvertOptions& options);

// Reads the document: the whole body, or the first file of a form (`name` its file name).
// `received` counts the body's bytes. A failure when the body is too large, too slow or
// malformed.
std::optional<Failure> ReadDocument(const httplib::Request& request,
                                    const httplib::ContentReader& reader, bool form,
                                    std::uint64_t maxBody, std::string& document, std::string& name,
                                    std::uint64_t& received);

}  // namespace corvanel::server
