// Fuzz target: the scanner that cuts a large part's body into blocks, with the layouts of a Word
// main part, of a table's rows and of an OpenDocument text. Small batches make every input exercise
// the batching; every batch must lie inside the input, in order. Read as a flat OpenDocument text,
// the input must also give the same text, or the same failure, in batches as parsed whole.
#include "FuzzReader.h"

#include "convert/Readers.h"
#include "convert/core/ConvertError.h"
#include "convert/core/SourceFile.h"
#include "convert/odf/OdfTextPart.h"
#include "convert/ooxml/BodyBlocks.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace corvanel::convert;

constexpr std::size_t kSmallBatch = 64;

void CheckBatches(const ContainerBlocks& blocks, std::size_t size) {
    if (blocks.skeleton.size() > size) {
        std::abort();
    }
    for (const auto& body : blocks.bodies) {
        std::size_t end = 0;
        for (const auto& batch : body) {
            if (batch.begin < end || batch.begin > size || batch.size > size - batch.begin) {
                std::abort();
            }
            end = batch.begin + batch.size;
        }
    }
}

fuzz::Reading ReadFlat(std::string_view xml, std::size_t batchBytes) {
    odf::SetTextBatchBytesForTesting(batchBytes);
    const fuzz::Reading reading = fuzz::ReadCapturing([&](DocumentSink& sink) {
        SourceFile source = SourceFile::FromBytes("fuzz-input", std::string(xml));
        ReadFlatOdt(source, sink);
    });
    odf::SetTextBatchBytesForTesting(0);
    return reading;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view xml(reinterpret_cast<const char*>(data), size);
    if (const auto blocks = ooxml::ScanBodyBlocks(xml, kSmallBatch)) {
        CheckBatches(*blocks, size);
    }
    // A large table's rows: the root element's own children.
    static const BlockLayout kRootChildren{{}, {}};
    if (const auto blocks = ScanContainerBlocks(xml, kRootChildren, kSmallBatch)) {
        CheckBatches(*blocks, size);
    }
    static const BlockLayout kOdfText{{"body", "text"}, {}};
    if (const auto blocks = ScanContainerBlocks(xml, kOdfText, kSmallBatch)) {
        CheckBatches(*blocks, size);
        fuzz::RequireSameReading(ReadFlat(xml, kSmallBatch), ReadFlat(xml, SIZE_MAX));
    }
    return 0;
}
