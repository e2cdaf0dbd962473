#pragma once

// The messages between corvanel-convert and its worker processes: a job out, a record back,
// each a length-prefixed frame of length-prefixed fields, so any byte may stand in a path.

#include "cli/DocumentJob.h"
#include "cli/DocumentRecord.h"

#include <optional>
#include <string>

namespace corvanel::cli {

struct RunSettings;

std::string EncodeJob(const DocumentJob& job, const RunSettings& settings);
bool DecodeJob(const std::string& frame, DocumentJob& job, RunSettings& settings);

std::string EncodeRecordFrame(const DocumentRecord& record);
bool DecodeRecordFrame(const std::string& frame, DocumentRecord& record);

// Writes a whole frame; false when the other end is gone.
bool WriteFrame(int descriptor, const std::string& frame);
// Reads a whole frame; nothing at the end of the stream or on a damaged frame.
std::optional<std::string> ReadFrame(int descriptor);

}  // namespace corvanel::cli
