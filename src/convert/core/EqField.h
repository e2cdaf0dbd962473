#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace corvanel::convert {

// Readers stop collecting a field's code past this many bytes; no real EQ field comes near it.
inline constexpr std::size_t kMaxFieldCodeBytes = 64 * 1024;

// An EQ field has no stored result: Word draws it from its code. Given a field's code (UTF-8),
// returns the text a reader sees on the line, or nothing when the code is not an EQ field.
//  - a phonetic guide (\o whose elements include a raised \s\up one) shows its base text only;
//  - \b shows its brackets ("(" and ")" unless \lc, \rc or \bc say otherwise) around its element;
//  - \f shows "numerator/denominator", \l its elements with commas, \a its cells with spaces;
//  - \r shows "√" after its degree, if any, and before the radicand;
//  - \i shows its symbol (∫, ∑ for \su, ∏ for \pr, or the \fc/\vc character), then its limits
//    and its expression with spaces;
//  - \d, \s, \x and other overstrikes show their elements in order.
// \( \) \, \; \\ are literal characters; options (\up 9, \ad, \lc\{) and \* format switches are
// not text. Nesting past a fixed depth ends the reading there.
std::optional<std::string> EqFieldText(std::string_view code);

}  // namespace corvanel::convert
