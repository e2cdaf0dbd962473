#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace corvanel::cli {

class Progress;

struct Job {
    std::string source;
    std::string target;
    std::uintmax_t size = 0;  // bytes in the source, to start the longest jobs first
};

struct RunTotals {
    std::size_t converted = 0;
    std::size_t failed = 0;
    std::size_t skipped = 0;  // not started because the run was stopped
};

// Converts the jobs on `threads` threads, the calling one included. Jobs that write the same text
// file run one after the other in their given order on one thread, so the last of them decides
// the file's content and no two threads ever write it at once. On one thread the jobs run in
// their given order; on several, the largest sources start first and each thread takes the next
// job when it is free, so the threads end close together. Once `stop` is set, no further job
// starts; those under way finish, so no temporary file is left behind.
RunTotals RunJobs(const std::vector<Job>& jobs, unsigned threads, Progress& progress,
                  const std::atomic<bool>& stop);

}  // namespace corvanel::cli
