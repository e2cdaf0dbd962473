#include "server/RequestLog.h"

#include "server/RequestHeaders.h"
#include "system/FileSystem.h"

#include <chrono>
#include <cstdio>

namespace corvanel::server {

namespace {

std::string UtcNow() {
    using namespace std::chrono;
    const auto now = floor<seconds>(system_clock::now());
    const auto day = floor<days>(now);
    const year_month_day date{day};
    const hh_mm_ss time{now - day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<int>(time.hours().count()),
                  static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
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
    std::string line = EscapeForText(entry.client, 64) + ' ' + EscapeForText(entry.method, 16) +
                       ' ' + EscapeForText(entry.target, 512) + numbers;
    if (!entry.document.empty()) {
        line += " name=\"" + EscapeForText(entry.document, 256) + '"';
    }
    if (!entry.code.empty()) {
        line += " code=" + entry.code;
    }
    Note(line);
}

void RequestLog::Note(const std::string& line) {
    const std::string stamped = UtcNow() + ' ' + line;
    std::lock_guard lock(mutex_);
    std::fputs(stamped.c_str(), file_);
    std::fputc('\n', file_);
    std::fflush(file_);
}

}  // namespace corvanel::server
