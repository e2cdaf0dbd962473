#include "isolation/WorkerProcess.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <system_error>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#ifdef __linux__
#include <sys/prctl.h>
#endif

extern char** environ;

namespace corvanel::isolation {

namespace fs = std::filesystem;

namespace {

// A worker's two pipes; [0] reads, [1] writes.
struct WorkerPipes {
    PipeEnd requests[2] = {kNoPipe, kNoPipe};
    PipeEnd answers[2] = {kNoPipe, kNoPipe};

    bool Open() {
        if (!OpenPipe(requests)) {
            return false;
        }
        if (!OpenPipe(answers)) {
            ClosePipe(requests[0]);
            ClosePipe(requests[1]);
            return false;
        }
        return true;
    }
};

bool SingleThreaded() {
#ifdef __linux__
    std::error_code ec;
    fs::directory_iterator tasks("/proc/self/task", ec);
    return !ec && std::distance(tasks, fs::directory_iterator()) == 1;
#else
    return false;
#endif
}

}  // namespace

std::string ThisProgram() {
    return "/proc/self/exe";
}

// The memory limit is the caller's to enforce here: it watches the resident memory.
bool WorkerProcess::Start(const std::string& program, const char* name, const char* argument,
                          std::uint64_t memoryLimit) {
    Stop(false);
    memoryLimit_ = memoryLimit;
    WorkerPipes pipes;
    if (!pipes.Open()) {
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, static_cast<int>(pipes.requests[0]), 0);
    posix_spawn_file_actions_adddup2(&actions, static_cast<int>(pipes.answers[1]), 1);
    std::string shownName = name;
    std::string option = argument;
    char* argv[] = {shownName.data(), option.data(), nullptr};
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    return Adopt(failed == 0 ? pid : -1, pipes.requests, pipes.answers);
}

bool WorkerProcess::StartCopy(int (*body)()) {
    Stop(false);
    WorkerPipes pipes;
    if (!SingleThreaded() || !pipes.Open()) {
        return false;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Only the two pipes stay: a write end of another worker's input kept here would keep
        // that worker from ever seeing the end of it.
        if (::dup2(static_cast<int>(pipes.requests[0]), 0) < 0 ||
            ::dup2(static_cast<int>(pipes.answers[1]), 1) < 0 || ::close_range(3, ~0u, 0) != 0) {
            std::_Exit(127);
        }
        std::_Exit(body());
    }
    return Adopt(pid, pipes.requests, pipes.answers);
}

int WorkerProcess::Stop(bool gently) {
    if (pid_ < 0) {
        return 0;
    }
    if (!gently) {
        ::kill(pid_, SIGKILL);
    }
    EndInput();
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    ClosePipe(answers_);
    pid_ = -1;
    reader_ = FrameReader();
    return status;
}

void WorkerProcess::EndInput() {
    ClosePipe(requests_);
}

std::uint64_t WorkerProcess::ResidentBytes() const {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/statm", static_cast<int>(pid_));
    std::FILE* statm = std::fopen(path, "r");
    if (statm == nullptr) {
        return 0;
    }
    unsigned long long size = 0, resident = 0;
    const int read = std::fscanf(statm, "%llu %llu", &size, &resident);
    std::fclose(statm);
    return read == 2 ? resident * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE)) : 0;
}

void KillProcess(pid_t pid) {
    ::kill(pid, SIGKILL);
}

bool PrepareWorkerSide() {
#ifdef __linux__
    const pid_t starter = ::getppid();
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != starter) {  // it ended before the request took hold
        return false;
    }
#endif
    std::signal(SIGINT, SIG_IGN);
    std::signal(SIGTERM, SIG_DFL);
    return true;
}

std::string CrashReason(int status) {
    std::string how;
    if (!WIFSIGNALED(status)) {
        how = "exit status " + std::to_string(WEXITSTATUS(status));
    } else if (const char* name = sigabbrev_np(WTERMSIG(status)); name != nullptr) {
        how = std::string("SIG") + name;
    } else {
        how = "signal " + std::to_string(WTERMSIG(status));
    }
    return "its worker process ended twice (" + how + ")";
}

}  // namespace corvanel::isolation
