#include "lib/Batch.h"

#include "convert/core/ErrorCode.h"
#include "isolation/JobCodec.h"
#include "lib/WorkerProgram.h"
#include "system/PipeSignal.h"

#include <chrono>
#include <utility>

namespace corvanel::library {

static_assert(isolation::kIncludeHeaders == CORVANEL_INCLUDE_HEADERS &&
                  isolation::kIncludeFooters == CORVANEL_INCLUDE_FOOTERS &&
                  isolation::kIncludeComments == CORVANEL_INCLUDE_COMMENTS,
              "a job's include bits are the library's");

Batch::Batch(const BatchSettings& settings, const std::string& program) : settings_(settings) {
    for (unsigned i = 0; i < settings_.jobs; ++i) {
        workers_.push_back(std::make_unique<isolation::SingleWorker>(
            program, kWorkerName, kServeArgument, settings_.limits));
    }
    for (auto& worker : workers_) {
        threads_.emplace_back([this, &worker] { Serve(*worker); });
    }
}

Batch::~Batch() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    inputReady_.notify_all();
    for (auto& worker : workers_) {
        worker->Stop();
    }
    for (std::thread& thread : threads_) {
        thread.join();
    }
}

bool Batch::Add(std::string path) {
    {
        std::lock_guard lock(mutex_);
        if (closed_) {
            return false;
        }
        paths_.push_back(std::move(path));
        ++unreturned_;
    }
    inputReady_.notify_one();
    return true;
}

void Batch::CloseInput() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    inputReady_.notify_all();
    resultReady_.notify_all();
}

int Batch::Next(int timeoutMs, std::unique_ptr<corvanel_result>& result) {
    std::unique_lock lock(mutex_);
    const auto ready = [this] { return !finished_.empty() || (closed_ && unreturned_ == 0); };
    if (timeoutMs < 0) {
        resultReady_.wait(lock, ready);
    } else if (!resultReady_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready)) {
        return 0;
    }
    if (finished_.empty()) {
        return -1;
    }
    result = std::move(finished_.front());
    finished_.pop_front();
    --unreturned_;
    return 1;
}

void Batch::Serve(isolation::SingleWorker& worker) {
    // A worker that died is noticed by its pipe's error, not by a signal that would end the
    // calling program; the workers started from here inherit the mask, which is harmless to them.
    system::BlockPipeSignalInThisThread();
    while (true) {
        std::string path;
        {
            std::unique_lock lock(mutex_);
            inputReady_.wait(lock, [this] { return stopping_ || closed_ || !paths_.empty(); });
            if (stopping_ || paths_.empty()) {
                return;
            }
            path = std::move(paths_.front());
            paths_.pop_front();
        }
        std::unique_ptr<corvanel_result> result = Convert(worker, std::move(path));
        if (result == nullptr) {
            return;
        }
        {
            std::lock_guard lock(mutex_);
            finished_.push_back(std::move(result));
        }
        resultReady_.notify_all();
    }
}

std::unique_ptr<corvanel_result> Batch::Convert(isolation::SingleWorker& worker, std::string path) {
    isolation::Job job;
    job.source = path;
    job.options = settings_.convert;
    isolation::JobAnswer answer;
    const isolation::SingleWorker::Reply reply = worker.Ask(
        isolation::EncodeJob(job), {},
        [&](const std::string& frame) { return isolation::DecodeAnswer(frame, answer); });
    if (reply.ending == isolation::SingleWorker::Ending::kStopped) {
        return nullptr;
    }
    auto result = std::make_unique<corvanel_result>();
    if (reply.ending == isolation::SingleWorker::Ending::kAnswered) {
        TakeOutcome(*result, std::move(answer.outcome));
        result->text = std::move(answer.text);
    } else {
        result->status = static_cast<int>(reply.code);
        result->message = convert::DescribeError(reply.code, path, reply.reason);
    }
    result->source = std::move(path);
    return result;
}

}  // namespace corvanel::library
