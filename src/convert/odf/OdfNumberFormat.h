#pragma once

#include <string>
#include <string_view>

namespace corvanel::convert::odf {

// A list number in an OpenDocument number format (style:num-format): "1", "a", "A", "i", "I"
// (formats Corvanel does not know come out as decimal). With letter sync, letters repeat
// ("aa", "bb") instead of counting on ("aa", "ab").
std::string FormatOdfNumber(int value, std::string_view format, bool letterSync);

}  // namespace corvanel::convert::odf
