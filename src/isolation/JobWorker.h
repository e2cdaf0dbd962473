#pragma once

// The conversion a worker does for a job, and a worker's life: jobs in, answers out. The same
// conversion runs in process where a program converts without workers.

#include "isolation/JobCodec.h"

namespace corvanel::isolation {

// The argument that starts a program as its own conversion worker.
inline constexpr const char* kWorkerArgument = "--internal-worker";

// Converts the job's document (from its path or its bytes) into its text file, or into the
// answer's text when it has none. Never throws.
JobAnswer PerformJob(Job job);

// Serves jobs on standard input until its end, answering each on standard output. Returns the
// exit status (ServeRequests).
int ServeJobs();

}  // namespace corvanel::isolation
