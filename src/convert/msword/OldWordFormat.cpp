#include "convert/Readers.h"

#include <cstdint>

namespace corvanel::convert {

bool IsOldWordFormat(std::string_view head) {
    if (head.size() < 4) {
        return false;
    }
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(head[i]); };
    const std::uint16_t ident = static_cast<std::uint16_t>(byte(0) | (byte(1) << 8));
    const std::uint16_t version = static_cast<std::uint16_t>(byte(2) | (byte(3) << 8));
    // Word for Windows 1 and 2 start with their magic number and a version below Word 6's.
    if ((ident == 0xA59B || ident == 0xA5DB || ident == 0xA59C) && version < 101) {
        return true;
    }
    // Word for DOS: its own magic number, then two zero bytes.
    return (ident == 0xBE31 || ident == 0xBE32) && byte(2) == 0 && byte(3) == 0;
}

}  // namespace corvanel::convert
