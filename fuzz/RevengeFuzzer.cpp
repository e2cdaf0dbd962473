// Fuzz target: WordPerfect, Works, Write, Word for DOS and old Mac documents, through their
// libraries' detection and parsing into the librevenge adapter.
#include "FuzzReader.h"

#include "convert/Readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return corvanel::convert::fuzz::ReadBytes(data, size, [](auto& input, auto& writer) {
        corvanel::convert::ReadRevengeDocument(input, writer);
    });
}
