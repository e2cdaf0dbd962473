#include "cli/JobRunner.h"

#include "cli/JobSchedule.h"
#include "cli/Progress.h"
#include "cli/ThreadPlacement.h"
#include "convert/Converter.h"

#include <algorithm>
#include <atomic>
#include <latch>
#include <thread>

namespace corvanel::cli {

RunTotals RunJobs(const std::vector<Job>& jobs, unsigned threads, Progress& progress,
                  const std::atomic<bool>& stop) {
    threads = std::max(threads, 1u);
    std::vector<std::vector<std::size_t>> groups;
    std::latch planned(1);
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> converted{0};
    std::atomic<std::size_t> failed{0};
    std::atomic<std::size_t> started{0};

    auto convertGroups = [&] {
        for (std::size_t g = next++; g < groups.size(); g = next++) {
            for (const std::size_t index : groups[g]) {
                if (stop) {
                    return;
                }
                ++started;
                const Job& job = jobs[index];
                progress.Started(job.source);
                const convert::ConversionResult result =
                    convert::ConvertFile(job.source, job.target);
                if (result.Ok()) {
                    ++converted;
                } else {
                    ++failed;
                    progress.Failure(result.description);
                }
                progress.Finished();
            }
        }
    };

    // The helpers start while the plan is made, then each moves off the processor of the
    // calling thread, which is one of the workers.
    const int callingProcessor = CurrentProcessor();
    const std::size_t helpers = std::clamp<std::size_t>(jobs.size(), 1, threads) - 1;
    std::vector<std::thread> pool;
    pool.reserve(helpers);
    for (std::size_t t = 0; t < helpers; ++t) {
        pool.emplace_back([&, t] {
            planned.wait();
            MoveOffProcessor(callingProcessor, static_cast<unsigned>(t));
            convertGroups();
        });
    }
    groups = PlanJobs(jobs, threads > 1);
    planned.count_down();
    convertGroups();
    for (std::thread& thread : pool) {
        thread.join();
    }
    return {converted.load(), failed.load(), jobs.size() - started.load()};
}

}  // namespace corvanel::cli
