#include "lib/Batch.h"

#include "convert/core/ErrorCode.h"
#include "lib/BatchProtocol.h"
#include "lib/WorkerProgram.h"
#include "system/PipeSignal.h"

#include <chrono>
#include <utility>

namespace corvanel::library {

namespace {

using Ending = isolation::SingleWorker::Ending;

convert::ErrorCode CodeFor(Ending ending) {
    switch (ending) {
        case Ending::kTimeout:
            return convert::ErrorCode::kTimeout;
        case Ending::kOutOfMemory:
            return convert::ErrorCode::kOutOfMemory;
        case Ending::kCrashed:
            return convert::ErrorCode::kCrashed;
        case Ending::kAnswered:
        case Ending::kStopped:
            break;
    }
    return convert::ErrorCode::kInternal;
}

}  // namespace

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
    auto result = std::make_unique<corvanel_result>();
    const BatchRequest request{path, settings_.output, settings_.convert};
    const isolation::SingleWorker::Reply reply = worker.Ask(EncodeRequest(request), {});
    if (reply.ending == Ending::kStopped) {
        return nullptr;
    }
    if (reply.ending == Ending::kAnswered && DecodeResult(reply.answer, *result)) {
        result->source = std::move(path);
        return result;
    }
    *result = corvanel_result{};
    const convert::ErrorCode code = CodeFor(reply.ending);
    result->status = static_cast<int>(code);
    result->message = convert::DescribeError(
        code, path,
        reply.ending == Ending::kAnswered ? "its worker's answer cannot be read" : reply.reason);
    result->source = std::move(path);
    return result;
}

}  // namespace corvanel::library
