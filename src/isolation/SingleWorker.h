#pragma once

#include "isolation/WorkerPolicy.h"
#include "isolation/WorkerProcess.h"

#include <atomic>
#include <functional>
#include <string>

namespace corvanel::isolation {

// One worker process asked one thing at a time under the limits: started on first use, killed
// and replaced past the time or memory limit, replaced when it dies (the request is asked once
// more in a fresh one, as WorkerPolicy says) and after `maxPerWorker` requests.
class SingleWorker {
public:
    SingleWorker(std::string program, std::string name, std::string argument,
                 IsolationLimits limits);
    // Kills a worker still running: nothing waits for its answer any more.
    ~SingleWorker() { worker_.Stop(false); }
    SingleWorker(const SingleWorker&) = delete;
    SingleWorker& operator=(const SingleWorker&) = delete;

    enum class Ending { kAnswered, kTimeout, kOutOfMemory, kCrashed, kStopped };
    struct Reply {
        Ending ending = Ending::kAnswered;
        std::string answer;  // the worker's frame, when answered
        std::string reason;  // why not, in words that follow "could not be converted: "
        // Why not, as the document's error code (a stopped document counts as crashed: it was
        // abandoned with its worker).
        convert::ErrorCode code = convert::ErrorCode::kNone;
    };
    // Whether an answer can be read; one that cannot counts as the worker's death.
    using AnswerCheck = std::function<bool(const std::string&)>;
    // `target` is the file the request has the worker write: a killed worker's temporary file
    // of it is removed.
    Reply Ask(const std::string& request, const std::string& target,
              const AnswerCheck& readable = nullptr);

    // Kills the worker at once and refuses further requests (kStopped). Safe to call from
    // another thread while Ask waits.
    void Stop();

    const IsolationLimits& Limits() const { return policy_.Limits(); }
    // Worker processes started so far (a replaced one counts again).
    std::size_t Starts() const { return starts_; }

private:
    enum class Wait { kAnswer, kDied, kTimeout, kOutOfMemory };
    Wait AwaitAnswer(std::string& answer, const AnswerCheck& readable);

    std::string program_, name_, argument_;
    WorkerPolicy policy_;
    WorkerProcess worker_;
    std::size_t served_ = 0;
    std::atomic<pid_t> running_{-1};
    std::atomic<bool> stopped_{false};
    std::atomic<std::size_t> starts_{0};
};

}  // namespace corvanel::isolation
