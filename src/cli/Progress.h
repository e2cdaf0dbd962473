#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <mutex>
#include <string>

namespace corvanel::cli {

// Failure lines and, on a terminal, one status line that is rewritten in place: the documents
// done so far (a list may still be growing, so there is no total) and the latest one begun.
// Safe to call from several threads.
class Progress {
public:
    Progress(std::FILE* stream, bool terminal);

    void Started(const std::string& name);
    void Finished(bool failed);
    void Failure(const std::string& line);
    // Removes the status line.
    void Clear();

private:
    void DrawLocked(bool force);

    std::mutex mutex_;
    std::FILE* stream_;
    bool terminal_;
    std::size_t done_ = 0;
    std::size_t failed_ = 0;
    std::string current_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point lastDraw_{};
};

}  // namespace corvanel::cli
