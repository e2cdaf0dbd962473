#pragma once

// One line per request, to standard error or a file: when, who, what, the answer's status and
// size, the time taken, the document's name and the failure's code. Everything a request chose
// is escaped.

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

namespace corvanel::server {

struct LogEntry {
    std::string client;  // address
    std::string method;
    std::string target;  // path and query, as sent
    int status = 0;
    std::uint64_t received = 0;  // body bytes
    std::uint64_t sent = 0;      // answer bytes
    double milliseconds = 0;
    std::string document;  // the name it was sent under, if any
    std::string code;      // the failure's code, if any
};

class RequestLog {
public:
    // `path` "-" is standard error; false when the file cannot be opened.
    bool Open(const std::string& path);
    ~RequestLog();

    void Write(const LogEntry& entry);
    // A line of the server's own (start, stop), as it is, after the time.
    void Note(const std::string& line);

private:
    std::mutex mutex_;
    std::FILE* file_ = stderr;
};

}  // namespace corvanel::server
