// Fuzz target: drawing records read for their shapes' WordArt text and picture descriptions,
// as a document's drawings and as an inline picture's record. Every read must stay inside the
// input and end.
#include "convert/msword/OfficeArt.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace corvanel::convert::msword;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    (void)ReadDrawingShapes(bytes);
    const std::size_t stated = InlinePictureBytes(bytes.substr(0, kInlinePictureHeadBytes));
    (void)ReadInlinePictureShape(bytes.substr(0, stated));
    (void)ReadInlinePictureShape(bytes);
    return 0;
}
