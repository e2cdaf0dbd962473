#include "convert/msword/Word6Numbering.h"

#include "convert/core/ListNumbering.h"
#include "convert/core/SymbolFont.h"
#include "convert/core/TextEncoding.h"

namespace corvanel::convert::msword {

namespace {

// The numbering description: format, counts of text characters, font, start, then the text.
constexpr std::size_t kFormatAt = 0;
constexpr std::size_t kTextBeforeAt = 1;
constexpr std::size_t kTextAfterAt = 2;
constexpr std::size_t kFontAt = 6;
constexpr std::size_t kStartAt = 10;
constexpr std::size_t kTextAt = 20;
constexpr std::size_t kTextBytes = 32;
constexpr std::size_t kDescriptionBytes = kTextAt + kTextBytes;
constexpr int kBulletFormat = 23;
constexpr std::uint8_t kNumberedList = 10;
constexpr std::uint8_t kBulletedList = 11;

}  // namespace

bool Word6Numbering::Next(const ParaProps& props, std::string& label, std::string& suffix) {
    const std::uint8_t level = props.autoNumberLevel;
    const std::string_view d = props.autoNumber;
    if (level == 0 || level >= kLevels || d.size() < kDescriptionBytes) {
        counting_[kNumberedList] = false;  // a paragraph without a number ends a list
        return false;
    }
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(d[i]); };
    const int format = byte(kFormatAt);
    const std::size_t before = std::min<std::size_t>(byte(kTextBeforeAt), kTextBytes);
    const std::size_t after =
        std::min<std::size_t>(std::max<std::size_t>(byte(kTextAfterAt), before), kTextBytes);
    const std::uint16_t font = static_cast<std::uint16_t>(byte(kFontAt) | (byte(kFontAt + 1) << 8));
    const std::int64_t start =
        static_cast<std::int16_t>(byte(kStartAt) | (byte(kStartAt + 1) << 8));

    if (level != kNumberedList) {
        counting_[kNumberedList] = false;
    }
    counters_[level] = counting_[level] ? counters_[level] + 1 : start;
    counting_[level] = true;
    if (level < kNumberedList) {
        for (int deeper = level + 1; deeper < kNumberedList; ++deeper) {
            counting_[static_cast<std::size_t>(deeper)] = false;
        }
    }
    label = DecodeCodePage(d.substr(kTextAt, before), codePage_);
    if (format == kBulletFormat || level == kBulletedList) {
        label = BulletText(label, ClassifySymbolFont(fonts_.Name(font)));
    } else {
        AppendFormattedNumber(label, counters_[level], NumberFormatFromWordCode(format));
    }
    label += DecodeCodePage(d.substr(kTextAt + before, after - before), codePage_);
    suffix = "\t";
    return !label.empty();
}

}  // namespace corvanel::convert::msword
