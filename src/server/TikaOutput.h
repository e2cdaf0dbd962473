#pragma once

// A converted document as Apache Tika server's clients read it: its metadata under Tika's
// names (all values strings, as Tika writes them) with ours under "corvanel:", the text under
// "X-TIKA:content", the text as XHTML paragraphs, the metadata as CSV.

#include "convert/core/DocumentFacts.h"

#include <string>
#include <string_view>

namespace corvanel::server {

// The MIME type of a format the converter names ("docx", "doc", ...);
// application/octet-stream for none.
std::string MimeTypeOf(std::string_view format);

// One JSON object: the metadata, and `content` under X-TIKA:content unless it is null.
std::string TikaJsonObject(const convert::DocumentFacts& facts, double milliseconds,
                           const std::string* content);

// The text as an XHTML document, one <p> per line, its title in the head.
std::string XhtmlOf(std::string_view text, const convert::DocumentFacts& facts);

// The metadata as CSV lines: "name","value".
std::string MetadataCsv(const convert::DocumentFacts& facts, double milliseconds);

}  // namespace corvanel::server
