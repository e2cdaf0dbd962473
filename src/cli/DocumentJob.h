#pragma once

#include "cli/DocumentRecord.h"
#include "cli/SourceStream.h"
#include "cli/TargetNaming.h"
#include "isolation/JobCodec.h"

#include <cstdint>
#include <optional>
#include <string>

namespace corvanel::cli {

class TargetClaims;
struct RunSettings;

// One document of a run, its text file named and claimed.
struct DocumentJob {
    std::string source;
    std::string target;
    // Set when the document fails before it is read (no text file name, the name taken...).
    std::string failureCode;
    std::string failureMessage;
    // The source's size where the run looked it up (to spread the work), else 0.
    std::uint64_t bytes = 0;
};

// Names and claims the text file of a document; nothing for a file found in a folder that
// would be written over itself (a .txt beside itself is not a document of the run).
std::optional<DocumentJob> PrepareJob(SourceEntry entry, const TargetRule& rule,
                                      TargetClaims& claims);

// The job a worker is sent for a document that has not failed already, and its record made of
// the worker's answer.
isolation::Job WorkerJob(const DocumentJob& job, const RunSettings& settings);
DocumentRecord RecordOf(const DocumentJob& job, const RunSettings& settings,
                        isolation::JobAnswer&& answer);

// Converts the document in process (or skips it when its text file is up to date and `update`
// is set), as a worker would.
DocumentRecord PerformJob(const DocumentJob& job, const RunSettings& settings);

}  // namespace corvanel::cli
