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
    int requests[2] = {-1, -1};
    int answers[2] = {-1, -1};

    bool Open() {
        if (::pipe2(requests, O_CLOEXEC) != 0) {
            return false;
        }
        if (::pipe2(answers, O_CLOEXEC) != 0) {
            ::close(requests[0]);
            ::close(requests[1]);
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

bool WorkerProcess::Start(const char* program, const char* name, const char* argument) {
    Stop(false);
    WorkerPipes pipes;
    if (!pipes.Open()) {
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipes.requests[0], 0);
    posix_spawn_file_actions_adddup2(&actions, pipes.answers[1], 1);
    std::string shownName = name;
    std::string option = argument;
    char* argv[] = {shownName.data(), option.data(), nullptr};
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    return Adopt(failed == 0 ? pid : -1, pipes.requests, pipes.answers);
}

bool WorkerProcess::Adopt(pid_t pid, const int requests[2], const int answers[2]) {
    ::close(requests[0]);
    ::close(answers[1]);
    if (pid < 0) {
        ::close(requests[1]);
        ::close(answers[0]);
        return false;
    }
    pid_ = pid;
    requests_ = requests[1];
    answers_ = answers[0];
    reader_ = FrameReader(answers_);
    return true;
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
        if (::dup2(pipes.requests[0], 0) < 0 || ::dup2(pipes.answers[1], 1) < 0 ||
            ::close_range(3, ~0u, 0) != 0) {
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
    ::close(answers_);
    pid_ = -1;
    requests_ = answers_ = -1;
    reader_ = FrameReader();
    return status;
}

void WorkerProcess::EndInput() {
    if (requests_ >= 0) {
        ::close(requests_);
        requests_ = -1;
    }
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

int ServeRequests(const std::function<std::optional<std::string>(const std::string&)>& answer) {
#ifdef __linux__
    const pid_t starter = ::getppid();
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != starter) {  // it ended before the request took hold
        return 1;
    }
#endif
    std::signal(SIGINT, SIG_IGN);
    std::signal(SIGTERM, SIG_DFL);
    FrameReader requests(0);
    while (std::optional<std::string> request = requests.Next()) {
        const std::optional<std::string> reply = answer(*request);
        if (!reply) {
            return 2;
        }
        if (!WriteFrame(1, *reply)) {
            return 1;
        }
    }
    return 0;
}

void RemoveTemporaryFiles(const std::string& target, pid_t pid) {
    const fs::path path(target);
    const std::string prefix = path.filename().string() + ".corvanel-" + std::to_string(pid) + "-";
    std::error_code ec;
    const fs::path folder = path.parent_path().empty() ? fs::path(".") : path.parent_path();
    for (fs::directory_iterator it(folder, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(prefix, 0) == 0 && name.size() > 4 &&
            name.compare(name.size() - 4, 4, ".tmp") == 0) {
            fs::remove(it->path(), ec);
        }
    }
}

std::string TimeoutReason(const IsolationLimits& limits) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%g", limits.timeoutSeconds);
    return std::string("it took longer than the time limit of ") + seconds + " s";
}

std::string MemoryReason(const IsolationLimits& limits) {
    return "it needed more than the memory limit of " +
           std::to_string(limits.maxMemoryBytes >> 20) + " MiB";
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
