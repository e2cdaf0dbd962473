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
std::string ThisProgram();

// A program started with one argument, its standard input a pipe for requests and its standard
// output a pipe for answers. Everything else it inherits (environment, current folder, the
// standard error); descriptors opened without close-on-exec are not ours to keep from it. On
// Windows it runs in a job object of its own, which ends it when this process ends and holds it
// to the memory limit given to Start. (WorkerProcessPosix.cpp, WorkerProcessWin32.cpp)
class WorkerProcess {
public:
    WorkerProcess() = default;
    ~WorkerProcess() { Stop(true); }
    WorkerProcess(const WorkerProcess&) = delete;
    WorkerProcess& operator=(const WorkerProcess&) = delete;

    // `name` is what process listings show for it (where the system lets a program be named).
    // `memoryLimit` (bytes, 0: none) is watched by the caller through ResidentBytes; on Windows
    // the job also refuses the worker memory beyond a quarter more than it, so one that grows
    // too fast to be caught in time fails there, and ExceededMemory tells why it died.
    bool Start(const std::string& program, const char* name, const char* argument,
               std::uint64_t memoryLimit = 0);
    // Ends the worker: at the end of its input when `gently`, else killed at once. Returns how it
    // ended, as waitpid tells, or its exit code on Windows (0 when none was running).
    int Stop(bool gently);
    // Starts `body` in a copy of this process instead of starting a program: nothing is loaded
    // again, so the worker is ready at once. Only while this process runs one thread (a copy of
    // a process with threads may inherit a lock held for good); false otherwise, or when it
    // cannot (always on Windows, which cannot copy a process). The copy keeps no descriptor of
    // ours but its pipes.
    bool StartCopy(int (*body)());
    // Closes its input: it ends once it has answered what it was sent. Stop(true) then waits.
    void EndInput();
    bool Running() const { return pid_ >= 0; }
    pid_t Pid() const { return pid_; }

    bool Send(const std::string& frame) { return WriteFrame(requests_, frame); }
    PipeEnd AnswerPipe() const { return answers_; }
    FrameReader& Answers() { return reader_; }
    // Its resident memory now (0 when it cannot be told).
    std::uint64_t ResidentBytes() const;
    // After Stop: whether the worker had used more than its memory limit (where the system
    // keeps count; never here).
    bool ExceededMemory() const { return exceededMemory_; }

private:
    // Takes the parent's ends of the pipes of a worker just started (`pid` < 0: not started) and
    // closes the child's.
    bool Adopt(pid_t pid, PipeEnd requests[2], PipeEnd answers[2]);

    // The system's own handles of the worker, where it has them (its process and job on
    // Windows).
    struct SystemHandles {
        std::intptr_t process = 0;
        std::intptr_t job = 0;
    };

    pid_t pid_ = -1;
    SystemHandles handles_;
    std::uint64_t memoryLimit_ = 0;
    bool exceededMemory_ = false;
    PipeEnd requests_ = kNoPipe;
    PipeEnd answers_ = kNoPipe;
    FrameReader reader_;
};

// A worker's life: requests in on standard input, each answered on standard output, until the
// end of its input. `answer` returns nothing for a request it cannot make sense of, which ends
// the worker with status 2. The worker dies with the process that started it (where the system
// offers this; elsewhere it ends at the end of its input), so one busy with a hanging document
// never outlives the program that waits for it; an interrupt from the terminal, which reaches
// the whole group, is left to that program. Returns the exit status.
int ServeRequests(const std::function<std::optional<std::string>(const std::string&)>& answer);

// Sets up a worker's side before it serves: it is tied to the process that started it and
// leaves interrupts to it. False when its starter has already ended.
bool PrepareWorkerSide();

// Kills a worker from any thread, knowing only its number.
void KillProcess(pid_t pid);

// A killed worker leaves the temporary file of the text it was writing (target.corvanel-PID-...).
void RemoveTemporaryFiles(const std::string& target, pid_t pid);

// Why a document failed with its worker, in words that follow "could not be converted: ".
std::string TimeoutReason(const IsolationLimits& limits);
std::string MemoryReason(const IsolationLimits& limits);
// `status` as Stop told it for the second death.
std::string CrashReason(int status);

}  // namespace corvanel::isolation
