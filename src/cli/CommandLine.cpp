#include "cli/CommandLine.h"

#include "cli/Console.h"
#include "cli/JobRunner.h"
#include "cli/CommandOptions.h"
#include "cli/Progress.h"
#include "cli/SourceStream.h"
#include "cli/StdoutConversion.h"
#include "cli/Supervisor.h"
#include "system/FileSystem.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <thread>

#ifndef CORVANEL_VERSION
#define CORVANEL_VERSION "unknown"
#endif

namespace corvanel::cli {

namespace {

namespace fs = std::filesystem;

std::atomic<bool> stopRequested{false};

int UsageError(std::FILE* err, const std::string& message) {
    std::fprintf(err, "corvanel-convert: %s\nTry 'corvanel-convert --help' for more information.\n",
                 message.c_str());
    return 2;
}

// The output folder, made when missing; the reason when it cannot be.
std::string PrepareOutputFolder(const std::string& folder) {
    std::error_code ec;
    const fs::path path = system::PathFromUtf8(folder);
    if (fs::exists(path, ec) && !fs::is_directory(path, ec)) {
        return "the output folder " + folder + " is a file";
    }
    fs::create_directories(path, ec);
    if (ec) {
        return "the output folder " + folder + " cannot be created: " + ec.message();
    }
    return {};
}

// Where the records go: nothing, standard output, or a file (replaced).
class RecordFile {
public:
    RecordFile(const std::string& path, std::FILE* out) {
        if (path == "-") {
            file_ = out;
        } else if (!path.empty()) {
            file_ = system::OpenFile(path, "wb");
            owned_ = file_ != nullptr;
            if (file_ == nullptr) {
                error_ = "the record file " + path + " cannot be written: " + std::strerror(errno);
            }
        }
    }
    ~RecordFile() {
        if (owned_) {
            std::fclose(file_);
        }
    }
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    std::FILE* Get() const { return file_; }
    const std::string& Error() const { return error_; }

private:
    std::FILE* file_ = nullptr;
    bool owned_ = false;
    std::string error_;
};

}  // namespace

int RunCommandLine(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err) {
    const ParseResult parsed = ParseOptions(arguments);
    if (!parsed.options) {
        return UsageError(err, parsed.error);
    }
    const Options& options = *parsed.options;
    if (options.help) {
        std::fputs(UsageText().c_str(), out);
        return 0;
    }
    if (options.version) {
        std::fprintf(out, "corvanel-convert %s\n", CORVANEL_VERSION);
        return 0;
    }
    if (!options.outputFolder.empty()) {
        if (std::string error = PrepareOutputFolder(options.outputFolder); !error.empty()) {
            return UsageError(err, error);
        }
    }
    RecordFile records(options.jsonlPath, out);
    if (!records.Error().empty()) {
        return UsageError(err, records.Error());
    }
    InterruptScope interrupts(stopRequested);
    stopRequested = false;

    const bool textToStdout = options.toStdout || options.inputs[0].value == "-";
    if (textToStdout && options.inputs[0].kind == Input::Kind::kPath) {
        return ConvertToStdout(options.inputs[0].value, options.include, options.output, out, err,
                               records.Get());
    }

    RunSettings settings;
    settings.targets = {options.outputFolder, options.keepTree,
                        options.output == convert::OutputKind::kMarkdown ? "md" : "txt"};
    settings.output = options.output;
    settings.update = options.update;
    settings.collectFacts = records.Get() != nullptr;
    settings.include = options.include;
    unsigned threads = options.jobs;
    if (threads == 0) {
        threads = std::max(1u, std::thread::hardware_concurrency());
    }
    SourceStream sources(options.inputs, options.nullSeparated);
    Progress progress(err, IsTerminal(err));
    RunReport report(progress, records.Get(), stopRequested);
    // One named document (a command run once per file) is converted here: a worker process
    // would cost more than the document, and there is no run to protect.
    const bool oneDocument = options.inputs.size() == 1 &&
                             options.inputs[0].kind == Input::Kind::kPath &&
                             !IsFolder(options.inputs[0].value);
    if (options.inProcess || oneDocument) {
        RunJobs(sources, settings, threads, report, stopRequested);
    } else {
        isolation::IsolationLimits limits;
        limits.timeoutSeconds = options.timeoutSeconds;
        limits.maxMemoryBytes = static_cast<std::uint64_t>(options.maxMemoryMiB) << 20;
        limits.maxPerWorker = options.maxPerWorker;
        RunIsolated(sources, settings, threads, limits, report, stopRequested);
    }
    progress.Clear();

    const RunTotals totals = report.Totals();
    const bool recordsLost = !report.RecordsWritten();
    if (recordsLost) {
        std::fprintf(err, "corvanel-convert: the records cannot be written; the run was stopped\n");
    } else if (stopRequested) {
        std::fprintf(err,
                     "corvanel-convert: interrupted; the documents not yet begun were not "
                     "converted\n");
    }
    // The summary goes where the records do not.
    std::FILE* summary = options.jsonlPath == "-" ? err : out;
    if (options.update) {
        std::fprintf(summary, "%zu converted, %zu skipped, %zu failed\n", totals.converted,
                     totals.skipped, totals.failed);
    } else {
        std::fprintf(summary, "%zu converted, %zu failed\n", totals.converted, totals.failed);
    }
    if (recordsLost) {
        return 1;
    }
    if (stopRequested) {
        return 130;
    }
    return totals.failed == 0 ? 0 : 1;
}

}  // namespace corvanel::cli
