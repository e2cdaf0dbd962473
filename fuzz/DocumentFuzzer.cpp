// Fuzz target: the whole converter as the program calls it (format recognition, then a reader),
// with the document's stated properties asked for.
#include "convert/Converter.h"
#include "convert/plaintext/PlainTextWriter.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    corvanel::convert::PlainTextWriter writer;
    writer.WantProperties(true);
    corvanel::convert::ReadDocumentBytes(
        "fuzz-input", std::string(reinterpret_cast<const char*>(data), size), writer);
    return 0;
}
