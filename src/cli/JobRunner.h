#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

namespace corvanel::cli {

class Progress;

struct Job {
    std::string source;
    std::string target;
};

struct RunTotals {
    std::size_t converted = 0;
    std::size_t failed = 0;
    std::size_t skipped = 0;  // not started because the run was stopped
};

// Converts the jobs on `threads` threads. Jobs that write the same text file run one after the
// other in their given order on one thread, so the last of them decides the file's content and
// no two threads ever write it at once. Once `stop` is set, no further job starts; those under
// way finish, so no temporary file is left behind.
RunTotals RunJobs(const std::vector<Job>& jobs, unsigned threads, Progress& progress,
                  const std::atomic<bool>& stop);

}  // namespace corvanel::cli
