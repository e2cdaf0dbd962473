// Fuzz target: a frame from another process read as a job and as a worker's answer. Whatever
// reads as one is written back to the same bytes (a frame means one thing only).
#include "isolation/JobCodec.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace corvanel::isolation;
    const std::string frame(reinterpret_cast<const char*>(data), size);
    Job job;
    if (DecodeJob(frame, job) && EncodeJob(job) != frame) {
        std::abort();
    }
    JobAnswer answer;
    if (DecodeAnswer(frame, answer) && EncodeAnswer(answer) != frame) {
        std::abort();
    }
    return 0;
}
