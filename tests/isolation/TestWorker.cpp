// A worker for the isolation tests: it answers "echo:TEXT" with TEXT, holds "memory:MIB" MiB
// (touched, so resident) before answering, sleeps "sleep:SECONDS" and dies at "crash".

#include "isolation/WorkerProcess.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

int main() {
    std::vector<std::unique_ptr<char[]>> held;
    return corvanel::isolation::ServeRequests(
        [&](const std::string& request) -> std::optional<std::string> {
            const std::size_t colon = request.find(':');
            const std::string verb = request.substr(0, colon);
            const std::string value = colon == std::string::npos ? "" : request.substr(colon + 1);
            if (verb == "echo") {
                return value;
            }
            if (verb == "memory") {
                for (long mib = std::atol(value.c_str()); mib > 0; --mib) {
                    held.push_back(std::make_unique<char[]>(1 << 20));
                    std::memset(held.back().get(), 1, 1 << 20);
                }
                return std::string("held");
            }
            if (verb == "sleep") {
                std::this_thread::sleep_for(std::chrono::seconds(std::atol(value.c_str())));
                return std::string("slept");
            }
            if (verb == "crash") {
                std::abort();
            }
            return std::nullopt;
        });
}
