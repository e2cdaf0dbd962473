#include "export/BackgroundCall.h"

#include <QEventLoop>

#include <condition_variable>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <thread>

// One long-lived thread that takes one call at a time: starting a thread per document would add
// its cost to every conversion.
struct BackgroundCall::Worker {
    std::mutex mutex;
    std::condition_variable wake;
    const std::function<void()>* call = nullptr;  // the call to run, or none
    std::function<void()> onDone;                 // posted back to the caller's loop
    std::exception_ptr failure;
    bool stopping = false;
    std::thread thread;

    void Loop() {
        std::unique_lock lock(mutex);
        for (;;) {
            wake.wait(lock, [&] { return stopping || call != nullptr; });
            if (call == nullptr) {
                return;
            }
            const std::function<void()>* current = call;
            lock.unlock();
            std::exception_ptr caught;
            try {
                (*current)();
            } catch (...) {
                caught = std::current_exception();
            }
            lock.lock();
            failure = caught;
            call = nullptr;
            onDone();
        }
    }
};

BackgroundCall::BackgroundCall() : worker_(std::make_unique<Worker>()) {
    worker_->thread = std::thread([worker = worker_.get()] { worker->Loop(); });
}

BackgroundCall::~BackgroundCall() {
    {
        std::lock_guard lock(worker_->mutex);
        worker_->stopping = true;
    }
    worker_->wake.notify_one();
    worker_->thread.join();
}

void BackgroundCall::Run(const std::function<void()>& call) {
    QEventLoop loop;
    bool done = false;
    {
        std::lock_guard lock(worker_->mutex);
        // A handler that ran during the wait must not start a second call over the first.
        if (worker_->call != nullptr || worker_->onDone) {
            throw std::logic_error("BackgroundCall::Run: a call is already running");
        }
        worker_->failure = nullptr;
        worker_->call = &call;
        // Queued: delivered by the loop below (or by a nested one a handler runs meanwhile).
        // The loop outlives the call: it is left only through this notice.
        worker_->onDone = [&loop, &done] {
            QMetaObject::invokeMethod(
                &loop,
                [&loop, &done] {
                    done = true;
                    loop.quit();
                },
                Qt::QueuedConnection);
        };
    }
    worker_->wake.notify_one();
    while (!done) {
        loop.exec();
    }
    std::exception_ptr failure;
    {
        std::lock_guard lock(worker_->mutex);
        failure = worker_->failure;
        worker_->failure = nullptr;
        worker_->onDone = nullptr;
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}
