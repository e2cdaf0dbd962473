#include "cli/Progress.h"

namespace corvanel::cli {

namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
constexpr std::size_t kMaxNameLength = 60;

}  // namespace

Progress::Progress(std::FILE* stream, bool terminal) : stream_(stream), terminal_(terminal) {}

void Progress::Started(const std::string& name) {
    if (!terminal_) {
        return;
    }
    std::lock_guard lock(mutex_);
    current_ =
        name.size() > kMaxNameLength ? "..." + name.substr(name.size() - kMaxNameLength) : name;
    DrawLocked(false);
}

void Progress::Finished(bool failed) {
    if (!terminal_) {
        return;  // the count is only shown on the status line
    }
    std::lock_guard lock(mutex_);
    ++done_;
    failed_ += failed ? 1 : 0;
    DrawLocked(false);
}

void Progress::Failure(const std::string& line) {
    std::lock_guard lock(mutex_);
    if (shown_) {
        std::fputs("\r\033[K", stream_);
        shown_ = false;
    }
    std::fprintf(stream_, "corvanel-convert: %s\n", line.c_str());
    if (terminal_) {
        DrawLocked(true);
    }
    std::fflush(stream_);
}

void Progress::Clear() {
    std::lock_guard lock(mutex_);
    if (shown_) {
        std::fputs("\r\033[K", stream_);
        std::fflush(stream_);
        shown_ = false;
    }
}

void Progress::DrawLocked(bool force) {
    const auto now = std::chrono::steady_clock::now();
    if (!force && shown_ && now - lastDraw_ < kRedrawInterval) {
        return;
    }
    lastDraw_ = now;
    if (failed_ > 0) {
        std::fprintf(stream_, "\r\033[K[%zu done, %zu failed] %s", done_, failed_,
                     current_.c_str());
    } else {
        std::fprintf(stream_, "\r\033[K[%zu done] %s", done_, current_.c_str());
    }
    std::fflush(stream_);
    shown_ = true;
}

}  // namespace corvanel::cli
