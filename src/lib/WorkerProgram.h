#pragma once

// Where the batches' worker program is: in the library's own folder's corvanel/ (its installed
// place) or beside the library (the build tree); CORVANEL_WORKER names it instead when set.

#include <optional>
#include <string>

namespace corvanel::library {

inline constexpr const char* kWorkerName = "corvanel-worker";
inline constexpr const char* kServeArgument = "--serve";

// Looked up once per process.
const std::optional<std::string>& WorkerProgram();

}  // namespace corvanel::library
