#include "convert/ooxml/BodyBlocks.h"

#include <atomic>
#include <utility>

namespace corvanel::convert {

namespace ooxml {

namespace {

std::atomic<std::size_t> bodyBatchBytesForTesting{0};

}  // namespace

std::size_t BodyBatchBytes() {
    const std::size_t bytes = bodyBatchBytesForTesting.load();
    return bytes != 0 ? bytes : kBodyBatchBytes;
}

void SetBodyBatchBytesForTesting(std::size_t bytes) {
    bodyBatchBytesForTesting.store(bytes);
}

std::optional<BodyBlocks> ScanBodyBlocks(std::string_view xml, std::size_t batchBytes) {
    static const BlockLayout kWordBody{{"body"}, "sectPr"};
    std::optional<ContainerBlocks> blocks = ScanContainerBlocks(xml, kWordBody, batchBytes);
    if (!blocks) {
        return std::nullopt;
    }
    return BodyBlocks{std::move(*blocks)};
}

}  // namespace ooxml

}  // namespace corvanel::convert
