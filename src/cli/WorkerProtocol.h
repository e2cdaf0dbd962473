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
// Frames read through a buffer: one read takes in whatever has arrived, so a burst of frames
// costs one system call.
class FrameReader {
public:
    explicit FrameReader(int descriptor = -1) : descriptor_(descriptor) {}

    // Waits for bytes and takes in what has arrived; false at the end of the stream.
    bool Fill();
    // The next complete frame taken in, if any; sets `damaged` for one that cannot be.
    std::optional<std::string> Take(bool& damaged);
    // The next frame, waiting as long as it takes; nothing at the end or on a damaged frame.
    std::optional<std::string> Next();

private:
    int descriptor_;
    std::string buffer_;
    std::size_t start_ = 0;
};

}  // namespace corvanel::cli
