#include "cli/Supervisor.h"

#include "cli/DocumentJob.h"
#include "cli/SourceStream.h"
#include "cli/TargetClaims.h"
#include "cli/WorkerProtocol.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstring>
#include <deque>
#include <filesystem>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace corvanel::cli {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr auto kMemoryCheckInterval = std::chrono::milliseconds(20);
// Jobs a worker holds at once: the next one waits in its pipe while it converts the first, so
// it never idles for a round trip through the supervisor.
constexpr std::size_t kJobsPerWorker = 2;

// Documents taken from the sources by a thread of their own, named and claimed in list order, so
// a slow list never keeps the supervisor from its workers.
class JobQueue {
public:
    JobQueue(SourceStream& sources, const TargetRule& rule, std::size_t capacity, int wake,
             const std::atomic<bool>& stop)
        : capacity_(capacity),
          wake_(wake),
          thread_([&, this, rule] { Fill(sources, rule, stop); }) {}
    ~JobQueue() {
        {
            std::lock_guard lock(mutex_);
            closed_ = true;
        }
        room_.notify_all();
        thread_.join();
    }

    // The next job, if one is waiting; `ended` tells whether more will come.
    std::optional<DocumentJob> Take(bool& ended) {
        std::lock_guard lock(mutex_);
        ended = ended_ && jobs_.empty();
        if (jobs_.empty()) {
            return std::nullopt;
        }
        DocumentJob job = std::move(jobs_.front());
        jobs_.pop_front();
        room_.notify_one();
        return job;
    }

private:
    void Fill(SourceStream& sources, const TargetRule& rule, const std::atomic<bool>& stop) {
        TargetClaims claims;
        while (true) {
            std::optional<SourceEntry> entry = sources.Next(stop);
            if (!entry) {
                break;
            }
            std::optional<DocumentJob> job = PrepareJob(std::move(*entry), rule, claims);
            if (!job) {
                continue;
            }
            std::unique_lock lock(mutex_);
            room_.wait(lock, [&] { return jobs_.size() < capacity_ || closed_; });
            if (closed_) {
                return;
            }
            jobs_.push_back(std::move(*job));
            lock.unlock();
            Wake();
        }
        std::lock_guard lock(mutex_);
        ended_ = true;
        Wake();
    }
    void Wake() {
        const char byte = 1;
        [[maybe_unused]] const ssize_t wrote = ::write(wake_, &byte, 1);
    }

    std::mutex mutex_;
    std::condition_variable room_;
    std::deque<DocumentJob> jobs_;
    std::size_t capacity_;
    int wake_;
    bool ended_ = false;
    bool closed_ = false;
    std::thread thread_;
};

struct Pending {
    DocumentJob job;
    int attempts = 0;
    Clock::time_point started;
};

struct Worker {
    pid_t pid = -1;
    int jobs = -1;     // we write jobs here
    int records = -1;  // and read records here
    std::size_t done = 0;
    std::deque<Pending> queued;  // the first is being converted
    FrameReader reader;
    Clock::time_point memoryChecked;
};

bool Spawn(Worker& worker) {
    int jobPipe[2], recordPipe[2];
    if (::pipe2(jobPipe, O_CLOEXEC) != 0) {
        return false;
    }
    if (::pipe2(recordPipe, O_CLOEXEC) != 0) {
        ::close(jobPipe[0]);
        ::close(jobPipe[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, jobPipe[0], 0);
    posix_spawn_file_actions_adddup2(&actions, recordPipe[1], 1);
    char program[] = "corvanel-convert";
    char argument[64];
    std::strncpy(argument, kWorkerArgument, sizeof argument - 1);
    argument[sizeof argument - 1] = '\0';
    char* argv[] = {program, argument, nullptr};
    const int failed = posix_spawn(&worker.pid, "/proc/self/exe", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(jobPipe[0]);
    ::close(recordPipe[1]);
    if (failed != 0) {
        ::close(jobPipe[1]);
        ::close(recordPipe[0]);
        worker.pid = -1;
        return false;
    }
    worker.jobs = jobPipe[1];
    worker.records = recordPipe[0];
    worker.reader = FrameReader(worker.records);
    worker.done = 0;
    return true;
}

// Ends a worker: killed (its document abandoned) or, when `gently`, at the end of its input.
// Returns how it ended, as waitpid tells.
int Retire(Worker& worker, bool gently) {
    if (worker.pid < 0) {
        return 0;
    }
    if (!gently) {
        ::kill(worker.pid, SIGKILL);
    }
    ::close(worker.jobs);
    int status = 0;
    while (::waitpid(worker.pid, &status, 0) < 0 && errno == EINTR) {
    }
    ::close(worker.records);
    worker.pid = -1;
    worker.jobs = worker.records = -1;
    worker.done = 0;
    return status;
}

// A killed worker leaves the temporary file of the text it was writing (target.corvanel-PID-...).
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

std::uint64_t ResidentBytes(pid_t pid) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/statm", static_cast<int>(pid));
    std::FILE* statm = std::fopen(path, "r");
    if (statm == nullptr) {
        return 0;
    }
    unsigned long long size = 0, resident = 0;
    const int read = std::fscanf(statm, "%llu %llu", &size, &resident);
    std::fclose(statm);
    return read == 2 ? resident * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE)) : 0;
}

DocumentRecord Failed(const Pending& pending, const char* code, const std::string& why) {
    DocumentRecord record;
    record.source = pending.job.source;
    std::error_code ec;
    const auto size = fs::file_size(pending.job.source, ec);
    if (!ec) {
        record.bytes = size;
    }
    record.errorCode = code;
    record.errorMessage = pending.job.source + " could not be converted: " + why;
    record.milliseconds =
        std::chrono::duration<double, std::milli>(Clock::now() - pending.started).count();
    return record;
}

std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", seconds);
    return text;
}

std::string SignalName(int status) {
    if (!WIFSIGNALED(status)) {
        return "exit status " + std::to_string(WEXITSTATUS(status));
    }
    const char* name = sigabbrev_np(WTERMSIG(status));
    return name != nullptr ? std::string("SIG") + name
                           : "signal " + std::to_string(WTERMSIG(status));
}

class Supervision {
public:
    Supervision(const RunSettings& settings, unsigned workers, const IsolationLimits& limits,
                RunReport& report)
        : settings_(settings), limits_(limits), report_(report), workers_(workers) {}

    ~Supervision() {
        for (Worker& worker : workers_) {
            Retire(worker, true);
        }
    }

    bool Dispatch(Pending pending) {
        // An empty worker first, else one with room left in its pipe.
        Worker* chosen = nullptr;
        for (Worker& worker : workers_) {
            const bool room = worker.queued.size() < kJobsPerWorker &&
                              worker.done + worker.queued.size() < limits_.maxPerWorker;
            if (room && (chosen == nullptr || worker.queued.size() < chosen->queued.size())) {
                chosen = &worker;
            }
        }
        if (chosen == nullptr) {
            return false;
        }
        Worker& worker = *chosen;
        if (worker.pid < 0 && !Spawn(worker)) {
            report_.Finished(Failed(pending, "internal", "no worker process can be started"));
            return true;
        }
        if (pending.attempts == 0) {
            report_.Started(pending.job.source);
        }
        const bool first = worker.queued.empty();
        const std::string frame = EncodeJob(pending.job, settings_);
        pending.started = Clock::now();
        worker.queued.push_back(std::move(pending));
        if (first) {
            worker.memoryChecked = worker.queued.front().started;
        }
        if (!WriteFrame(worker.jobs, frame)) {
            Died(worker);
        }
        return true;
    }

    bool Busy() const {
        return std::any_of(workers_.begin(), workers_.end(),
                           [](const Worker& worker) { return !worker.queued.empty(); });
    }
    bool HasRoom() const {
        return std::any_of(workers_.begin(), workers_.end(), [&](const Worker& worker) {
            return worker.queued.size() < kJobsPerWorker &&
                   worker.done + worker.queued.size() < limits_.maxPerWorker;
        });
    }
    std::deque<Pending>& Retries() { return retries_; }

    // Waits for records (or `wake`) at most until the next deadline, then enforces the limits.
    void Wait(int wake) {
        std::vector<pollfd> waits{{wake, POLLIN, 0}};
        std::vector<Worker*> owners{nullptr};
        auto timeout = std::chrono::duration_cast<std::chrono::milliseconds>(kMemoryCheckInterval);
        const auto limit = std::chrono::duration<double>(limits_.timeoutSeconds);
        for (Worker& worker : workers_) {
            if (!worker.queued.empty()) {
                waits.push_back({worker.records, POLLIN, 0});
                owners.push_back(&worker);
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    worker.queued.front().started + limit - Clock::now());
                timeout = std::clamp(left + std::chrono::milliseconds(1),
                                     std::chrono::milliseconds(0), timeout);
            }
        }
        const int ready = ::poll(waits.data(), waits.size(), static_cast<int>(timeout.count()));
        if (ready > 0 && (waits[0].revents & POLLIN) != 0) {
            char drain[256];
            [[maybe_unused]] const ssize_t got = ::read(wake, drain, sizeof drain);
        }
        for (std::size_t i = 1; ready > 0 && i < waits.size(); ++i) {
            if (waits[i].revents != 0) {
                Answer(*owners[i]);
            }
        }
        const auto now = Clock::now();
        for (Worker& worker : workers_) {
            if (worker.queued.empty()) {
                continue;
            }
            if (now - worker.queued.front().started > limit) {
                Kill(worker, "timeout",
                     "it took longer than the time limit of " + Seconds(limits_.timeoutSeconds) +
                         " s");
            } else if (now - worker.memoryChecked >= kMemoryCheckInterval) {
                worker.memoryChecked = now;
                if (ResidentBytes(worker.pid) > limits_.maxMemoryBytes) {
                    Kill(worker, "out-of-memory",
                         "it needed more than the memory limit of " +
                             std::to_string(limits_.maxMemoryBytes >> 20) + " MiB");
                }
            }
        }
    }

private:
    // Takes in the records a worker has sent since the last time.
    void Answer(Worker& worker) {
        if (!worker.reader.Fill()) {
            Died(worker);
            return;
        }
        bool damaged = false;
        while (std::optional<std::string> frame = worker.reader.Take(damaged)) {
            DocumentRecord record;
            if (worker.queued.empty() || !DecodeRecordFrame(*frame, record)) {
                damaged = true;
                break;
            }
            worker.queued.pop_front();
            report_.Finished(record);
            ++worker.done;
            if (!worker.queued.empty()) {
                worker.queued.front().started = worker.memoryChecked = Clock::now();
            } else if (worker.done >= limits_.maxPerWorker) {
                Retire(worker, true);  // a fresh one is started for the next document
                return;
            }
        }
        if (damaged && !worker.queued.empty()) {
            Died(worker);
        }
    }

    // Ends a worker whose first job failed it; the jobs queued behind that one go back to be
    // dispatched again, as they were never begun.
    Pending EndWorker(Worker& worker, int& status) {
        Pending failed = std::move(worker.queued.front());
        worker.queued.pop_front();
        while (!worker.queued.empty()) {
            retries_.push_front(std::move(worker.queued.back()));
            worker.queued.pop_back();
        }
        const pid_t pid = worker.pid;
        status = Retire(worker, false);
        RemoveTemporaryFiles(failed.job.target, pid);
        return failed;
    }

    void Kill(Worker& worker, const char* code, const std::string& why) {
        int status = 0;
        const Pending failed = EndWorker(worker, status);
        report_.Finished(Failed(failed, code, why));
    }

    void Died(Worker& worker) {
        int status = 0;
        Pending failed = EndWorker(worker, status);
        if (++failed.attempts < 2) {
            retries_.push_front(std::move(failed));  // once more, in a fresh worker
            return;
        }
        report_.Finished(Failed(failed, "crashed",
                                "its worker process ended twice (" + SignalName(status) + ")"));
    }

    const RunSettings& settings_;
    const IsolationLimits& limits_;
    RunReport& report_;
    std::vector<Worker> workers_;
    std::deque<Pending> retries_;
};

}  // namespace

void RunIsolated(SourceStream& sources, const RunSettings& settings, unsigned workers,
                 const IsolationLimits& limits, RunReport& report, const std::atomic<bool>& stop) {
    int wake[2];
    if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        RunJobs(sources, settings, workers, report, stop);  // no pipe: the threads instead
        return;
    }
    {
        Supervision supervision(settings, std::max(workers, 1u), limits, report);
        JobQueue queue(sources, settings.targets, 4 * std::max(workers, 1u), wake[1], stop);
        bool ended = false;
        while (true) {
            while (!stop && supervision.HasRoom()) {
                std::optional<Pending> next;
                if (!supervision.Retries().empty()) {
                    next = std::move(supervision.Retries().front());
                    supervision.Retries().pop_front();
                } else if (std::optional<DocumentJob> job = queue.Take(ended)) {
                    next = Pending{std::move(*job), 0, {}};
                }
                if (!next) {
                    break;
                }
                if (!next->job.failureCode.empty()) {  // fails before it is read: no worker
                    report.Started(next->job.source);
                    report.Finished(PerformJob(next->job, settings));
                    continue;
                }
                supervision.Dispatch(std::move(*next));
            }
            const bool done = (ended || stop) && supervision.Retries().empty();
            if (done && !supervision.Busy()) {
                break;
            }
            supervision.Wait(wake[0]);
        }
    }
    ::close(wake[0]);
    ::close(wake[1]);
}

int RunWorker() {
    // An interrupt on the terminal reaches every process of the group: the supervisor decides,
    // and lets the document under way finish.
    std::signal(SIGINT, SIG_IGN);
    std::signal(SIGTERM, SIG_DFL);
    FrameReader jobs(0);
    while (std::optional<std::string> frame = jobs.Next()) {
        DocumentJob job;
        RunSettings settings;
        if (!DecodeJob(*frame, job, settings)) {
            return 2;
        }
        if (!WriteFrame(1, EncodeRecordFrame(PerformJob(job, settings)))) {
            return 1;
        }
    }
    return 0;
}

}  // namespace corvanel::cli
