#include "convert/layout/DrainedOutput.h"

#include "convert/core/ConvertError.h"
#include "convert/core/Limits.h"

namespace corvanel::convert {

void DrainedOutput::DrainWhenOver(std::size_t holdBytes,
                                  std::function<void(std::string_view)> drain) {
    holdBytes_ = holdBytes;
    drain_ = std::move(drain);
}

void DrainedOutput::CheckSize(std::size_t adding) const {
    if (drained_ + text_.size() + adding > limits::kMaxOutputBytes) {
        ThrowTooLarge("its text exceeds the output size limit");
    }
}

void DrainedOutput::Hand(std::string_view piece) {
    if (!piece.empty()) {
        drain_(piece);
        drained_ += piece.size();
    }
}

}  // namespace corvanel::convert
