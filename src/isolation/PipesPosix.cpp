#include "isolation/Pipes.h"

#include <cerrno>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace corvanel::isolation {

bool OpenPipe(PipeEnd ends[2], bool nonBlocking) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | (nonBlocking ? O_NONBLOCK : 0)) != 0) {
        return false;
    }
    ends[0] = fds[0];
    ends[1] = fds[1];
    return true;
}

void ClosePipe(PipeEnd& end) {
    if (end >= 0) {
        ::close(static_cast<int>(end));
        end = kNoPipe;
    }
}

std::ptrdiff_t ReadPipe(PipeEnd end, char* buffer, std::size_t size) {
    ssize_t got;
    do {
        got = ::read(static_cast<int>(end), buffer, size);
    } while (got < 0 && errno == EINTR);
    return got;
}

bool WritePipe(PipeEnd end, const char* bytes, std::size_t size) {
    for (std::size_t done = 0; done < size;) {
        const ssize_t wrote = ::write(static_cast<int>(end), bytes + done, size - done);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

int WaitForInput(const std::vector<PipeEnd>& ends, int timeoutMs, std::vector<bool>& ready) {
    std::vector<pollfd> waits;
    waits.reserve(ends.size());
    for (const PipeEnd end : ends) {
        waits.push_back({static_cast<int>(end), POLLIN, 0});
    }
    const int count = ::poll(waits.data(), waits.size(), timeoutMs);
    ready.assign(ends.size(), false);
    for (std::size_t i = 0; count > 0 && i < waits.size(); ++i) {
        ready[i] = waits[i].revents != 0;
    }
    return count > 0 ? count : 0;
}

PipeEnd OpenInputFile(const std::string& path) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    return descriptor >= 0 ? descriptor : kNoPipe;
}

PipeEnd StandardInput() {
    return STDIN_FILENO;
}

PipeEnd StandardOutput() {
    return STDOUT_FILENO;
}

}  // namespace corvanel::isolation
