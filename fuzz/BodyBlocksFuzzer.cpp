// Fuzz target: the scanner that cuts a large main part's body into blocks. Small batches make
// every input exercise the batching; every batch must lie inside the input, in order.
#include "convert/ooxml/BodyBlocks.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view xml(reinterpret_cast<const char*>(data), size);
    const auto blocks = corvanel::convert::word::ScanBodyBlocks(xml, 64);
    if (!blocks) {
        return 0;
    }
    if (blocks->skeleton.size() > size) {
        std::abort();
    }
    for (const auto& body : blocks->bodies) {
        std::size_t end = 0;
        for (const auto& batch : body) {
            if (batch.begin < end || batch.begin > size || batch.size > size - batch.begin) {
                std::abort();
            }
            end = batch.begin + batch.size;
        }
    }
    return 0;
}
