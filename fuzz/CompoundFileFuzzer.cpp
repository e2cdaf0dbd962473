// Fuzz target: compound files: binary Word and encrypted packages. Each input is read twice:
// held in memory, and behind a range reader as a large file on disk is read; the two readings
// must give the same text or the same failure.
#include "FuzzReader.h"

#include "convert/Readers.h"
#include "convert/core/ConvertError.h"
#include "convert/core/SourceFile.h"
#include "convert/msword/BinaryDocumentReader.h"
#include "convert/msword/CompoundFile.h"

#include <algorithm>
#include <cstdlib>
#include <string>

using namespace corvanel::convert;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const fuzz::Reading held = fuzz::ReadCapturing([&](DocumentSink& sink) {
        SourceFile source = SourceFile::FromBytes("fuzz-input", bytes);
        ReadCompoundFile(source, sink);
    });
    const fuzz::Reading ranged = fuzz::ReadCapturing([&](DocumentSink& sink) {
        const msword::CompoundFile file(
            bytes.size(), [&](std::uint64_t offset, char* out, std::size_t length) {
                if (offset >= bytes.size()) {
                    return std::size_t{0};
                }
                const std::size_t n = std::min<std::size_t>(length, bytes.size() - offset);
                std::copy_n(bytes.data() + offset, n, out);
                return n;
            });
        msword::ReadCompoundDocument(file, sink);
    });
    fuzz::RequireSameReading(held, ranged);
    return 0;
}
