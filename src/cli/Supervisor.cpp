#include "cli/Supervisor.h"

#include "cli/DocumentJob.h"
#include "cli/SourceStream.h"
#include "cli/TargetClaims.h"
#include "convert/core/ErrorCode.h"
#include "isolation/JobWorker.h"
#include "isolation/Pipes.h"
#include "isolation/WorkerPolicy.h"
#include "isolation/WorkerProcess.h"
#include "system/FileSystem.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace corvanel::cli {

namespace {

using Clock = std::chrono::steady_clock;
using isolation::kMemoryCheckInterval;

// Jobs a worker holds at once: the next one waits in its pipe while it converts the first, so
// it never idles for a round trip through the supervisor.
constexpr std::size_t kJobsPerWorker = 6;
// Once the list has been read, fewer: the last documents then spread evenly over the workers.
constexpr std::size_t kJobsPerWorkerAtTheEnd = 2;
// Nothing waits behind a large document in a worker's pipe, where another worker could not
// take it: jobs are added to a busy worker only while its documents add up to at most this.
// (A file's size is a rough measure of its work, but the costly documents are the large ones.)
constexpr std::uint64_t kQueuedBytesPerWorker = 256 * 1024;
// While every worker has at least this many jobs in hand, the supervisor lets records gather
// for a moment before it reads them: one wake-up then takes in several.
constexpr std::size_t kWellFed = 3;
constexpr auto kGatherRecords = std::chrono::microseconds(500);

// Documents taken from the sources by a thread of their own, named and claimed in list order, so
// a slow list never keeps the supervisor from its workers. Each side wakes the other only when
// it has to: the supervisor when it found no job waiting, the filling thread when the queue has
// gone down to half. A wake-up per document would cost each of them a context switch.
class JobQueue {
public:
    JobQueue(SourceStream& sources, const TargetRule& rule, std::size_t capacity,
             isolation::PipeEnd wake, const std::atomic<bool>& stop)
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

    // Whether every document of the sources has been taken in (some may still wait here).
    bool ListRead() {
        std::lock_guard lock(mutex_);
        return ended_;
    }

    // The next job, if one is waiting; `ended` tells whether more will come.
    std::optional<DocumentJob> Take(bool& ended) {
        std::lock_guard lock(mutex_);
        ended = ended_ && jobs_.empty();
        if (jobs_.empty()) {
            hungry_ = !ended_;
            return std::nullopt;
        }
        DocumentJob job = std::move(jobs_.front());
        jobs_.pop_front();
        if (jobs_.size() == capacity_ / 2) {
            room_.notify_one();
        }
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
            if (job->failureCode.empty() && job->bytes == 0) {  // a listed path
                job->bytes = system::StateOf(job->source).size;
            }
            std::unique_lock lock(mutex_);
            room_.wait(lock, [&] { return jobs_.size() < capacity_ || closed_; });
            if (closed_) {
                return;
            }
            jobs_.push_back(std::move(*job));
            WakeIfHungry();
        }
        std::lock_guard lock(mutex_);
        ended_ = true;
        WakeIfHungry();
    }
    // Called with the lock held.
    void WakeIfHungry() {
        if (hungry_) {
            hungry_ = false;
            const char byte = 1;
            isolation::WritePipe(wake_, &byte, 1);
        }
    }

    std::mutex mutex_;
    std::condition_variable room_;
    std::deque<DocumentJob> jobs_;
    std::size_t capacity_;
    isolation::PipeEnd wake_;
    bool ended_ = false;
    bool closed_ = false;
    bool hungry_ = false;  // the supervisor found no job and waits for one
    std::thread thread_;
};

struct Pending {
    DocumentJob job;
    int attempts = 0;
    Clock::time_point started;
};

struct Worker {
    isolation::WorkerProcess process;
    std::size_t done = 0;
    std::deque<Pending> queued;  // the first is being converted
    Clock::time_point memoryChecked;
};

bool Spawn(Worker& worker, const isolation::IsolationLimits& limits) {
    static const std::string program = isolation::ThisProgram();
    return worker.process.Start(program, "corvanel-convert", isolation::kWorkerArgument,
                                limits.maxMemoryBytes);
}

// Ends a worker: killed (its document abandoned) or, when `gently`, at the end of its input.
// Returns how it ended, as waitpid tells.
int Retire(Worker& worker, bool gently) {
    worker.done = 0;
    return worker.process.Stop(gently);
}

DocumentRecord Failed(const Pending& pending, convert::ErrorCode code, const std::string& why) {
    DocumentRecord record;
    record.source = pending.job.source;
    const system::FileState state = system::StateOf(pending.job.source);
    if (state.kind == system::FileKind::kFile) {
        record.bytes = state.size;
    }
    record.errorCode = convert::ErrorCodeName(code);
    record.errorMessage = convert::DescribeError(code, pending.job.source, why);
    record.milliseconds =
        std::chrono::duration<double, std::milli>(Clock::now() - pending.started).count();
    return record;
}

class Supervision {
public:
    Supervision(const RunSettings& settings, unsigned workers,
                const isolation::IsolationLimits& limits, RunReport& report)
        : settings_(settings), policy_(limits), report_(report), workers_(workers) {}

    ~Supervision() {
        for (Worker& worker : workers_) {  // all end at once, then each is waited for
            worker.process.EndInput();
        }
        for (Worker& worker : workers_) {
            Retire(worker, true);
        }
    }

    // Hands the document to a worker (taking it from `pending`), or returns false when none
    // has room for it now.
    bool Dispatch(std::optional<Pending>& next) {
        // An empty worker first, else one with room left in its pipe.
        Worker* chosen = nullptr;
        for (Worker& worker : workers_) {
            if (HasRoomIn(worker, next->job.bytes) &&
                (chosen == nullptr || worker.queued.size() < chosen->queued.size())) {
                chosen = &worker;
            }
        }
        if (chosen == nullptr) {
            return false;
        }
        Pending pending = std::move(*next);
        next.reset();
        Worker& worker = *chosen;
        if (!worker.process.Running() && !Spawn(worker, policy_.Limits())) {
            Fail(pending, policy_.AfterEnd(isolation::WorkerEnd::kNotStarted, 1, 0, false));
            return true;
        }
        if (pending.attempts == 0) {
            report_.Started(pending.job.source);
        }
        const bool first = worker.queued.empty();
        const std::string frame = isolation::EncodeJob(WorkerJob(pending.job, settings_));
        pending.started = Clock::now();
        worker.queued.push_back(std::move(pending));
        if (first) {
            worker.memoryChecked = worker.queued.front().started;
        }
        if (!worker.process.Send(frame)) {
            Died(worker);
        }
        return true;
    }

    bool Busy() const {
        return std::any_of(workers_.begin(), workers_.end(),
                           [](const Worker& worker) { return !worker.queued.empty(); });
    }
    void ListRead() { depth_ = kJobsPerWorkerAtTheEnd; }
    // Starts every worker now, before the list is read: as copies of this process while it
    // has one thread, which saves each the millisecond or two of loading the program again.
    // Workers replaced later are started afresh.
    void StartWorkers() {
        for (Worker& worker : workers_) {
            if (!worker.process.Running() && !worker.process.StartCopy(&isolation::ServeJobs)) {
                Spawn(worker, policy_.Limits());
            }
        }
    }
    std::deque<Pending>& Retries() { return retries_; }
    bool WellFed() const {
        return std::all_of(workers_.begin(), workers_.end(),
                           [](const Worker& worker) { return worker.queued.size() >= kWellFed; });
    }

    // Waits for records (or `wake`) at most until the next deadline, then enforces the limits.
    void Wait(isolation::PipeEnd wake) {
        if (WellFed()) {
            std::this_thread::sleep_for(kGatherRecords);
        }
        std::vector<isolation::PipeEnd> waits{wake};
        std::vector<Worker*> owners{nullptr};
        auto timeout = std::chrono::duration_cast<std::chrono::milliseconds>(kMemoryCheckInterval);
        const auto limit = std::chrono::duration<double>(policy_.Limits().timeoutSeconds);
        for (Worker& worker : workers_) {
            if (!worker.queued.empty()) {
                waits.push_back(worker.process.AnswerPipe());
                owners.push_back(&worker);
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    worker.queued.front().started + limit - Clock::now());
                timeout = std::clamp(left + std::chrono::milliseconds(1),
                                     std::chrono::milliseconds(0), timeout);
            }
        }
        std::vector<bool> readable;
        const int ready =
            isolation::WaitForInput(waits, static_cast<int>(timeout.count()), readable);
        if (ready > 0 && readable[0]) {
            char drain[256];
            isolation::ReadPipe(wake, drain, sizeof drain);
        }
        for (std::size_t i = 1; ready > 0 && i < waits.size(); ++i) {
            if (readable[i]) {
                Answer(*owners[i]);
            }
        }
        const auto now = Clock::now();
        for (Worker& worker : workers_) {
            if (worker.queued.empty()) {
                continue;
            }
            if (now - worker.queued.front().started > limit) {
                Kill(worker, isolation::WorkerEnd::kTimeout);
            } else if (now - worker.memoryChecked >= kMemoryCheckInterval) {
                worker.memoryChecked = now;
                if (worker.process.ResidentBytes() > policy_.Limits().maxMemoryBytes) {
                    Kill(worker, isolation::WorkerEnd::kOutOfMemory);
                }
            }
        }
    }

private:
    bool HasRoomIn(const Worker& worker, std::uint64_t bytes) const {
        if (!policy_.TakesMore(worker.done + worker.queued.size())) {
            return false;
        }
        if (worker.queued.empty()) {
            return true;
        }
        std::uint64_t queuedBytes = bytes;
        for (const Pending& pending : worker.queued) {
            queuedBytes += pending.job.bytes;
        }
        return worker.queued.size() < depth_ && queuedBytes <= kQueuedBytesPerWorker;
    }

    // Takes in the records a worker has sent since the last time.
    void Answer(Worker& worker) {
        if (!worker.process.Answers().Fill()) {
            Died(worker);
            return;
        }
        bool damaged = false;
        while (std::optional<std::string> frame = worker.process.Answers().Take(damaged)) {
            isolation::JobAnswer answer;
            if (worker.queued.empty() || !isolation::DecodeAnswer(*frame, answer)) {
                damaged = true;
                break;
            }
            report_.Finished(RecordOf(worker.queued.front().job, settings_, std::move(answer)));
            worker.queued.pop_front();
            ++worker.done;
            if (!worker.queued.empty()) {
                worker.queued.front().started = worker.memoryChecked = Clock::now();
            } else if (!policy_.TakesMore(worker.done)) {
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
        const pid_t pid = worker.process.Pid();
        status = Retire(worker, false);
        isolation::RemoveTemporaryFiles(failed.job.target, pid);
        return failed;
    }

    void Kill(Worker& worker, isolation::WorkerEnd end) {
        int status = 0;
        const Pending failed = EndWorker(worker, status);
        Fail(failed, policy_.AfterEnd(end, failed.attempts + 1, status, false));
    }

    void Died(Worker& worker) {
        int status = 0;
        Pending failed = EndWorker(worker, status);
        const isolation::EndVerdict verdict =
            policy_.AfterEnd(isolation::WorkerEnd::kDied, ++failed.attempts, status,
                             worker.process.ExceededMemory());
        if (verdict.retry) {
            retries_.push_front(std::move(failed));  // in a fresh worker
            return;
        }
        Fail(failed, verdict);
    }

    void Fail(const Pending& pending, const isolation::EndVerdict& verdict) {
        report_.Finished(Failed(pending, verdict.code, verdict.reason));
    }

    const RunSettings& settings_;
    isolation::WorkerPolicy policy_;
    RunReport& report_;
    std::vector<Worker> workers_;
    std::deque<Pending> retries_;
    std::size_t depth_ = kJobsPerWorker;  // jobs a worker may hold
};

}  // namespace

void RunIsolated(SourceStream& sources, const RunSettings& settings, unsigned workers,
                 const isolation::IsolationLimits& limits, RunReport& report,
                 const std::atomic<bool>& stop) {
    isolation::PipeEnd wake[2];
    if (!isolation::OpenPipe(wake, true)) {
        RunJobs(sources, settings, workers, report, stop);  // no pipe: the threads instead
        return;
    }
    {
        Supervision supervision(settings, std::max(workers, 1u), limits, report);
        supervision.StartWorkers();
        JobQueue queue(sources, settings.targets, 16 * std::max(workers, 1u), wake[1], stop);
        bool ended = false;
        std::optional<Pending> next;  // taken, and waiting for a worker with room for it
        while (true) {
            while (!stop) {
                if (!next && !supervision.Retries().empty()) {
                    next = std::move(supervision.Retries().front());
                    supervision.Retries().pop_front();
                } else if (!next) {
                    if (std::optional<DocumentJob> job = queue.Take(ended)) {
                        next = Pending{std::move(*job), 0, {}};
                    }
                }
                if (!next) {
                    break;
                }
                if (!next->job.failureCode.empty()) {  // fails before it is read: no worker
                    report.Started(next->job.source);
                    report.Finished(PerformJob(next->job, settings));
                    next.reset();
                    continue;
                }
                if (!supervision.Dispatch(next)) {
                    break;
                }
            }
            if (queue.ListRead()) {
                supervision.ListRead();
            }
            // Once stopped, nothing more is begun: the run ends with the documents under way.
            const bool done = stop || (ended && !next && supervision.Retries().empty());
            if (done && !supervision.Busy()) {
                break;
            }
            supervision.Wait(wake[0]);
        }
    }
    isolation::ClosePipe(wake[0]);
    isolation::ClosePipe(wake[1]);
}

}  // namespace corvanel::cli
