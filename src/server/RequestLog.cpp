#include "server/RequestLog.h"

#include "server/RequestHeaders.h"
#include "system/FileSystem.h"

#include <chrono>
#include <ctime>

namespace corvanel::server {

namespace {

std::string UtcNow() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm parts{};
#ifdef _WIN32
    gmtime_s(&parts, &now);
#else
    gmtime_r(&now, &parts);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

}  // namespace

bool RequestLog::Open(const std::string& path) {
    if (path == "-") {
        file_ = stderr;
        return true;
    }
    file_ = system::OpenFile(path, "ab");
    if (file_ == nullptr) {
        file_ = stderr;
        return false;
    }
    return true;
}

RequestLog::~RequestLog() {
    if (file_ != stderr) {
        std::fclose(file_);
    }
}

void RequestLog::Write(const LogEntry& entry) {
    char numbers[96];
    std::snprintf(numbers, sizeof numbers, " %d in=%llu out=%llu ms=%.1f", entry.status,
                  static_cast<unsigned long long>(entry.received),
                  static_cast<unsigned long long>(entry.sent), entry.milliseconds);
    std::string line = UtcNow() + ' ' + EscapeForText(entry.client, 64) + ' ' +
                       EscapeForText(entry.method, 16) + ' ' + EscapeForText(entry.target, 512) +
                       numbers;
    if (!entry.document.empty()) {
        line += " name=\"" + EscapeForText(entry.document, 256) + '"';
    }
    if (!entry.code.empty()) {
        line += " code=" + entry.code;
    }
    Note(line);
}

void RequestLog::Note(const std::string& line) {
    std::lock_guard lock(mutex_);
    std::fputs(line.c_str(), file_);
    std::fputc('\n', file_);
    std::fflush(file_);
}

}  // namespace corvanel::server
