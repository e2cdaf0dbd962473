// Fuzz target: HTML. Each input is read twice: streamed (parsed in the smallest pieces and
// walked while it is parsed), and parsed whole before it is walked. Both readings must give the
// same text, or the same failure.
#include "FuzzReader.h"

#include "convert/Readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return corvanel::convert::fuzz::ReadPageBothWays(
        data, size, [](auto& input, auto& writer) { corvanel::convert::ReadHtml(input, writer); });
}
