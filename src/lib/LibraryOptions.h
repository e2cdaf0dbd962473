#pragma once

// The caller's option structs read into the converter's options. Each struct starts with its
// own size, so a caller built against an older header passes a shorter one: only the fields it
// knew of are read, the rest keep their defaults.

#include "convert/Converter.h"
#include "corvanel/corvanel.h"
#include "isolation/WorkerProcess.h"

namespace corvanel::library {

// CORVANEL_OK, or why the options cannot be used (an unknown output, one not built in).
int ReadOptions(const corvanel_options* given, convert::ConvertOptions& options);

struct BatchSettings {
    convert::ConvertOptions convert;
    isolation::IsolationLimits limits;
    unsigned jobs = 1;
};
int ReadBatchOptions(const corvanel_batch_options* given, BatchSettings& settings);

// Whether `output` can be produced, and how: the one place that maps an output to the
// converter's options.
int ApplyOutput(int output, convert::ConvertOptions& options);

// Why options with that status cannot be used, for the result's message.
const char* OptionsProblem(int status);

}  // namespace corvanel::library
