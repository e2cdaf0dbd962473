#include "convert/layout/HeldMargins.h"

namespace corvanel::convert::layout {

std::size_t HeldMargins::Hold(MarginText kind, std::string text) {
    if (!Wants(kind) || text.empty()) {
        return 0;
    }
    if (kind != MarginText::kComment && !seen_[Index(kind)].insert(text).second) {
        return 0;
    }
    const std::size_t size = text.size();
    held_[Index(kind)].push_back(std::move(text));
    return size;
}

}  // namespace corvanel::convert::layout
