#pragma once

// The pipes between a program and its workers, as the system has them: descriptors here,
// HANDLEs on Windows, both carried in a PipeEnd (PipesPosix.cpp, PipesWin32.cpp).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace corvanel::isolation {

using PipeEnd = std::intptr_t;
inline constexpr PipeEnd kNoPipe = -1;

// A pipe whose ends this process's children do not inherit; [0] reads, [1] writes. A writer
// that must never wait asks for `nonBlocking` (where the system offers it).
bool OpenPipe(PipeEnd ends[2], bool nonBlocking = false);
void ClosePipe(PipeEnd& end);  // and sets it to kNoPipe

// Reads what has arrived, waiting for at least one byte: the count, 0 at the end of the
// stream, < 0 on a failure.
std::ptrdiff_t ReadPipe(PipeEnd end, char* buffer, std::size_t size);
// Writes all of it; false when the other end is gone.
bool WritePipe(PipeEnd end, const char* bytes, std::size_t size);

// Waits until one of `ends` has bytes to read or has ended, at most `timeoutMs`; marks those in
// `ready` (resized to match) and returns how many there are (0 at the timeout).
int WaitForInput(const std::vector<PipeEnd>& ends, int timeoutMs, std::vector<bool>& ready);

// A file (UTF-8 path) read through the same calls; kNoPipe with errno set when it cannot be
// opened.
PipeEnd OpenInputFile(const std::string& path);

// This process's standard input and output, as a worker reads requests and writes answers.
PipeEnd StandardInput();
PipeEnd StandardOutput();

}  // namespace corvanel::isolation
