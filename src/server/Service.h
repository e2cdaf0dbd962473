#pragma once

// The server's endpoints on the connection server: each request checked (token, path, method,
// size), its document read from the body or a form, converted in the worker pool and answered
// as its endpoint answers; or forwarded to the fallback server when Corvanel does not read it.
// One line of the log and the metrics for every request.

#include "server/Answers.h"
#include "server/ConnectionServer.h"
#include "server/Fallback.h"
#include "server/Metrics.h"
#include "server/RequestLog.h"
#include "server/Routes.h"
#include "server/WorkerPool.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

namespace corvanel::server {

struct ServiceSettings {
    std::uint64_t maxBody = 100ull << 20;
    std::string token;  // empty: none needed
    std::string version;
};

class Service {
public:
    Service(ServiceSettings settings, ConnectionServer& server, WorkerPool& pool, Metrics& metrics,
            RequestLog& log, const Fallback& fallback);

    // Health answers 503 from now on.
    void Stopping() { stopping_ = true; }

private:
    using Request = httplib::Request;
    using Response = httplib::Response;

    httplib::Server::HandlerResponse Admit(const Request& request, Response& response);
    int Expect(const Request& request, Response& response);
    void Document(const Request& request, Response& response, const httplib::ContentReader& reader);
    // The job's document converted in a worker into `converted`; why not, if it was not.
    std::optional<Failure> Convert(const isolation::Job& job, Converted& converted);
    void Plain(const Request& request, Response& response);
    void FillError(const Request& request, Response& response);
    void Logged(const Request& request, const Response& response);
    void RawAnswered(int status, const std::string& client);

    // A body over the limit by its stated length, or a missing token: 413 or 401, else 0.
    int Refusal(const Request& request, Response& response);

    ServiceSettings settings_;
    ConnectionServer& server_;
    WorkerPool& pool_;
    Metrics& metrics_;
    RequestLog& log_;
    const Fallback& fallback_;
    std::atomic<bool> stopping_{false};
};

}  // namespace corvanel::server
