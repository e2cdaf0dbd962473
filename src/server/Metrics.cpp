#include "server/Metrics.h"

#include <cstdio>

namespace corvanel::server {

namespace {

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

void Family(std::string& out, const char* name, const char* type, const char* help) {
    out += "# HELP ";
    out += name;
    out += ' ';
    out += help;
    out += "\n# TYPE ";
    out += name;
    out += ' ';
    out += type;
    out += '\n';
}

void Gauge(std::string& out, const char* name, const char* help, double value) {
    Family(out, name, "gauge", help);
    out += name;
    out += ' ' + Number(value) + '\n';
}

}  // namespace

void Metrics::CountRequest(const std::string& endpoint, int status) {
    std::lock_guard lock(mutex_);
    ++requests_[{endpoint, status}];
}

void Metrics::CountConversion(double seconds) {
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < kBuckets.size(); ++i) {
        if (seconds <= kBuckets[i]) {
            ++buckets_[i];
        }
    }
    ++conversions_;
    conversionSeconds_ += seconds;
}

std::string Metrics::Text(const Gauges& gauges) const {
    std::lock_guard lock(mutex_);
    std::string out;
    Family(out, "corvanel_requests_total", "counter", "Requests answered, by endpoint and status.");
    for (const auto& [key, count] : requests_) {
        // Endpoint labels are the server's own paths, never a request's.
        out += "corvanel_requests_total{endpoint=\"" + key.first + "\",status=\"" +
               std::to_string(key.second) + "\"} " + std::to_string(count) + '\n';
    }
    Family(out, "corvanel_conversion_seconds", "histogram",
           "Time a worker took per document converted.");
    for (std::size_t i = 0; i < kBuckets.size(); ++i) {
        out += "corvanel_conversion_seconds_bucket{le=\"" + Number(kBuckets[i]) + "\"} " +
               std::to_string(buckets_[i]) + '\n';
    }
    out += "corvanel_conversion_seconds_bucket{le=\"+Inf\"} " + std::to_string(conversions_) + '\n';
    out += "corvanel_conversion_seconds_sum " + Number(conversionSeconds_) + '\n';
    out += "corvanel_conversion_seconds_count " + std::to_string(conversions_) + '\n';
    Family(out, "corvanel_received_bytes_total", "counter", "Bytes of request bodies received.");
    out += "corvanel_received_bytes_total " + std::to_string(bytesReceived_.load()) + '\n';
    Gauge(out, "corvanel_queue_length", "Documents waiting for a worker.",
          static_cast<double>(gauges.queued));
    Gauge(out, "corvanel_busy_workers", "Workers converting a document now.",
          static_cast<double>(gauges.busyWorkers));
    Gauge(out, "corvanel_workers", "Worker processes the server may run.",
          static_cast<double>(gauges.workers));
    Gauge(out, "corvanel_open_connections", "Client connections being served.",
          static_cast<double>(gauges.connections));
    Family(out, "corvanel_worker_restarts_total", "counter",
           "Workers started again: after a crash, a limit, or their share of documents.");
    out += "corvanel_worker_restarts_total " + std::to_string(gauges.workerRestarts) + '\n';
    return out;
}

}  // namespace corvanel::server
