// Fuzz target: MIME single-file web pages, read streamed and whole like the HTML target.
#include "FuzzReader.h"

#include "convert/Readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return corvanel::convert::fuzz::ReadPageBothWays(
        data, size, [](auto& input, auto& writer) { corvanel::convert::ReadMht(input, writer); });
}
