#include "isolation/WorkerPolicy.h"

namespace corvanel::isolation {

EndVerdict WorkerPolicy::AfterEnd(WorkerEnd end, int attempt, int status,
                                  bool exceededMemory) const {
    using convert::ErrorCode;
    if (end == WorkerEnd::kDied && exceededMemory) {
        end = WorkerEnd::kOutOfMemory;
    }
    switch (end) {
        case WorkerEnd::kTimeout:
            return {false, ErrorCode::kTimeout, TimeoutReason(limits_)};
        case WorkerEnd::kOutOfMemory:
            return {false, ErrorCode::kOutOfMemory, MemoryReason(limits_)};
        case WorkerEnd::kNotStarted:
            return {false, ErrorCode::kInternal, "no worker process can be started"};
        case WorkerEnd::kDied:
            break;
    }
    if (attempt < kAttempts) {
        return {true, ErrorCode::kNone, {}};
    }
    return {false, ErrorCode::kCrashed, CrashReason(status)};
}

}  // namespace corvanel::isolation
