#pragma once

#include <string>
#include <string_view>

namespace corvanel::convert::html {

// The web page of a MIME single-file web page (.mht, .mhtml): its body decoded from
// quoted-printable or base64, and its declared charset.
struct WebPagePart {
    std::string html;
    std::string charset;  // lower-cased; empty when the part declares none
};

// Finds the page: the part the multipart's start parameter names (by Content-ID or
// Content-Location), else the first text/html part; a message that is itself text/html is its own
// page. False when the message holds no HTML.
bool FindWebPage(std::string_view message, WebPagePart& page);

// Transfer decodings, exposed for tests.
std::string DecodeQuotedPrintable(std::string_view text);
std::string DecodeBase64(std::string_view text);

}  // namespace corvanel::convert::html
