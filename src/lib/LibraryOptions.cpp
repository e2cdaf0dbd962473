#include "lib/LibraryOptions.h"

#include <algorithm>
#include <cstring>
#include <thread>

namespace corvanel::library {

namespace {

// Copies what the caller's struct holds of ours over the defaults in `into`.
template <typename Struct>
bool ReadSized(const Struct* given, Struct& into) {
    if (given == nullptr) {
        return true;
    }
    if (given->size < sizeof given->size) {
        return false;
    }
    std::memcpy(&into, given, std::min(given->size, sizeof into));
    into.size = sizeof into;
    return true;
}

convert::MarginTexts IncludeFrom(unsigned include) {
    return {(include & CORVANEL_INCLUDE_HEADERS) != 0, (include & CORVANEL_INCLUDE_FOOTERS) != 0,
            (include & CORVANEL_INCLUDE_COMMENTS) != 0};
}

constexpr unsigned kKnownIncludes =
    CORVANEL_INCLUDE_HEADERS | CORVANEL_INCLUDE_FOOTERS | CORVANEL_INCLUDE_COMMENTS;

int ReadCommon(int output, unsigned include, const char* newline,
               convert::ConvertOptions& options) {
    if ((include & ~kKnownIncludes) != 0) {
        return CORVANEL_INVALID_ARGUMENT;
    }
    options.include = IncludeFrom(include);
    options.newline = newline != nullptr ? newline : "\n";
    options.collectFacts = true;
    return ApplyOutput(output, options);
}

}  // namespace

int ApplyOutput(int output, convert::ConvertOptions& options) {
    switch (output) {
        case CORVANEL_OUTPUT_TEXT:
            options.output = convert::OutputKind::kText;
            return CORVANEL_OK;
        case CORVANEL_OUTPUT_MARKDOWN:
            options.output = convert::OutputKind::kMarkdown;
            return CORVANEL_OK;
        default:
            return CORVANEL_INVALID_ARGUMENT;
    }
}

const char* OptionsProblem(int status) {
    return status == CORVANEL_UNSUPPORTED_OUTPUT
               ? "Markdown output is not available in this version of the library"
               : "the options are not valid (an unknown output, inclusion or struct size)";
}

int ReadOptions(const corvanel_options* given, convert::ConvertOptions& options) {
    corvanel_options read;
    corvanel_options_init(&read);
    if (!ReadSized(given, read)) {
        return CORVANEL_INVALID_ARGUMENT;
    }
    return ReadCommon(read.output, read.include, read.newline, options);
}

int ReadBatchOptions(const corvanel_batch_options* given, BatchSettings& settings) {
    corvanel_batch_options read;
    corvanel_batch_options_init(&read);
    if (!ReadSized(given, read) || !(read.timeout_seconds >= 0) ||
        read.max_memory_mib > (UINT64_MAX >> 20)) {
        return CORVANEL_INVALID_ARGUMENT;
    }
    if (read.timeout_seconds > 0) {
        settings.limits.timeoutSeconds = read.timeout_seconds;
    }
    if (read.max_memory_mib > 0) {
        settings.limits.maxMemoryBytes = read.max_memory_mib << 20;
    }
    if (read.max_per_worker > 0) {
        settings.limits.maxPerWorker = static_cast<std::size_t>(read.max_per_worker);
    }
    settings.jobs = read.jobs > 0 ? read.jobs : std::max(1u, std::thread::hardware_concurrency());
    return ReadCommon(read.output, read.include, read.newline, settings.convert);
}

}  // namespace corvanel::library

extern "C" {

void corvanel_options_init(corvanel_options* options) {
    if (options != nullptr) {
        *options = corvanel_options{sizeof *options, CORVANEL_OUTPUT_TEXT, 0, nullptr};
    }
}

void corvanel_batch_options_init(corvanel_batch_options* options) {
    if (options != nullptr) {
        *options =
            corvanel_batch_options{sizeof *options, CORVANEL_OUTPUT_TEXT, 0, nullptr, 0, 0, 0, 0};
    }
}

}  // extern "C"
