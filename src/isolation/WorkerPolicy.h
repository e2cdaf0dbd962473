#pragma once

// What becomes of a document whose worker did not answer it, and when a worker is replaced:
// one policy for every program that converts in workers.

#include "convert/core/ErrorCode.h"
#include "isolation/WorkerProcess.h"

#include <cstddef>
#include <string>

namespace corvanel::isolation {

// How a worker stopped working on a document.
enum class WorkerEnd {
    kTimeout,      // killed past the time limit
    kOutOfMemory,  // killed past the memory limit
    kDied,         // found dead, or its answer could not be read
    kNotStarted,   // no worker process could be started
};

// The document is tried once more in a fresh worker, or fails with `code` for `reason` (words
// that follow "could not be converted: ").
struct EndVerdict {
    bool retry = false;
    convert::ErrorCode code = convert::ErrorCode::kNone;
    std::string reason;
};

class WorkerPolicy {
public:
    explicit WorkerPolicy(const IsolationLimits& limits) : limits_(limits) {}

    // Whether a worker that was given `given` documents is given one more; else it is ended at
    // the end of its input and a fresh one takes the next.
    bool TakesMore(std::size_t given) const { return given < limits_.maxPerWorker; }

    // After the `attempt`th try (1 the first) ended so. `status` is how the worker ended, as
    // WorkerProcess::Stop told; `exceededMemory` whether the system refused it memory (a death
    // then counts as the memory limit). A death may be the worker's rather than the document's,
    // so the first one is tried again; a time or memory limit is the document's own.
    EndVerdict AfterEnd(WorkerEnd end, int attempt, int status, bool exceededMemory) const;

    const IsolationLimits& Limits() const { return limits_; }

    static constexpr int kAttempts = 2;

private:
    IsolationLimits limits_;
};

}  // namespace corvanel::isolation
