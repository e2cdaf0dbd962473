#include "cli/JobRunner.h"

#include "cli/DocumentJob.h"
#include "cli/Progress.h"
#include "cli/SourceStream.h"
#include "cli/TargetClaims.h"
#include "system/ThreadPlacement.h"

#include <algorithm>
#include <functional>
#include <thread>
#include <vector>

namespace corvanel::cli {

RunReport::RunReport(Progress& progress, std::FILE* records, std::atomic<bool>& stop)
    : progress_(progress), records_(records), stop_(stop) {}

void RunReport::Started(const std::string& source) {
    progress_.Started(source);
}

void RunReport::Finished(const DocumentRecord& record) {
    const bool failed = record.status == DocumentRecord::Status::kFailed;
    if (failed) {
        progress_.Failure(record.errorMessage);
    }
    progress_.Finished(failed);
    const std::string line = records_ != nullptr ? EncodeRecord(record) : std::string();
    std::lock_guard lock(mutex_);
    switch (record.status) {
        case DocumentRecord::Status::kConverted:
            ++totals_.converted;
            break;
        case DocumentRecord::Status::kSkipped:
            ++totals_.skipped;
            break;
        case DocumentRecord::Status::kFailed:
            ++totals_.failed;
            break;
    }
    if (records_ != nullptr && !recordsFailed_) {
        recordsFailed_ = std::fwrite(line.data(), 1, line.size(), records_) != line.size() ||
                         std::fflush(records_) != 0;
        if (recordsFailed_) {
            stop_ = true;
        }
    }
}

RunTotals RunReport::Totals() {
    std::lock_guard lock(mutex_);
    return totals_;
}

bool RunReport::RecordsWritten() {
    std::lock_guard lock(mutex_);
    return !recordsFailed_;
}

void RunJobs(SourceStream& sources, const RunSettings& settings, unsigned threads,
             RunReport& report, const std::atomic<bool>& stop) {
    std::mutex sourcesMutex;
    TargetClaims claims;

    // The helpers start when a second document is taken, so a run of one document (a command
    // run once per file) starts no thread; each moves off the processor of the calling thread,
    // which is one of the workers.
    const int callingProcessor = system::CurrentProcessor();
    std::vector<std::thread> pool;
    std::size_t taken = 0;
    std::function<void()> work;
    auto startHelpers = [&] {
        pool.reserve(std::max(threads, 1u) - 1);
        for (unsigned t = 0; t + 1 < threads; ++t) {
            pool.emplace_back([&, t] {
                system::MoveOffProcessor(callingProcessor, t);
                work();
            });
        }
    };
    work = [&] {
        while (true) {
            std::optional<DocumentJob> job;
            {
                // Documents are taken and their text files claimed in list order, so which of
                // two documents keeps a name does not depend on the threads.
                std::lock_guard lock(sourcesMutex);
                while (!job) {
                    std::optional<SourceEntry> entry = sources.Next(stop);
                    if (!entry) {
                        return;
                    }
                    job = PrepareJob(std::move(*entry), settings.targets, claims);
                }
                if (++taken == 2) {
                    startHelpers();
                }
            }
            report.Started(job->source);
            report.Finished(PerformJob(*job, settings));
        }
    };
    work();
    for (std::thread& thread : pool) {
        thread.join();
    }
}

}  // namespace corvanel::cli
