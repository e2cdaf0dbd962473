#pragma once

#include "cli/JobRunner.h"
#include "isolation/WorkerProcess.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace corvanel::cli {

class SourceStream;

// Converts the documents of `sources` in `workers` long-lived worker processes (this program
// started again with isolation::kWorkerArgument), so a document that hangs, exhausts memory or
// crashes its reader costs only itself: past the time or memory limit its worker is killed and
// replaced and the document fails ("timeout", "out-of-memory"); a worker that dies has its document
// retried once in a fresh one, and a second death fails it ("crashed"). A killed worker's temporary
// file is removed. Every document gets one record, in `report`.
void RunIsolated(SourceStream& sources, const RunSettings& settings, unsigned workers,
                 const isolation::IsolationLimits& limits, RunReport& report,
                 const std::atomic<bool>& stop);

}  // namespace corvanel::cli
