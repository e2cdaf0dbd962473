#include "convert/msword/StyleSheet.h"

#include "convert/core/ConvertError.h"
#include "convert/msword/ByteReader.h"

#include <algorithm>

namespace corvanel::convert::msword {

namespace {

constexpr std::uint16_t kNoBase = 0x0FFF;
constexpr std::uint16_t kParagraphStyle = 1;
constexpr std::uint16_t kCharacterStyle = 2;
constexpr int kMaxBaseChain = 64;
constexpr std::uint16_t kStiHeading1 = 1;
constexpr std::uint16_t kStiHeading9 = 9;
constexpr std::uint16_t kStiTitle = 62;
constexpr std::uint8_t kBodyOutlineLevel = 9;
constexpr int kMaxHeadingLevel = 6;

std::size_t Even(std::size_t n) {
    return n + (n & 1);
}

}  // namespace

StyleSheet::StyleSheet(const Fib& fib, std::string_view stsh) : word6_(fib.IsWord6()) {
    // A style sheet that cannot be read only costs list labels given through styles.
    try {
        const ByteReader r(stsh, "the style sheet");
        if (r.Size() < 6) {
            return;
        }
        const std::size_t headerBytes = r.U16(0);
        const std::uint16_t count = r.U16(2);
        const std::size_t baseBytes = r.U16(4);
        // The header ends with the default fonts; the first is the one for plain text.
        if (headerBytes >= 14) {
            defaultFont_ = r.U16(2 + 12);
        }
        std::size_t at = 2 + headerBytes;
        styles_.resize(count);
        for (std::uint16_t istd = 0; istd < count && at + 2 <= r.Size(); ++istd) {
            const std::size_t size = r.U16(at);
            const std::size_t std = at + 2;
            at = std + size;
            if (size == 0 || size < baseBytes || baseBytes < 10) {
                continue;
            }
            const ByteReader s(r.Slice(std, size), "a style");
            Style& style = styles_[istd];
            style.paragraph = (s.U16(2) & 0xF) == kParagraphStyle;
            const bool character = (s.U16(2) & 0xF) == kCharacterStyle;
            style.base = s.U16(2) >> 4;
            style.sti = s.U16(0) & 0x0FFF;
            const std::size_t upxCount = s.U16(4) & 0xF;
            std::size_t p = baseBytes;
            if (word6_) {
                p += 1 + s.U8(p) + 1;
            } else {
                p += 2 + 2 * static_cast<std::size_t>(s.U16(p)) + 2;
            }
            if (character && upxCount >= 1) {
                p = Even(p);
                style.chpx = s.Slice(p + 2, std::min<std::size_t>(s.U16(p), s.Size() - p - 2));
                continue;
            }
            if (!style.paragraph || upxCount == 0) {
                continue;
            }
            p = Even(p);
            const std::size_t upxSize = s.U16(p);
            if (upxSize >= 2) {
                style.papx = s.Slice(p + 2 + 2, upxSize - 2);
            }
            p = Even(p + 2 + upxSize);
            if (upxCount >= 2 && p + 2 <= s.Size()) {
                style.chpx = s.Slice(p + 2, std::min<std::size_t>(s.U16(p), s.Size() - p - 2));
            }
        }
    } catch (const ConvertError&) {
        styles_.clear();
    }
    resolved_.assign(styles_.size(), ParaProps{});
    fonts_.assign(styles_.size(), defaultFont_);
    chars_.assign(styles_.size(), TextStyle{});
    state_.assign(styles_.size(), 0);
    for (std::size_t i = 0; i < styles_.size(); ++i) {
        Resolve(static_cast<std::uint16_t>(i), 0);
    }
}

void StyleSheet::Resolve(std::uint16_t istd, int depth) {
    if (state_[istd] != 0) {
        return;  // done, or a loop of styles based on each other
    }
    state_[istd] = 1;
    ParaProps props;
    const Style& style = styles_[istd];
    if (style.base != kNoBase && style.base < styles_.size() && depth < kMaxBaseChain) {
        Resolve(style.base, depth + 1);
        props = resolved_[style.base];
        fonts_[istd] = fonts_[style.base];
        chars_[istd] = chars_[style.base];
    }
    CharProps chars;
    chars.font = fonts_[istd];
    ApplyCharSprms(style.chpx, word6_, chars, chars);
    fonts_[istd] = chars.font;
    const TextStyle base = chars_[istd];
    chars_[istd] = {
        ResolveToggle(chars.bold, base.bold), ResolveToggle(chars.italic, base.italic),
        ResolveToggle(chars.strike, base.strike) || ResolveToggle(chars.doubleStrike, false)};
    props.istd = istd;
    ApplyParaSprms(style.papx, word6_, props);
    // Table membership belongs to paragraphs, never to styles.
    props.inTable = false;
    props.rowEnd = props.innerCellEnd = props.innerRowEnd = false;
    props.tableDepth = 0;
    resolved_[istd] = props;
    state_[istd] = 2;
}

std::uint16_t StyleSheet::Font(std::uint16_t istd) const {
    return istd < fonts_.size() ? fonts_[istd] : defaultFont_;
}

TextStyle StyleSheet::Chars(std::uint16_t istd) const {
    return istd < chars_.size() ? chars_[istd] : TextStyle{};
}

int StyleSheet::HeadingLevel(std::uint16_t istd, std::uint8_t outlineLevel) const {
    if (outlineLevel != kUnset) {
        return outlineLevel < kBodyOutlineLevel ? std::min(outlineLevel + 1, kMaxHeadingLevel) : 0;
    }
    // Built-in heading styles are headings in any language, also where no outline level is
    // stated; so are the styles based on them.
    std::uint16_t at = istd;
    for (int depth = 0; at < styles_.size() && depth < kMaxBaseChain; ++depth) {
        const std::uint16_t sti = styles_[at].sti;
        if (sti >= kStiHeading1 && sti <= kStiHeading9) {
            return std::min<int>(sti, kMaxHeadingLevel);
        }
        if (sti == kStiTitle) {
            return 1;
        }
        at = styles_[at].base;
    }
    return 0;
}

ParaProps StyleSheet::Paragraph(std::uint16_t istd) const {
    if (istd < resolved_.size()) {
        return resolved_[istd];
    }
    ParaProps props;
    props.istd = istd;
    return props;
}

}  // namespace corvanel::convert::msword
