#pragma once

// The window's conversions run in a worker process: this program started again with
// kConversionWorkerArgument, reading requests (a source and a target) on its standard input and
// answering each with the outcome's number and description.

#include <cstdint>
#include <string>

inline constexpr const char* kConversionWorkerArgument = "--internal-worker";

struct ConversionAnswer {
    std::uint64_t number = 0;
    std::string description;
};

std::string EncodeConversionRequest(const std::string& source, const std::string& target);
bool DecodeConversionAnswer(const std::string& frame, ConversionAnswer& answer);

// The worker's life, until the end of its input. Returns the exit status.
int RunConversionWorker();
