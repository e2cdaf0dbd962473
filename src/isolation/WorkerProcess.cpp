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

bool WorkerProcess::Start(const char* program, const char* name, const char* argument) {
    Stop(false);
    int requestPipe[2], answerPipe[2];
    if (::pipe2(requestPipe, O_CLOEXEC) != 0) {
        return false;
    }
    if (::pipe2(answerPipe, O_CLOEXEC) != 0) {
        ::close(requestPipe[0]);
        ::close(requestPipe[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, requestPipe[0], 0);
    posix_spawn_file_actions_adddup2(&actions, answerPipe[1], 1);
    std::string shownName = name;
    std::string option = argument;
    char* argv[] = {shownName.data(), option.data(), nullptr};
    const int failed = posix_spawn(&pid_, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(requestPipe[0]);
    ::close(answerPipe[1]);
    if (failed != 0) {
        ::close(requestPipe[1]);
        ::close(answerPipe[0]);
        pid_ = -1;
        return false;
    }
    requests_ = requestPipe[1];
    answers_ = answerPipe[0];
    reader_ = FrameReader(answers_);
    return true;
}

namespace {

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

bool WorkerProcess::StartCopy(int (*body)()) {
    Stop(false);
    if (!SingleThreaded()) {
        return false;
    }
    int requestPipe[2], answerPipe[2];
    if (::pipe2(requestPipe, O_CLOEXEC) != 0) {
        return false;
    }
    if (::pipe2(answerPipe, O_CLOEXEC) != 0) {
        ::close(requestPipe[0]);
        ::close(requestPipe[1]);
        return false;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Only the two pipes stay: a write end of another worker's input kept here would keep
        // that worker from ever seeing the end of it.
        if (::dup2(requestPipe[0], 0) < 0 || ::dup2(answerPipe[1], 1) < 0 ||
            ::close_range(3, ~0u, 0) != 0) {
            std::_Exit(127);
        }
        std::_Exit(body());
    }
    ::close(requestPipe[0]);
    ::close(answerPipe[1]);
    if (pid < 0) {
        ::close(requestPipe[1]);
        ::close(answerPipe[0]);
        return false;
    }
    pid_ = pid;
    requests_ = requestPipe[1];
    answers_ = answerPipe[0];
    reader_ = FrameReader(answers_);
    return true;
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

void EndWithStarter() {
#ifdef __linux__
    const pid_t starter = ::getppid();
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != starter) {  // it ended before the request took hold
        std::_Exit(1);
    }
#endif
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
