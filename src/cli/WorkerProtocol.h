#pragma once

// The messages between corvanel-convert and its worker processes: a job out, a record back.

#include "cli/DocumentJob.h"
#include "cli/DocumentRecord.h"

#include <string>

namespace corvanel::cli {

struct RunSettings;

std::string EncodeJob(const DocumentJob& job, const RunSettings& settings);
bool DecodeJob(const std::string& frame, DocumentJob& job, RunSettings& settings);

std::string EncodeRecordFrame(const DocumentRecord& record);
bool DecodeRecordFrame(const std::string& frame, DocumentRecord& record);

}  // namespace corvanel::cli
