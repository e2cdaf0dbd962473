#include "server/WorkerPool.h"

#include "isolation/JobWorker.h"

namespace corvanel::server {

WorkerPool::WorkerPool(const std::string& program, unsigned workers, std::size_t queue,
                       const isolation::IsolationLimits& limits)
    : queue_(queue) {
    for (unsigned i = 0; i < workers; ++i) {
        workers_.push_back(std::make_unique<isolation::SingleWorker>(
            program, "corvanel-server", isolation::kWorkerArgument, limits));
        free_.push_back(workers_.back().get());
    }
}

WorkerPool::Result WorkerPool::Convert(const isolation::Job& job) {
    Result result;
    isolation::SingleWorker* worker = nullptr;
    {
        std::unique_lock lock(mutex_);
        if (!stopped_ && free_.empty() && waiting_ >= queue_) {
            result.outcome = Outcome::kQueueFull;
            return result;
        }
        ++waiting_;
        freed_.wait(lock, [this] { return stopped_ || !free_.empty(); });
        --waiting_;
        if (stopped_) {
            return result;
        }
        worker = free_.back();
        free_.pop_back();
    }
    const isolation::SingleWorker::Reply reply = worker->Ask(
        isolation::EncodeJob(job), {},
        [&](const std::string& frame) { return isolation::DecodeAnswer(frame, result.answer); });
    {
        std::lock_guard lock(mutex_);
        free_.push_back(worker);
    }
    freed_.notify_one();
    switch (reply.ending) {
        case isolation::SingleWorker::Ending::kAnswered:
            result.outcome = Outcome::kAnswered;
            break;
        case isolation::SingleWorker::Ending::kStopped:
            result.outcome = Outcome::kStopped;
            break;
        default:
            result.outcome = Outcome::kFailed;
            result.code = reply.code;
            result.reason = reply.reason;
    }
    return result;
}

void WorkerPool::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    freed_.notify_all();
    for (auto& worker : workers_) {
        worker->Stop();
    }
}

std::size_t WorkerPool::Waiting() const {
    std::lock_guard lock(mutex_);
    return waiting_;
}

std::size_t WorkerPool::Busy() const {
    std::lock_guard lock(mutex_);
    return workers_.size() - free_.size();
}

std::uint64_t WorkerPool::Restarts() const {
    std::uint64_t restarts = 0;
    for (const auto& worker : workers_) {
        const std::size_t starts = worker->Starts();
        restarts += starts > 1 ? starts - 1 : 0;
    }
    return restarts;
}

}  // namespace corvanel::server
