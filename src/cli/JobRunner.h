#pragma once

#include "cli/DocumentRecord.h"
#include "cli/TargetNaming.h"
#include "convert/Converter.h"

#include <atomic>
#include <cstddef>
#include <cstdio>
#include <mutex>
#include <string>

namespace corvanel::cli {

class Progress;
class SourceStream;

struct RunSettings {
    TargetRule targets;
    bool update = false;        // skip documents whose text file is not older than they are
    bool collectFacts = false;  // counts and stated properties for the records
    convert::MarginTexts include{};
    convert::OutputKind output = convert::OutputKind::kText;
};

struct RunTotals {
    std::size_t converted = 0;
    std::size_t skipped = 0;  // up to date (--update)
    std::size_t failed = 0;
};

// Where each document's outcome goes: the failure line and the status line, the JSON-lines
// record (written and flushed as soon as the document is done), and the totals.
class RunReport {
public:
    // A record that cannot be written sets `stop`: the run is of no use without its report.
    RunReport(Progress& progress, std::FILE* records, std::atomic<bool>& stop);

    void Started(const std::string& source);
    void Finished(const DocumentRecord& record);
    RunTotals Totals();
    // False once a record could not be written (a full disk, a closed pipe).
    bool RecordsWritten();

private:
    std::mutex mutex_;
    Progress& progress_;
    std::FILE* records_;
    std::atomic<bool>& stop_;
    bool recordsFailed_ = false;
    RunTotals totals_;
};

// Converts the documents of `sources` on `threads` threads, the calling one included, each
// thread taking the next document when it is free. A text file belongs to the first document
// that names it in the run; a later one fails instead of writing over it. Once `stop` is set
// no further document starts; those under way finish, so no temporary file is left behind.
void RunJobs(SourceStream& sources, const RunSettings& settings, unsigned threads,
             RunReport& report, const std::atomic<bool>& stop);

}  // namespace corvanel::cli
