#pragma once

// Worker processes: a conversion that hangs, exhausts memory or crashes its reader costs only its
// worker, which is killed or found dead and replaced, while the program that started it goes on.

#include "isolation/Frames.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include <sys/types.h>

namespace corvanel::isolation {

struct IsolationLimits {
    double timeoutSeconds = 120;                   // per document
    std::uint64_t maxMemoryBytes = 2048ull << 20;  // resident memory of a worker
    std::size_t maxPerWorker = 10000;              // documents before a worker is replaced
};

// How often a busy worker's resident memory is looked at.
inline constexpr auto kMemoryCheckInterval = std::chrono::milliseconds(20);

// The running program itself, to be started again as a worker.
inline constexpr const char* kThisProgram = "/proc/self/exe";

// A program started with one argument, its standard input a pipe for requests and its standard
// output a pipe for answers. Everything else it inherits (environment, current folder, the
// standard error); descriptors opened without close-on-exec are not ours to keep from it.
class WorkerProcess {
public:
    WorkerProcess() = default;
    ~WorkerProcess() { Stop(true); }
    WorkerProcess(const WorkerProcess&) = delete;
    WorkerProcess& operator=(const WorkerProcess&) = delete;

    // `name` is what process listings show for it.
    bool Start(const char* program, const char* name, const char* argument);
    // Ends the worker: at the end of its input when `gently`, else killed at once. Returns how it
    // ended, as waitpid tells (0 when none was running).
    int Stop(bool gently);
    // Starts `body` in a copy of this process instead of starting a program: nothing is loaded
    // again, so the worker is ready at once. Only while this process runs one thread (a copy of
    // a process with threads may inherit a lock held for good); false otherwise, or when it
    // cannot. The copy keeps no descriptor of ours but its pipes.
    bool StartCopy(int (*body)());
    // Closes its input: it ends once it has answered what it was sent. Stop(true) then waits.
    void EndInput();
    bool Running() const { return pid_ >= 0; }
    pid_t Pid() const { return pid_; }

    bool Send(const std::string& frame) { return WriteFrame(requests_, frame); }
    int AnswerDescriptor() const { return answers_; }
    FrameReader& Answers() { return reader_; }
    // Its resident memory now (0 when it cannot be told).
    std::uint64_t ResidentBytes() const;

private:
    // Takes the parent's ends of the pipes of a worker just started (`pid` < 0: not started) and
    // closes the child's.
    bool Adopt(pid_t pid, const int requests[2], const int answers[2]);

    pid_t pid_ = -1;
    int requests_ = -1;
    int answers_ = -1;
    FrameReader reader_;
};

// A worker's life: requests in on standard input, each answered on standard output, until the
// end of its input. `answer` returns nothing for a request it cannot make sense of, which ends
// the worker with status 2. The worker dies with the process that started it (where the system
// offers this; elsewhere it ends at the end of its input), so one busy with a hanging document
// never outlives the program that waits for it; an interrupt from the terminal, which reaches
// the whole group, is left to that program. Returns the exit status.
int ServeRequests(const std::function<std::optional<std::string>(const std::string&)>& answer);

// A killed worker leaves the temporary file of the text it was writing (target.corvanel-PID-...).
void RemoveTemporaryFiles(const std::string& target, pid_t pid);

// Why a document failed with its worker, in words that follow "could not be converted: ".
std::string TimeoutReason(const IsolationLimits& limits);
std::string MemoryReason(const IsolationLimits& limits);
// `status` as waitpid told it for the second death.
std::string CrashReason(int status);

}  // namespace corvanel::isolation
