// Fuzz target: OpenDocument text packages (.odt, .ott) inside a ZIP container.
#include "FuzzReader.h"

#include "convert/Readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return corvanel::convert::fuzz::ReadPackageBytes(data, size, [](auto& input, auto& writer) {
        corvanel::convert::ReadOdfPackage(input, writer);
    });
}
