#pragma once

// The server's conversions on the worker layer: one isolation::SingleWorker per job slot (time
// and memory limits, a crashed worker's document tried once more, workers replaced after their
// share), taken by the request's own thread for its document. Requests beyond the free workers
// wait in a bounded queue; beyond it they are refused at once.

#include "isolation/JobCodec.h"
#include "isolation/SingleWorker.h"

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace corvanel::server {

class WorkerPool {
public:
    WorkerPool(const std::string& program, unsigned workers, std::size_t queue,
               const isolation::IsolationLimits& limits);
    // Kills the workers still busy.
    ~WorkerPool() { Stop(); }
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    enum class Outcome {
        kAnswered,   // `answer` holds the worker's answer (which may be a failure)
        kFailed,     // the worker did not answer: `code` and `reason` say why
        kQueueFull,  // refused: every worker busy and the queue full
        kStopped,    // the pool was stopped
    };
    struct Result {
        Outcome outcome = Outcome::kStopped;
        isolation::JobAnswer answer;
        convert::ErrorCode code = convert::ErrorCode::kNone;
        std::string reason;
    };
    // Converts the job's document in a worker, waiting for one if needed.
    Result Convert(const isolation::Job& job);

    // Kills every worker at once; waiting and later requests are answered kStopped.
    void Stop();

    std::size_t Workers() const { return workers_.size(); }
    std::size_t Waiting() const;
    std::size_t Busy() const;
    std::uint64_t Restarts() const;

private:
    std::vector<std::unique_ptr<isolation::SingleWorker>> workers_;
    std::size_t queue_;
    mutable std::mutex mutex_;
    std::condition_variable freed_;
    std::vector<isolation::SingleWorker*> free_;
    std::size_t waiting_ = 0;
    bool stopped_ = false;
};

}  // namespace corvanel::server
