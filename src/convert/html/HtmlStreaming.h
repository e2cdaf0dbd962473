#pragma once

#include <cstddef>

namespace corvanel::convert::html {

// Pages larger than this many bytes are parsed a piece of about this size at a time and walked
// while they are parsed; smaller ones are parsed whole first.
std::size_t PageStreamBytes();
// Tests and fuzzing lower it so that small pages are streamed too (in tiny pieces), or raise it
// so that large ones are parsed whole; 0 restores the default.
void SetPageStreamBytesForTesting(std::size_t bytes);

}  // namespace corvanel::convert::html
