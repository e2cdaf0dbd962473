#pragma once

#include <functional>
#include <memory>

// Runs one call at a time on a worker thread while the calling thread keeps its event loop
// turning, so the window stays responsive during a long conversion. The caller still waits for
// the call's end: events run meanwhile, but the caller's own sequence does not move on.
class BackgroundCall {
public:
    BackgroundCall();
    ~BackgroundCall();
    BackgroundCall(const BackgroundCall&) = delete;
    BackgroundCall& operator=(const BackgroundCall&) = delete;

    // Returns when `call` has finished; rethrows its exception on the calling thread.
    void Run(const std::function<void()>& call);

private:
    struct Worker;
    std::unique_ptr<Worker> worker_;
};
