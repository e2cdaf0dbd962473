#pragma once

#include "isolation/Pipes.h"

#include <atomic>
#include <optional>
#include <string>

namespace corvanel::cli {

// Reads the paths of a list one at a time as they arrive, so a list fed through a pipe is
// worked on while it is still being written, and a list of any length takes the memory of one
// path. Paths end with a line feed (a carriage return before it is dropped, as lists written on
// Windows have one) or, when `nullSeparated`, with a NUL byte; empty entries are skipped.
class PathList {
public:
    // Takes the pipe or file (closed at the end unless it is standard input).
    PathList(isolation::PipeEnd input, bool nullSeparated);
    ~PathList();
    PathList(const PathList&) = delete;
    PathList& operator=(const PathList&) = delete;

    // Opens a list file, or standard input for "-". Sets `error` and returns nothing when it
    // cannot be opened.
    static std::optional<PathList> Open(const std::string& name, bool nullSeparated,
                                        std::string& error);

    // The next path; nothing at the end of the list, on a read error (`Error()` then says
    // which) or once `stop` is set, even while waiting for a slow writer.
    std::optional<std::string> Next(const std::atomic<bool>& stop);
    const std::string& Error() const { return error_; }

    PathList(PathList&& other) noexcept;

private:
    bool Fill(const std::atomic<bool>& stop);

    isolation::PipeEnd input_ = isolation::kNoPipe;
    bool ownInput_ = false;
    char separator_;
    std::string buffer_;
    std::size_t start_ = 0;  // first byte of buffer_ not yet handed out
    bool ended_ = false;
    std::string error_;
};

}  // namespace corvanel::cli
