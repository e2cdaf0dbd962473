#include "isolation/Pipes.h"

#include "system/FileSystem.h"

#include <io.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace corvanel::isolation {

namespace {

HANDLE Handle(PipeEnd end) {
    return reinterpret_cast<HANDLE>(end);
}

// Anonymous pipes cannot be waited on, only looked into: a wait looks at each end once per this
// slice. A finished answer is then taken in at most this late.
constexpr auto kLookEvery = std::chrono::milliseconds(1);

// Bytes to read or an ended stream (a look that fails: the writer has closed its end).
bool HasInput(PipeEnd end) {
    DWORD available = 0;
    return ::PeekNamedPipe(Handle(end), nullptr, 0, nullptr, &available, nullptr) == 0 ||
           available > 0;
}

}  // namespace

bool OpenPipe(PipeEnd ends[2], bool) {
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (::CreatePipe(&read, &write, nullptr, 64 * 1024) == 0) {
        return false;
    }
    ends[0] = reinterpret_cast<PipeEnd>(read);
    ends[1] = reinterpret_cast<PipeEnd>(write);
    return true;
}

void ClosePipe(PipeEnd& end) {
    if (end != kNoPipe) {
        ::CloseHandle(Handle(end));
        end = kNoPipe;
    }
}

std::ptrdiff_t ReadPipe(PipeEnd end, char* buffer, std::size_t size) {
    DWORD got = 0;
    if (::ReadFile(Handle(end), buffer, static_cast<DWORD>(size), &got, nullptr) != 0) {
        return static_cast<std::ptrdiff_t>(got);
    }
    return ::GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
}

bool WritePipe(PipeEnd end, const char* bytes, std::size_t size) {
    for (std::size_t done = 0; done < size;) {
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
        DWORD wrote = 0;
        if (::WriteFile(Handle(end), bytes + done, piece, &wrote, nullptr) == 0 || wrote == 0) {
            return false;
        }
        done += wrote;
    }
    return true;
}

int WaitForInput(const std::vector<PipeEnd>& ends, int timeoutMs, std::vector<bool>& ready) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    ready.assign(ends.size(), false);
    while (true) {
        int count = 0;
        for (std::size_t i = 0; i < ends.size(); ++i) {
            ready[i] = HasInput(ends[i]);
            count += ready[i] ? 1 : 0;
        }
        if (count > 0 || std::chrono::steady_clock::now() >= deadline) {
            return count;
        }
        std::this_thread::sleep_for(kLookEvery);
    }
}

PipeEnd OpenInputFile(const std::string& path) {
    std::FILE* file = system::OpenFile(path, "rb");
    if (file == nullptr) {
        return kNoPipe;
    }
    // The stream is let go of, its handle kept: a duplicate outlives the stream's closing.
    HANDLE handle = nullptr;
    ::DuplicateHandle(::GetCurrentProcess(),
                      reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file))),
                      ::GetCurrentProcess(), &handle, 0, FALSE, DUPLICATE_SAME_ACCESS);
    std::fclose(file);
    return handle != nullptr ? reinterpret_cast<PipeEnd>(handle) : kNoPipe;
}

PipeEnd StandardInput() {
    return reinterpret_cast<PipeEnd>(::GetStdHandle(STD_INPUT_HANDLE));
}

PipeEnd StandardOutput() {
    return reinterpret_cast<PipeEnd>(::GetStdHandle(STD_OUTPUT_HANDLE));
}

}  // namespace corvanel::isolation
