#include "isolation/SingleWorker.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace corvanel::isolation {

namespace {

using Clock = std::chrono::steady_clock;

SingleWorker::Reply Stopped() {
    return {SingleWorker::Ending::kStopped,
            {},
            "the conversions were stopped",
            convert::ErrorCode::kCrashed};
}

SingleWorker::Reply Failed(const EndVerdict& verdict) {
    using Ending = SingleWorker::Ending;
    const Ending ending = verdict.code == convert::ErrorCode::kTimeout       ? Ending::kTimeout
                          : verdict.code == convert::ErrorCode::kOutOfMemory ? Ending::kOutOfMemory
                                                                             : Ending::kCrashed;
    return {ending, {}, verdict.reason, verdict.code};
}

}  // namespace

SingleWorker::SingleWorker(std::string program, std::string name, std::string argument,
                           IsolationLimits limits)
    : program_(std::move(program)),
      name_(std::move(name)),
      argument_(std::move(argument)),
      policy_(limits) {}

SingleWorker::Reply SingleWorker::Ask(const std::string& request, const std::string& target,
                                      const AnswerCheck& readable) {
    for (int attempt = 1;; ++attempt) {
        if (stopped_) {
            return Stopped();
        }
        if (worker_.Running() && !policy_.TakesMore(served_)) {
            worker_.Stop(true);
        }
        if (!worker_.Running()) {
            if (!worker_.Start(program_, name_.c_str(), argument_.c_str(),
                               Limits().maxMemoryBytes)) {
                return Failed(policy_.AfterEnd(WorkerEnd::kNotStarted, attempt, 0, false));
            }
            served_ = 0;
            ++starts_;
            running_ = worker_.Pid();
            // A Stop() while the worker was starting saw no worker to kill (starting takes a
            // good part of a second on Windows): the stop is honoured here instead.
            if (stopped_) {
                running_ = -1;
                worker_.Stop(false);
                return Stopped();
            }
        }
        std::string answer;
        const Wait wait = worker_.Send(request) ? AwaitAnswer(answer, readable) : Wait::kDied;
        if (wait == Wait::kAnswer) {
            ++served_;
            return {Ending::kAnswered, std::move(answer), {}, convert::ErrorCode::kNone};
        }
        const pid_t pid = worker_.Pid();
        running_ = -1;
        const int status = worker_.Stop(false);
        RemoveTemporaryFiles(target, pid);
        const WorkerEnd end = wait == Wait::kTimeout       ? WorkerEnd::kTimeout
                              : wait == Wait::kOutOfMemory ? WorkerEnd::kOutOfMemory
                                                           : WorkerEnd::kDied;
        // A worker killed by Stop() died of it, not of its document.
        if (end == WorkerEnd::kDied && stopped_ && !worker_.ExceededMemory()) {
            return Stopped();
        }
        const EndVerdict verdict = policy_.AfterEnd(end, attempt, status, worker_.ExceededMemory());
        if (!verdict.retry) {
            return Failed(verdict);
        }
    }
}

SingleWorker::Wait SingleWorker::AwaitAnswer(std::string& answer, const AnswerCheck& readable) {
    const auto deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(
                           std::chrono::duration<double>(Limits().timeoutSeconds));
    auto memoryChecked = Clock::now();
    while (true) {
        bool damaged = false;
        if (std::optional<std::string> frame = worker_.Answers().Take(damaged)) {
            if (readable && !readable(*frame)) {
                return Wait::kDied;
            }
            answer = std::move(*frame);
            return Wait::kAnswer;
        }
        if (damaged) {
            return Wait::kDied;
        }
        const auto now = Clock::now();
        if (now >= deadline) {
            return Wait::kTimeout;
        }
        if (now - memoryChecked >= kMemoryCheckInterval) {
            memoryChecked = now;
            if (worker_.ResidentBytes() > Limits().maxMemoryBytes) {
                return Wait::kOutOfMemory;
            }
        }
        const auto slice = std::min<Clock::duration>(deadline - now, kMemoryCheckInterval);
        const int waitMs =
            static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(slice).count());
        std::vector<bool> ready;
        if (WaitForInput({worker_.AnswerPipe()}, waitMs, ready) > 0 && !worker_.Answers().Fill()) {
            return Wait::kDied;
        }
    }
}

void SingleWorker::Stop() {
    stopped_ = true;
    if (const pid_t pid = running_; pid > 0) {
        KillProcess(pid);
    }
}

}  // namespace corvanel::isolation
