#include "convert/rtf/RtfOldNumbering.h"

#include <algorithm>

namespace corvanel::convert::rtf {

namespace {

// Each \pn group adds one; a document that repeats them endlessly reuses the last slot.
constexpr std::size_t kMaxNumberings = 1 << 16;

}  // namespace

int RtfOldNumbering::Add(RtfNumbering numbering) {
    numbering.level = std::clamp(numbering.level, 1, 10);
    if (numberings_.size() >= kMaxNumberings) {
        numberings_.back() = std::move(numbering);
    } else {
        numberings_.push_back(std::move(numbering));
    }
    return static_cast<int>(numberings_.size()) - 1;
}

std::string RtfOldNumbering::NextLabel(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= numberings_.size()) {
        counters_.fill(0);
        return {};
    }
    const RtfNumbering& n = numberings_[static_cast<std::size_t>(index)];
    switch (n.kind) {
        case RtfNumbering::Kind::kContinuation:
            return {};
        case RtfNumbering::Kind::kBullet:
            return n.before.empty() ? "\xE2\x80\xA2" : BulletText(n.before, n.font);
        case RtfNumbering::Kind::kLevel:
            break;
    }
    long long& counter = counters_[static_cast<std::size_t>(n.level)];
    counter = counter == 0 ? n.start : counter + 1;
    for (std::size_t deeper = static_cast<std::size_t>(n.level) + 1; deeper < 10; ++deeper) {
        counters_[deeper] = 0;
    }
    std::string label = n.before;
    AppendFormattedNumber(label, counter, n.format);
    label += n.after;
    return label;
}

}  // namespace corvanel::convert::rtf
