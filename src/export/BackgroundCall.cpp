#include "export/BackgroundCall.h"

#include <QEventLoop>

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace {

// A call that ends within this time returns without the event loop's round trip; the window
// is unresponsive for no longer than this.
constexpr auto kQuietWait = std::chrono::milliseconds(5);

}  // namespace

// One long-lived thread that takes one call at a time: starting a thread per document would add
// its cost to every conversion.
struct BackgroundCall::Worker {
    std::mutex mutex;
    std::condition_variable wake;                 // the worker waits for a call
    std::condition_variable finished;             // the caller waits for the end of a short call
    const std::function<void()>* call = nullptr;  // the call to run, or none
    bool running = false;                         // from Run's start to its return
    bool done = false;                            // the current call has ended
    QEventLoop* waitingLoop = nullptr;            // the caller's loop, once it waits in one
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
            done = true;
            finished.notify_one();
            if (waitingLoop != nullptr) {
                // Queued to the loop object: dropped by Qt if the loop is gone by then.
                QMetaObject::invokeMethod(waitingLoop, &QEventLoop::quit, Qt::QueuedConnection);
            }
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
    std::unique_lock lock(worker_->mutex);
    // A handler that ran during the wait must not start a second call over the first.
    if (worker_->running) {
        throw std::logic_error("BackgroundCall::Run: a call is already running");
    }
    worker_->running = true;
    worker_->done = false;
    worker_->failure = nullptr;
    worker_->call = &call;
    worker_->wake.notify_one();

    if (!worker_->finished.wait_for(lock, kQuietWait, [&] { return worker_->done; })) {
        // A long call: keep the window's events turning until it ends.
        QEventLoop loop;
        worker_->waitingLoop = &loop;
        while (!worker_->done) {
            lock.unlock();
            loop.exec();
            lock.lock();
        }
        worker_->waitingLoop = nullptr;
    }
    worker_->running = false;
    const std::exception_ptr failure = worker_->failure;
    worker_->failure = nullptr;
    lock.unlock();
    if (failure) {
        std::rethrow_exception(failure);
    }
}
