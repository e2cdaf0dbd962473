#pragma once

// Writing to a pipe whose reader has ended: POSIX raises SIGPIPE, whose default action ends the
// process (PipeSignalPosix.cpp); on Windows the write only fails (PipeSignalWin32.cpp).

namespace corvanel::system {

// Keeps the signal from the calling thread, so that a write to a pipe whose reader has ended
// fails with an error there instead of ending the program that hosts the thread. Threads and
// processes the thread starts inherit this.
void BlockPipeSignalInThisThread();

}  // namespace corvanel::system
