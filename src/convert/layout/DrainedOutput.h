#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace corvanel::convert {

// A writer's output text that may leave in pieces: once more than a set number of bytes wait,
// they are handed to a drain function, so a long text is never held whole. It counts what left,
// so the output size limit holds for the whole text.
class DrainedOutput {
public:
    void DrainWhenOver(std::size_t holdBytes, std::function<void(std::string_view)> drain);

    // The text waiting to leave (all of it when nothing drains).
    std::string& Text() { return text_; }
    const std::string& Text() const { return text_; }
    // Bytes handed to the drain so far.
    std::uint64_t Drained() const { return drained_; }

    // Throws when `adding` more bytes would take the whole text over the output size limit.
    void CheckSize(std::size_t adding = 0) const;
    // When more than the bytes held may wait: hands over `first` (text that must come before
    // the rest, such as headers written ahead of the body; may be empty), then the waiting text.
    // `first` is asked for only then.
    template <typename First>
    void DrainIfOver(First&& first) {
        if (drain_ && text_.size() > holdBytes_) {
            Hand(first());
            Hand(text_);
            text_.clear();
        }
    }

private:
    void Hand(std::string_view piece);

    std::string text_;
    std::size_t holdBytes_ = 0;
    std::function<void(std::string_view)> drain_;
    std::uint64_t drained_ = 0;
};

}  // namespace corvanel::convert
