#include "isolation/WorkerProcess.h"

#include "system/FileSystem.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

namespace corvanel::isolation {

namespace fs = std::filesystem;

bool WorkerProcess::Adopt(pid_t pid, PipeEnd requests[2], PipeEnd answers[2]) {
    ClosePipe(requests[0]);
    ClosePipe(answers[1]);
    if (pid < 0) {
        ClosePipe(requests[1]);
        ClosePipe(answers[0]);
        return false;
    }
    pid_ = pid;
    requests_ = requests[1];
    answers_ = answers[0];
    reader_ = FrameReader(answers_);
    return true;
}

int ServeRequests(const std::function<std::optional<std::string>(const std::string&)>& answer) {
    if (!PrepareWorkerSide()) {
        return 1;
    }
    FrameReader requests(StandardInput());
    const PipeEnd answers = StandardOutput();
    while (std::optional<std::string> request = requests.Next()) {
        const std::optional<std::string> reply = answer(*request);
        if (!reply) {
            return 2;
        }
        if (!WriteFrame(answers, *reply)) {
            return 1;
        }
    }
    return 0;
}

void RemoveTemporaryFiles(const std::string& target, pid_t pid) {
    const fs::path path = system::PathFromUtf8(target);
    const std::string prefix =
        system::Utf8FromPath(path.filename()) + ".corvanel-" + std::to_string(pid) + "-";
    const fs::path folder = path.parent_path().empty() ? fs::path(".") : path.parent_path();
    std::vector<std::string> names;
    system::ListFolder(system::Utf8FromPath(folder), names);
    for (const std::string& name : names) {
        if (name.rfind(prefix, 0) == 0 && name.size() > 4 &&
            name.compare(name.size() - 4, 4, ".tmp") == 0) {
            std::error_code ec;
            fs::remove(folder / system::PathFromUtf8(name), ec);
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

}  // namespace corvanel::isolation
