#include "convert/msword/Sprm.h"

#include <array>
#include <optional>

namespace corvanel::convert::msword {

namespace {

constexpr std::uint16_t kTDefTable = 0xD608;
constexpr std::uint16_t kTDefTable10 = 0xD606;
constexpr std::uint16_t kPChgTabs = 0xC615;
constexpr std::uint8_t kWord6PChgTabs = 23;
constexpr std::uint8_t kWord6TDefTable10 = 188;
constexpr std::uint8_t kWord6TDefTable = 190;

// Word 6 operand sizes by code: bytes, or kVar (a length byte follows), or kUnknown.
constexpr std::uint8_t kVar = 0xFE;
constexpr std::uint8_t kUnknown = 0xFF;

constexpr std::array<std::uint8_t, 256> MakeWord6Sizes() {
    std::array<std::uint8_t, 256> s{};
    for (auto& v : s) {
        v = kUnknown;
    }
    auto set = [&s](int from, int to, std::uint8_t size) {
        for (int c = from; c <= to; ++c) {
            s[static_cast<std::size_t>(c)] = size;
        }
    };
    set(2, 2, 2);
    set(3, 3, kVar);
    set(4, 11, 1);
    set(12, 12, kVar);
    set(13, 14, 1);
    set(15, 15, kVar);
    set(16, 19, 2);
    set(20, 20, 4);
    set(21, 22, 2);
    set(23, 23, kVar);
    set(24, 25, 1);
    set(26, 28, 2);
    set(29, 29, 1);
    set(30, 36, 2);
    set(37, 37, 1);
    set(38, 43, 2);
    set(44, 44, 1);
    set(45, 49, 2);
    set(50, 51, 1);
    set(53, 58, 1);
    set(59, 60, 2);
    set(61, 61, 1);
    set(65, 67, 1);
    set(68, 68, kVar);
    set(69, 69, 2);
    set(70, 70, 4);
    set(71, 71, 1);
    set(72, 72, 2);
    set(73, 73, 3);
    set(74, 74, kVar);
    set(75, 75, 1);
    set(80, 80, 2);
    set(81, 82, kVar);
    set(83, 83, 0);
    set(85, 92, 1);
    set(93, 93, 2);
    set(94, 94, 1);
    set(95, 95, 3);
    set(96, 97, 2);
    set(98, 98, 1);
    set(99, 99, 2);
    set(100, 100, 1);
    set(101, 101, 2);
    set(102, 102, 1);
    set(103, 103, kVar);
    set(104, 104, 1);
    set(105, 106, kVar);
    set(107, 107, 2);
    set(108, 108, kVar);
    set(109, 110, 2);
    set(117, 119, 1);
    set(120, 120, 12);
    set(121, 124, 2);
    set(131, 132, 1);
    set(133, 133, kVar);
    set(136, 137, 3);
    set(138, 139, 1);
    set(140, 141, 2);
    set(142, 143, 1);
    set(144, 145, 2);
    set(146, 147, 1);
    set(148, 149, 2);
    set(150, 153, 1);
    set(154, 157, 2);
    set(158, 159, 1);
    set(160, 161, 2);
    set(162, 162, 1);
    set(164, 171, 2);
    set(182, 184, 2);
    set(185, 186, 1);
    set(187, 187, 12);
    set(189, 189, 2);
    set(191, 191, kVar);
    set(192, 192, 4);
    set(193, 193, 5);
    set(194, 194, 4);
    set(195, 195, 2);
    set(196, 196, 4);
    set(197, 198, 2);
    set(199, 199, 5);
    set(200, 200, 4);
    return s;
}

constexpr std::array<std::uint8_t, 256> kWord6Sizes = MakeWord6Sizes();

std::uint8_t At(std::string_view d, std::size_t i) {
    return static_cast<std::uint8_t>(d[i]);
}

// The tab-changing modifier has a length byte of 255 when its real length must be computed
// from the counts it holds.
std::optional<std::size_t> ChangeTabsSize(std::string_view rest) {
    if (rest.empty()) {
        return std::nullopt;
    }
    if (At(rest, 0) != 255) {
        return 1 + static_cast<std::size_t>(At(rest, 0));
    }
    if (rest.size() < 2) {
        return std::nullopt;
    }
    const std::size_t deleted = At(rest, 1);
    const std::size_t addAt = 2 + 4 * deleted;
    if (addAt >= rest.size()) {
        return std::nullopt;
    }
    return addAt + 1 + 3 * static_cast<std::size_t>(At(rest, addAt));
}

std::optional<std::size_t> Word97OperandSize(std::uint16_t code, std::string_view rest) {
    switch (code >> 13) {
        case 0:
        case 1:
            return 1;
        case 2:
        case 4:
        case 5:
            return 2;
        case 3:
            return 4;
        case 7:
            return 3;
        default:
            break;
    }
    if (code == kTDefTable || code == kTDefTable10) {
        if (rest.size() < 2) {
            return std::nullopt;
        }
        const std::size_t cb = At(rest, 0) | (At(rest, 1) << 8);
        return cb == 0 ? 2 : cb + 1;
    }
    if (code == kPChgTabs) {
        return ChangeTabsSize(rest);
    }
    if (rest.empty()) {
        return std::nullopt;
    }
    return 1 + static_cast<std::size_t>(At(rest, 0));
}

std::optional<std::size_t> Word6OperandSize(std::uint8_t code, std::string_view rest) {
    if (code == kWord6PChgTabs) {
        return ChangeTabsSize(rest);
    }
    if (code == kWord6TDefTable || code == kWord6TDefTable10) {
        if (rest.size() < 2) {
            return std::nullopt;
        }
        return 2 + static_cast<std::size_t>(At(rest, 0) | (At(rest, 1) << 8));
    }
    const std::uint8_t size = kWord6Sizes[code];
    if (size == kUnknown) {
        return std::nullopt;
    }
    if (size == kVar) {
        if (rest.empty()) {
            return std::nullopt;
        }
        return 1 + static_cast<std::size_t>(At(rest, 0));
    }
    return size;
}

}  // namespace

std::uint16_t Sprm::Word() const {
    if (operand.size() < 2) {
        return Byte();
    }
    return static_cast<std::uint16_t>(At(operand, 0) | (At(operand, 1) << 8));
}

std::uint32_t Sprm::Long() const {
    if (operand.size() < 4) {
        return Word();
    }
    return At(operand, 0) | (At(operand, 1) << 8) | (At(operand, 2) << 16) |
           (static_cast<std::uint32_t>(At(operand, 3)) << 24);
}

bool SprmIterator::Next(Sprm& sprm) {
    const std::size_t codeBytes = word6_ ? 1 : 2;
    if (at_ + codeBytes > data_.size()) {
        return false;
    }
    const std::uint16_t code =
        word6_ ? At(data_, at_)
               : static_cast<std::uint16_t>(At(data_, at_) | (At(data_, at_ + 1) << 8));
    const std::string_view rest = data_.substr(at_ + codeBytes);
    const std::optional<std::size_t> size =
        word6_ ? Word6OperandSize(static_cast<std::uint8_t>(code), rest)
               : Word97OperandSize(code, rest);
    if (!size || *size > rest.size()) {
        at_ = data_.size();
        return false;
    }
    sprm.code = code;
    sprm.operand = rest.substr(0, *size);
    at_ += codeBytes + *size;
    return true;
}

}  // namespace corvanel::convert::msword
