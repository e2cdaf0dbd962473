#pragma once

// UTF-8 inside, UTF-16 at every Windows call: the two conversions, for the Win32 files only.

#include <string>
#include <string_view>

namespace corvanel::system {

std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);

}  // namespace corvanel::system
