#pragma once

#include "convert/core/ConvertError.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvanel::convert::msword {

// Little-endian reads from untrusted bytes. Every read is checked: one past the end fails the
// document as damaged, naming what was being read.
class ByteReader {
public:
    ByteReader(std::string_view data, const char* what) : data_(data), what_(what) {}

    std::size_t Size() const { return data_.size(); }
    std::string_view Data() const { return data_; }

    bool Has(std::size_t offset, std::size_t length) const {
        return offset <= data_.size() && length <= data_.size() - offset;
    }

    std::uint8_t U8(std::size_t offset) const {
        Need(offset, 1);
        return static_cast<std::uint8_t>(data_[offset]);
    }
    std::uint16_t U16(std::size_t offset) const {
        Need(offset, 2);
        return static_cast<std::uint16_t>(Byte(offset) | (Byte(offset + 1) << 8));
    }
    std::uint32_t U32(std::size_t offset) const {
        Need(offset, 4);
        return Byte(offset) | (Byte(offset + 1) << 8) | (Byte(offset + 2) << 16) |
               (static_cast<std::uint32_t>(Byte(offset + 3)) << 24);
    }
    std::int16_t I16(std::size_t offset) const { return static_cast<std::int16_t>(U16(offset)); }
    std::int32_t I32(std::size_t offset) const { return static_cast<std::int32_t>(U32(offset)); }

    std::string_view Slice(std::size_t offset, std::size_t length) const {
        Need(offset, length);
        return data_.substr(offset, length);
    }

    [[noreturn]] void Fail() const { ThrowDamaged(std::string(what_) + " runs past its end"); }

private:
    std::uint32_t Byte(std::size_t offset) const {
        return static_cast<unsigned char>(data_[offset]);
    }
    void Need(std::size_t offset, std::size_t length) const {
        if (!Has(offset, length)) {
            Fail();
        }
    }

    std::string_view data_;
    const char* what_;
};

}  // namespace corvanel::convert::msword
