#include "isolation/SingleWorker.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace corvanel::isolation {

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

SingleWorker::SingleWorker(std::string program, std::string name, std::string argument,
                           IsolationLimits limits)
    : program_(std::move(program)),
      name_(std::move(name)),
      argument_(std::move(argument)),
      limits_(limits) {}

SingleWorker::Reply SingleWorker::Ask(const std::string& request, const std::string& target) {
    for (int attempt = 1;; ++attempt) {
        if (stopped_) {
            return {Ending::kStopped, {}, "the conversions were stopped"};
        }
        if (worker_.Running() && served_ >= limits_.maxPerWorker) {
            worker_.Stop(true);
        }
        if (!worker_.Running()) {
            if (!worker_.Start(program_, name_.c_str(), argument_.c_str(),
                               limits_.maxMemoryBytes)) {
                return {Ending::kCrashed, {}, "no worker process can be started"};
            }
            served_ = 0;
            running_ = worker_.Pid();
            // A Stop() while the worker was starting saw no worker to kill (starting takes a
            // good part of a second on Windows): the stop is honoured here instead.
            if (stopped_) {
                running_ = -1;
                worker_.Stop(false);
                return {Ending::kStopped, {}, "the conversions were stopped"};
            }
        }
        std::string answer;
        const Wait end = worker_.Send(request) ? AwaitAnswer(answer) : Wait::kDied;
        if (end == Wait::kAnswer) {
            ++served_;
            return {Ending::kAnswered, std::move(answer), {}};
        }
        const pid_t pid = worker_.Pid();
        running_ = -1;
        const int status = worker_.Stop(false);
        RemoveTemporaryFiles(target, pid);
        if (end == Wait::kTimeout) {
            return {Ending::kTimeout, {}, TimeoutReason(limits_)};
        }
        if (end == Wait::kOutOfMemory || worker_.ExceededMemory()) {
            return {Ending::kOutOfMemory, {}, MemoryReason(limits_)};
        }
        if (stopped_) {
            return {Ending::kStopped, {}, "the conversions were stopped"};
        }
        if (attempt == 2) {
            return {Ending::kCrashed, {}, CrashReason(status)};
        }
    }
}

SingleWorker::Wait SingleWorker::AwaitAnswer(std::string& answer) {
    const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                             std::chrono::duration<double>(limits_.timeoutSeconds));
    auto memoryChecked = Clock::now();
    while (true) {
        bool damaged = false;
        if (std::optional<std::string> frame = worker_.Answers().Take(damaged)) {
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
            if (worker_.ResidentBytes() > limits_.maxMemoryBytes) {
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
