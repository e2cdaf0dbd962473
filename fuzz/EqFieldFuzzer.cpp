// Fuzz target: the visible text of an EQ field's code. Any code must end, and the text must stay
// within a small multiple of the code (a switch adds at most a few characters of its own).
#include "convert/core/EqField.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view code(reinterpret_cast<const char*>(data), size);
    const auto shown = corvanel::convert::EqFieldText(code);
    if (shown && shown->size() > 4 * size + 8) {
        std::abort();
    }
    return 0;
}
