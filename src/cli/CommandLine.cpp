#include "cli/CommandLine.h"

#include "cli/FileWalk.h"
#include "cli/JobRunner.h"
#include "cli/Options.h"
#include "cli/Progress.h"
#include "convert/core/OutputNaming.h"

#include <atomic>
#include <csignal>
#include <filesystem>
#include <system_error>
#include <thread>

#ifndef _WIN32
#include <unistd.h>
#endif

#ifndef CORVANEL_VERSION
#define CORVANEL_VERSION "unknown"
#endif

namespace corvanel::cli {

namespace {

namespace fs = std::filesystem;

std::atomic<bool> stopRequested{false};

// The first interrupt lets the documents under way finish; a second one ends the program.
extern "C" void RequestStop(int signal) {
    stopRequested = true;
    std::signal(signal, SIG_DFL);
}

int UsageError(std::FILE* err, const std::string& message) {
    std::fprintf(err, "corvanel-convert: %s\nTry 'corvanel-convert --help' for more information.\n",
                 message.c_str());
    return 2;
}

bool IsTerminal(std::FILE* stream) {
#ifndef _WIN32
    return isatty(fileno(stream)) != 0;
#else
    (void)stream;
    return false;
#endif
}

// True when a file found in a folder would be written over itself (a .txt beside itself).
bool IsOwnTarget(const fs::path& source, const fs::path& target) {
    std::error_code ec;
    return source.filename() == target.filename() &&
           fs::equivalent(source.parent_path().empty() ? "." : source.parent_path(),
                          target.parent_path().empty() ? "." : target.parent_path(), ec);
}

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
        std::error_code ec;
        if (fs::exists(options.outputFolder, ec) && !fs::is_directory(options.outputFolder, ec)) {
            return UsageError(err, "the output folder " + options.outputFolder + " is a file");
        }
        fs::create_directories(options.outputFolder, ec);
        if (ec) {
            return UsageError(err, "the output folder " + options.outputFolder +
                                       " cannot be created: " + ec.message());
        }
    }

    WalkResult walk = CollectFiles(options.inputs);
    std::vector<Job> jobs;
    std::vector<std::string> failures = std::move(walk.failures);
    for (const SourceEntry& entry : walk.files) {
        const fs::path source(entry.path);
        const auto textName = convert::TextFileNameFor(source.filename().string());
        if (!textName) {
            failures.push_back(
                entry.path +
                " has no extension (no \".\" in its name), so it has no text file name");
            continue;
        }
        const fs::path folder =
            options.outputFolder.empty() ? source.parent_path() : fs::path(options.outputFolder);
        const fs::path target = folder / *textName;
        if (entry.foundInFolder && IsOwnTarget(source, target)) {
            continue;
        }
        jobs.push_back({entry.path, target.string(), entry.size});
    }

    Progress progress(err, IsTerminal(err), jobs.size());
    for (const std::string& failure : failures) {
        progress.Failure(failure);
    }
    unsigned threads = options.jobs;
    if (threads == 0) {
        threads = std::max(1u, std::thread::hardware_concurrency());
    }
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
    const RunTotals totals = RunJobs(jobs, threads, progress, stopRequested);
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    progress.Clear();
    const std::size_t failed = totals.failed + failures.size();
    if (totals.skipped > 0) {
        std::fprintf(err, "corvanel-convert: interrupted, %zu not converted\n", totals.skipped);
    }
    std::fprintf(out, "%zu converted, %zu failed\n", totals.converted, failed);
    if (totals.skipped > 0) {
        return 130;
    }
    return failed == 0 ? 0 : 1;
}

}  // namespace corvanel::cli
