#pragma once

// The system's own character set converters behind TextEncoding.h: iconv where there is one
// (TextEncodingIconv.cpp), Windows' code pages elsewhere (TextEncodingWin32.cpp). Sequences a
// set does not map become U+FFFD.

#include <optional>
#include <string>
#include <string_view>

namespace corvanel::convert {

// Nothing when the set's name is unknown.
std::optional<std::string> DecodeWithSystem(std::string_view bytes, const std::string& charset);
// Nothing when the code page is unknown.
std::optional<std::string> DecodeCodePageWithSystem(std::string_view bytes, int codePage);

}  // namespace corvanel::convert
