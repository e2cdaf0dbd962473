#include "cli/DocumentJob.h"

#include "cli/JobRunner.h"
#include "cli/TargetClaims.h"
#include "convert/Converter.h"
#include "isolation/JobWorker.h"
#include "system/FileSystem.h"

#include <chrono>
#include <filesystem>
#include <system_error>

namespace corvanel::cli {

namespace {

namespace fs = std::filesystem;

// True when a file found in a folder would be written over itself (a .txt beside itself).
bool IsOwnTarget(const fs::path& source, const fs::path& target) {
    std::error_code ec;
    return source.filename() == target.filename() &&
           fs::equivalent(source.parent_path().empty() ? "." : source.parent_path(),
                          target.parent_path().empty() ? "." : target.parent_path(), ec);
}

}  // namespace

std::optional<DocumentJob> PrepareJob(SourceEntry entry, const TargetRule& rule,
                                      TargetClaims& claims) {
    DocumentJob job;
    job.source = std::move(entry.path);
    job.bytes = entry.bytes;
    if (!entry.failure.empty()) {
        job.failureCode = convert::ErrorCodeName(convert::ErrorCode::kCannotOpen);
        job.failureMessage = std::move(entry.failure);
        return job;
    }
    const auto target = TargetFor(job.source, rule);
    if (!target) {
        job.failureCode = "no-text-name";
        job.failureMessage =
            job.source + " has no extension (no \".\" in its name), so it has no text file name";
        return job;
    }
    if (entry.foundInFolder &&
        IsOwnTarget(system::PathFromUtf8(job.source), system::PathFromUtf8(*target))) {
        return std::nullopt;
    }
    job.target = *target;
    if (auto earlier = claims.Claim(job.target, job.source)) {
        job.failureCode = "name-taken";
        job.failureMessage = job.source + " was not converted: its text file " + job.target +
                             " belongs to " + *earlier + ", which came first in this run";
    }
    return job;
}

isolation::Job WorkerJob(const DocumentJob& job, const RunSettings& settings) {
    isolation::Job out;
    out.source = job.source;
    out.target = job.target;
    out.options.collectFacts = settings.collectFacts;
    out.options.include = settings.include;
    out.options.output = settings.output;
    out.update = settings.update;
    out.makeFolders = settings.targets.keepTree;
    return out;
}

DocumentRecord RecordOf(const DocumentJob& job, const RunSettings& settings,
                        isolation::JobAnswer&& answer) {
    DocumentRecord record;
    record.source = job.source;
    record.bytes = answer.sourceBytes;
    record.milliseconds = answer.milliseconds;
    record.facts = std::move(answer.outcome.facts);
    if (answer.skipped) {
        record.status = DocumentRecord::Status::kSkipped;
    } else if (answer.outcome.Ok()) {
        record.status = DocumentRecord::Status::kConverted;
        record.output = job.target;
        record.hasText = settings.collectFacts;
    } else {
        record.errorCode = convert::ErrorCodeName(answer.outcome.code);
        record.errorMessage = std::move(answer.outcome.description);
    }
    return record;
}

DocumentRecord PerformJob(const DocumentJob& job, const RunSettings& settings) {
    if (job.failureCode.empty()) {
        return RecordOf(job, settings, isolation::PerformJob(WorkerJob(job, settings)));
    }
    const auto start = std::chrono::steady_clock::now();
    DocumentRecord record;
    record.source = job.source;
    if (const system::FileState source = system::StateOf(job.source);
        source.kind != system::FileKind::kMissing) {
        record.bytes = source.size;
    }
    record.errorCode = job.failureCode;
    record.errorMessage = job.failureMessage;
    record.milliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return record;
}

}  // namespace corvanel::cli
