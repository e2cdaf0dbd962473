#include "cli/PathList.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include <vector>

namespace corvanel::cli {

namespace {

constexpr std::size_t kReadBytes = 64 * 1024;
// A path longer than this is no path: the list is not what it claims to be.
constexpr std::size_t kMaxEntryBytes = 1 << 20;
constexpr int kStopCheckMilliseconds = 100;

}  // namespace

PathList::PathList(isolation::PipeEnd input, bool nullSeparated)
    : input_(input),
      ownInput_(input != isolation::StandardInput()),
      separator_(nullSeparated ? '\0' : '\n') {}

PathList::PathList(PathList&& other) noexcept
    : input_(std::exchange(other.input_, isolation::kNoPipe)),
      ownInput_(std::exchange(other.ownInput_, false)),
      separator_(other.separator_),
      buffer_(std::move(other.buffer_)),
      start_(other.start_),
      ended_(other.ended_),
      error_(std::move(other.error_)) {}

PathList::~PathList() {
    if (ownInput_) {
        isolation::ClosePipe(input_);
    }
}

std::optional<PathList> PathList::Open(const std::string& name, bool nullSeparated,
                                       std::string& error) {
    if (name == "-") {
        return PathList(isolation::StandardInput(), nullSeparated);
    }
    const isolation::PipeEnd input = isolation::OpenInputFile(name);
    if (input == isolation::kNoPipe) {
        error = "the list " + name + " cannot be opened: " + std::strerror(errno);
        return std::nullopt;
    }
    return PathList(input, nullSeparated);
}

bool PathList::Fill(const std::atomic<bool>& stop) {
    if (start_ > 0) {
        buffer_.erase(0, start_);
        start_ = 0;
    }
    // Read beside the buffer and appended: growing the buffer to read into it would clear the
    // new bytes first, every time.
    char chunk[kReadBytes];
    while (true) {
        if (stop) {
            return false;
        }
        // Waits in slices, so that an interrupt is noticed while a slow writer says nothing.
        std::vector<bool> ready;
        if (isolation::WaitForInput({input_}, kStopCheckMilliseconds, ready) == 0) {
            continue;
        }
        const std::ptrdiff_t got = isolation::ReadPipe(input_, chunk, sizeof chunk);
        if (got < 0) {
            error_ = std::strerror(errno != 0 ? errno : EIO);
        }
        if (got > 0) {
            buffer_.append(chunk, static_cast<std::size_t>(got));
        }
        return got > 0;
    }
}

std::optional<std::string> PathList::Next(const std::atomic<bool>& stop) {
    while (true) {
        if (stop || !error_.empty()) {
            return std::nullopt;  // never a path cut short
        }
        const std::size_t end = buffer_.find(separator_, start_);
        if (end == std::string::npos && !ended_ && buffer_.size() - start_ <= kMaxEntryBytes) {
            ended_ = !Fill(stop);
            continue;
        }
        if (end == std::string::npos && buffer_.size() - start_ > kMaxEntryBytes) {
            error_ = "an entry is longer than any path";
            return std::nullopt;
        }
        if (end == std::string::npos && start_ == buffer_.size()) {
            return std::nullopt;  // the end of the list
        }
        // The last entry may lack its separator.
        const std::size_t stop_at = end == std::string::npos ? buffer_.size() : end;
        std::string entry = buffer_.substr(start_, stop_at - start_);
        start_ = end == std::string::npos ? buffer_.size() : end + 1;
        if (separator_ == '\n' && !entry.empty() && entry.back() == '\r') {
            entry.pop_back();
        }
        if (!entry.empty()) {
            return entry;
        }
    }
}

}  // namespace corvanel::cli
