#include "cli/DocumentJob.h"

#include "cli/JobRunner.h"
#include "cli/TargetClaims.h"
#include "convert/Converter.h"
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

// Creates the folders of a mirrored target. Consecutive documents mostly share their folder,
// so each thread remembers the last one it made.
std::string MakeParentFolder(const std::string& target) {
    thread_local fs::path::string_type lastMade;
    const fs::path folder = system::PathFromUtf8(target).parent_path();
    if (folder.empty() || folder.native() == lastMade) {
        return {};
    }
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        return "the folder " + system::Utf8FromPath(folder) + " cannot be made: " + ec.message();
    }
    lastMade = folder.native();
    return {};
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

DocumentRecord PerformJob(const DocumentJob& job, const RunSettings& settings) {
    const auto start = std::chrono::steady_clock::now();
    DocumentRecord record;
    record.source = job.source;
    // The conversion tells the size of the source it opened; the file is looked up only where
    // it was not opened, or where --update needs its time.
    auto lookUpSource = [&] {
        const system::FileState source = system::StateOf(job.source);
        if (source.kind != system::FileKind::kMissing) {
            record.bytes = source.size;
        }
        return source;
    };
    auto finish = [&] {
        record.milliseconds =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        return record;
    };
    if (!job.failureCode.empty()) {
        lookUpSource();
        record.errorCode = job.failureCode;
        record.errorMessage = job.failureMessage;
        return finish();
    }
    if (const system::FileState source = settings.update ? lookUpSource() : system::FileState();
        source.kind != system::FileKind::kMissing) {
        const system::FileState target = system::StateOf(job.target);
        if (target.kind != system::FileKind::kMissing && target.modified >= source.modified) {
            record.status = DocumentRecord::Status::kSkipped;
            return finish();
        }
    }
    if (settings.targets.keepTree) {
        if (std::string failure = MakeParentFolder(job.target); !failure.empty()) {
            lookUpSource();
            record.errorCode = convert::ErrorCodeName(convert::ErrorCode::kCannotWrite);
            record.errorMessage = job.target + " cannot be written: " + failure;
            return finish();
        }
    }
    convert::ConvertOptions options;
    options.collectFacts = settings.collectFacts;
    options.include = settings.include;
    options.output = settings.output;
    convert::ConversionResult result = convert::ConvertFile(job.source, job.target, options);
    record.facts = std::move(result.facts);
    if (result.sourceBytes) {
        record.bytes = result.sourceBytes;
    } else if (!record.bytes) {
        lookUpSource();
    }
    if (result.Ok()) {
        record.status = DocumentRecord::Status::kConverted;
        record.output = job.target;
        record.hasText = settings.collectFacts;
    } else {
        record.errorCode = convert::ErrorCodeName(result.code);
        record.errorMessage = std::move(result.description);
    }
    return finish();
}

}  // namespace corvanel::cli
