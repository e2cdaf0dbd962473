#include "isolation/JobWorker.h"

#include "isolation/WorkerProcess.h"
#include "system/FileSystem.h"

#include <chrono>
#include <filesystem>
#include <system_error>

namespace corvanel::isolation {

namespace {

namespace fs = std::filesystem;

// Creates the folder of a text file. Consecutive documents mostly share their folder, so each
// thread remembers the last one it made.
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

convert::ConversionResult Convert(Job& job, std::string& text) {
    if (!job.target.empty() && !job.document) {
        return convert::ConvertFile(job.source, job.target, job.options);
    }
    const auto read = [&](convert::DocumentSink& sink) {
        if (job.document) {
            return convert::ReadDocumentBytes(job.source, std::move(*job.document), sink);
        }
        return convert::ReadDocument(job.source, sink);
    };
    convert::ConversionResult result = convert::StreamText(
        read, [&](std::string_view piece) { text.append(piece); }, job.options);
    if (result.Ok() && !job.target.empty()) {
        convert::ConversionResult written = convert::WriteTextFile(job.target, text);
        written.facts = std::move(result.facts);
        written.sourceBytes = result.sourceBytes;
        result = std::move(written);
        text.clear();
    }
    return result;
}

}  // namespace

JobAnswer PerformJob(Job job) {
    const auto start = std::chrono::steady_clock::now();
    JobAnswer answer;
    auto finish = [&] {
        answer.milliseconds =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        return std::move(answer);
    };
    // The conversion tells the size of the document it opened; the file is looked up only
    // where it was not opened, or where an update needs its time.
    system::FileState source;
    auto lookUpSource = [&] {
        if (source = system::StateOf(job.source); source.kind != system::FileKind::kMissing) {
            answer.sourceBytes = source.size;
        }
    };
    if (job.document) {
        answer.sourceBytes = job.document->size();
    } else if (job.update && !job.target.empty()) {
        lookUpSource();
    }
    if (job.update && !job.target.empty() && answer.sourceBytes && !job.document) {
        const system::FileState target = system::StateOf(job.target);
        if (target.kind != system::FileKind::kMissing && target.modified >= source.modified) {
            answer.skipped = true;
            return finish();
        }
    }
    if (job.makeFolders) {
        if (std::string failure = MakeParentFolder(job.target); !failure.empty()) {
            if (!answer.sourceBytes) {
                lookUpSource();
            }
            answer.outcome.code = convert::ErrorCode::kCannotWrite;
            answer.outcome.description = job.target + " cannot be written: " + failure;
            return finish();
        }
    }
    answer.outcome = Convert(job, answer.text);
    if (answer.outcome.sourceBytes && !job.document) {
        answer.sourceBytes = answer.outcome.sourceBytes;
    } else if (!answer.sourceBytes) {
        lookUpSource();
    }
    if (!answer.outcome.Ok()) {
        answer.text.clear();  // the part written before the failure
    }
    return finish();
}

int ServeJobs() {
    return ServeRequests([](const std::string& frame) -> std::optional<std::string> {
        Job job;
        if (!DecodeJob(frame, job)) {
            return std::nullopt;
        }
        return EncodeAnswer(PerformJob(std::move(job)));
    });
}

}  // namespace corvanel::isolation
