// Fuzz target: WordprocessingML packages (.docx and kin) inside a ZIP container. Each input is
// read twice: with the main part cut into tiny batches (and its tables into tiny batches of
// rows), and parsed whole. Both readings must give the same text, or the same failure.
#include "FuzzReader.h"

#include "convert/Readers.h"
#include "convert/core/ConvertError.h"
#include "convert/core/SourceFile.h"
#include "convert/core/ZipPackage.h"
#include "convert/ooxml/BodyBlocks.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace corvanel::convert;

fuzz::Reading Read(const std::string& bytes, std::size_t batchBytes) {
    ooxml::SetBodyBatchBytesForTesting(batchBytes);
    const fuzz::Reading reading = fuzz::ReadCapturing([&](DocumentSink& sink) {
        SourceFile source = SourceFile::FromBytes("fuzz-input", bytes);
        ZipPackage package(source);
        ReadOoxmlPackage(package, sink);
    });
    ooxml::SetBodyBatchBytesForTesting(0);
    return reading;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    fuzz::RequireSameReading(Read(bytes, 64), Read(bytes, SIZE_MAX));
    return 0;
}
