#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvanel::server {

struct ServerOptions {
    std::string host = "127.0.0.1";
    int port = 9998;
    unsigned jobs = 0;                     // 0: one per hardware thread
    unsigned queue = 0;                    // 0: four per worker
    std::uint64_t maxBody = 100ull << 20;  // bytes of one request's body
    unsigned maxConnections = 64;          // served at once; more are refused
    double timeoutSeconds = 120;           // per document, in a worker
    unsigned maxMemoryMiB = 2048;          // resident memory of a worker
    unsigned maxPerWorker = 10000;         // documents before a worker is replaced
    double headerTimeoutSeconds = 10;      // the request line and headers, whole
    double bodyTimeoutSeconds = 60;        // the body, whole (and the answer, whole)
    double graceSeconds = 10;              // requests under way at a stop
    std::string tokenFile;                 // empty: no token needed
    std::string fallback;                  // empty: none
    std::string log = "-";                 // "-": standard error
    bool help = false;
    bool version = false;
};

struct ServerParse {
    std::optional<ServerOptions> options;
    std::string error;  // set when the command line is not usable
};

ServerParse ParseServerOptions(const std::vector<std::string>& arguments);

// "100M", "512K", "2G", "4096": bytes, with binary suffixes; nothing when not a size.
std::optional<std::uint64_t> ParseSize(const std::string& text);

// "HOST:PORT", "[::1]:PORT" or ":PORT" (the default host): false when not one.
bool ParseListen(const std::string& text, std::string& host, int& port);

std::string ServerUsageText();

}  // namespace corvanel::server
