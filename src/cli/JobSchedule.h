#pragma once

#include "cli/JobRunner.h"

#include <cstddef>
#include <vector>

namespace corvanel::cli {

// Groups the jobs by the text file they write, however its path is spelled: a group's jobs keep
// their given order. With `largestFirst`, groups with the most source bytes come first, so that
// on several threads a long document is not left to start last while the other threads run
// out of work; groups of equal size keep their given order. Without it, groups come in the order
// of their first job.
std::vector<std::vector<std::size_t>> PlanJobs(const std::vector<Job>& jobs, bool largestFirst);

}  // namespace corvanel::cli
