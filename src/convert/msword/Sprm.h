#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace corvanel::convert::msword {

// A single property modifier: its code and its operand bytes.
struct Sprm {
    std::uint16_t code = 0;
    std::string_view operand;

    std::uint8_t Byte() const {
        return operand.empty() ? 0 : static_cast<std::uint8_t>(operand[0]);
    }
    std::uint16_t Word() const;
    std::uint32_t Long() const;
};

// Walks a list of property modifiers (Word 97 two-byte codes, or Word 6 one-byte codes). Stops
// at the end, at a modifier whose operand runs past the end, or at a Word 6 code whose length
// is unknown: what follows cannot be located.
class SprmIterator {
public:
    SprmIterator(std::string_view grpprl, bool word6) : data_(grpprl), word6_(word6) {}

    bool Next(Sprm& sprm);

private:
    std::string_view data_;
    std::size_t at_ = 0;
    bool word6_;
};

}  // namespace corvanel::convert::msword
