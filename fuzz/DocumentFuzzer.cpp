// Fuzz target: the whole converter as the program calls it (format recognition, then a reader),
// with the document's stated properties and margin texts asked for.
#include "FuzzReader.h"

#include "convert/Converter.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    corvanel::convert::fuzz::CheckedWriter out;
    corvanel::convert::ReadDocumentBytes(
        "fuzz-input", std::string(reinterpret_cast<const char*>(data), size), out.sink);
    return 0;
}
