#pragma once

// The server's counters, in Prometheus' text format for GET /metrics.

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <utility>

namespace corvanel::server {

class Metrics {
public:
    void CountRequest(const std::string& endpoint, int status);
    void CountConversion(double seconds);
    void CountBytesReceived(std::uint64_t bytes) { bytesReceived_ += bytes; }

    // The gauges are read when the text is made.
    struct Gauges {
        std::size_t queued = 0;
        std::size_t busyWorkers = 0;
        std::size_t workers = 0;
        std::uint64_t workerRestarts = 0;
        std::size_t connections = 0;
    };
    std::string Text(const Gauges& gauges) const;

private:
    // Upper bounds of the conversion-time buckets, in seconds.
    static constexpr std::array<double, 12> kBuckets = {0.001, 0.0025, 0.005, 0.01, 0.025, 0.05,
                                                        0.1,   0.25,   0.5,   1,    2.5,   10};

    mutable std::mutex mutex_;
    std::map<std::pair<std::string, int>, std::uint64_t> requests_;
    std::array<std::uint64_t, kBuckets.size()> buckets_{};
    std::uint64_t conversions_ = 0;
    double conversionSeconds_ = 0;
    std::atomic<std::uint64_t> bytesReceived_{0};
};

}  // namespace corvanel::server
