#include "cli/JobRunner.h"

#include "cli/Progress.h"
#include "convert/Converter.h"

#include <atomic>
#include <filesystem>
#include <map>
#include <thread>

namespace corvanel::cli {

namespace {

// Groups job indexes by target, each group in job order, groups in order of first appearance.
std::vector<std::vector<std::size_t>> GroupByTarget(const std::vector<Job>& jobs) {
    std::map<std::string, std::size_t> groupOfTarget;
    std::vector<std::vector<std::size_t>> groups;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        std::error_code ec;
        std::filesystem::path key = std::filesystem::weakly_canonical(jobs[i].target, ec);
        if (ec) {
            key = std::filesystem::absolute(jobs[i].target, ec).lexically_normal();
        }
        const auto [it, added] = groupOfTarget.try_emplace(key.string(), groups.size());
        if (added) {
            groups.emplace_back();
        }
        groups[it->second].push_back(i);
    }
    return groups;
}

}  // namespace

RunTotals RunJobs(const std::vector<Job>& jobs, unsigned threads, Progress& progress,
                  const std::atomic<bool>& stop) {
    const auto groups = GroupByTarget(jobs);
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> converted{0};
    std::atomic<std::size_t> failed{0};
    std::atomic<std::size_t> started{0};

    auto worker = [&] {
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

    const unsigned count =
        static_cast<unsigned>(std::min<std::size_t>(std::max(threads, 1u), groups.size()));
    if (count <= 1) {
        worker();
    } else {
        std::vector<std::thread> pool;
        pool.reserve(count);
        for (unsigned t = 0; t < count; ++t) {
            pool.emplace_back(worker);
        }
        for (std::thread& thread : pool) {
            thread.join();
        }
    }
    return {converted.load(), failed.load(), jobs.size() - started.load()};
}

}  // namespace corvanel::cli
