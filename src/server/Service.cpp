#include "server/Service.h"

#include "convert/core/ErrorCode.h"
#include "server/Answers.h"
#include "server/DocumentRequest.h"
#include "server/RequestHeaders.h"

#include <chrono>
#include <cstdlib>
#include <optional>

namespace corvanel::server {

namespace {

using Clock = std::chrono::steady_clock;
using httplib::Request;
using httplib::Response;

// What the log line of the request under way on this thread tells beyond the request itself.
struct RequestNotes {
    Clock::time_point start;
    Endpoint endpoint = Endpoint::kNone;
    std::uint64_t received = 0;
    std::string document;
    std::string code;
};
thread_local RequestNotes notes;

void Apply(Response& response, const Answer& answer) {
    response.status = answer.status;
    for (const auto& [name, value] : answer.headers) {
        response.set_header(name, value);
    }
    if (answer.status == 204) {
        response.body.clear();
        return;
    }
    response.set_content(answer.body, answer.contentType);
}

void Fail(const Request& request, Response& response, const Failure& failure) {
    const Endpoint endpoint = FindRoute(request.method, request.path).endpoint;
    notes.code = failure.code;
    Apply(response,
          FailureAnswer(endpoint, PreferredAnswer(request.get_header_value("Accept")), failure));
}

bool HasBody(const Request& request) {
    return StatedLength(request).value_or(0) > 0 || request.has_header("Transfer-Encoding");
}

// The answer comes before the body was read: the connection cannot be used again.
void LeaveBodyUnread(const Request& request, Response& response) {
    if (HasBody(request)) {
        response.set_header("Connection", "close");
        ConnectionServer::CloseAfterAnswer();
    }
}

}  // namespace

Service::Service(ServiceSettings settings, ConnectionServer& server, WorkerPool& pool,
                 Metrics& metrics, RequestLog& log, const Fallback& fallback)
    : settings_(std::move(settings)),
      server_(server),
      pool_(pool),
      metrics_(metrics),
      log_(log),
      fallback_(fallback) {
    server_.OnRequest(
        [this](const Request& request, Response& response) { return Admit(request, response); });
    server_.OnRawAnswer(
        [this](int status, const std::string& client) { RawAnswered(status, client); });
    server_.set_expect_100_continue_handler(
        [this](const Request& request, Response& response) { return Expect(request, response); });
    const auto document = [this](const Request& request, Response& response,
                                 const httplib::ContentReader& reader) {
        Document(request, response, reader);
    };
    const auto plain = [this](const Request& request, Response& response) {
        Plain(request, response);
    };
    server_.Get(".*", plain);
    server_.Options(".*", plain);
    server_.Put(".*", document);
    server_.Post(".*", document);
    server_.Patch(".*", document);
    server_.Delete(".*", document);
    server_.set_error_handler(
        httplib::Server::HandlerWithResponse([this](const Request& request, Response& response) {
            FillError(request, response);
            return httplib::Server::HandlerResponse::Handled;
        }));
    server_.set_logger(
        [this](const Request& request, const Response& response) { Logged(request, response); });
}

int Service::Refusal(const Request& request, Response& response) {
    if (!settings_.token.empty() &&
        !BearerMatches(request.get_header_value("Authorization"), settings_.token)) {
        Fail(request, response,
             {401, "unauthorized", "this server needs \"Authorization: Bearer\" with its token"});
        response.set_header("WWW-Authenticate", "Bearer");
        LeaveBodyUnread(request, response);
        return 401;
    }
    if (StatedLength(request).value_or(0) > settings_.maxBody) {
        Fail(request, response,
             {413, "body-too-large",
              "the body is larger than the limit of " + SizeText(settings_.maxBody)});
        LeaveBodyUnread(request, response);
        return 413;
    }
    return 0;
}

httplib::Server::HandlerResponse Service::Admit(const Request& request, Response& response) {
    notes = RequestNotes{};
    notes.start = Clock::now();
    notes.endpoint = FindRoute(request.method, request.path).endpoint;
    return Refusal(request, response) != 0 ? httplib::Server::HandlerResponse::Handled
                                           : httplib::Server::HandlerResponse::Unhandled;
}

int Service::Expect(const Request& request, Response& response) {
    const int refused = Refusal(request, response);
    return refused != 0 ? refused : 100;
}

void Service::Document(const Request& request, Response& response,
                       const httplib::ContentReader& reader) {
    const Route route = FindRoute(request.method, request.path);
    const Wanted wanted = PreferredAnswer(request.get_header_value("Accept"));
    if (route.status != 200) {
        LeaveBodyUnread(request, response);
        Fail(request, response,
             route.status == 404
                 ? Failure{404, "unknown-path", "there is nothing at this path"}
                 : Failure{405, "method-not-allowed", "this path takes " + route.allow});
        if (route.status == 405) {
            response.set_header("Allow", route.allow);
        }
        return;
    }
    isolation::Job job;
    if (auto failure = ConversionOptions(request, route.endpoint, wanted, job.options)) {
        LeaveBodyUnread(request, response);
        Fail(request, response, *failure);
        return;
    }
    const bool form = request.is_multipart_form_data() && (route.endpoint == Endpoint::kTikaForm ||
                                                           route.endpoint == Endpoint::kRmetaForm ||
                                                           route.endpoint == Endpoint::kConvert);
    std::string name;
    if (auto failure = ReadDocument(request, reader, form, settings_.maxBody,
                                    job.document.emplace(), name, notes.received)) {
        metrics_.CountBytesReceived(notes.received);
        ConnectionServer::CloseAfterAnswer();
        response.set_header("Connection", "close");
        Fail(request, response, *failure);
        return;
    }
    metrics_.CountBytesReceived(notes.received);
    notes.document = name;
    const std::string label = name.empty() ? "the body" : EscapeForText(name, 256);
    job.source = label;

    Converted converted;
    converted.name = label;
    converted.bytes = job.document->size();
    converted.markdown = job.options.output == convert::OutputKind::kMarkdown;
    std::optional<Failure> failure = Convert(job, converted);
    const bool unread = failure && failure->code == "not-readable";
    if (unread && fallback_.Enabled()) {
        if (std::optional<Answer> relayed = fallback_.Forward(request, *job.document, form, name)) {
            notes.code = "fallback";
            Apply(response, *relayed);
            return;
        }
        Fail(request, response,
             {502, "fallback-unreachable",
              "Corvanel does not read this document and the fallback server did not answer"});
        return;
    }
    if (route.endpoint == Endpoint::kDetect &&
        (!failure || unread || !converted.facts.format.empty())) {
        failure.reset();  // detection needs only the format (unknown: application/octet-stream)
    }
    if (failure) {
        notes.code = failure->code;
        Apply(response, FailureAnswer(route.endpoint, wanted, *failure, &converted));
        return;
    }
    Apply(response, DocumentAnswer(route.endpoint, wanted, converted));
}

std::optional<Failure> Service::Convert(const isolation::Job& job, Converted& converted) {
    WorkerPool::Result result = pool_.Convert(job);
    switch (result.outcome) {
        case WorkerPool::Outcome::kQueueFull:
            return Failure{503, "busy", "every worker is busy and the queue is full; try again"};
        case WorkerPool::Outcome::kStopped:
            return Failure{503, "shutting-down", "the server is stopping"};
        case WorkerPool::Outcome::kFailed:
            return Failure{StatusOf(result.code), convert::ErrorCodeName(result.code),
                           convert::DescribeError(result.code, job.source, result.reason)};
        case WorkerPool::Outcome::kAnswered:
            break;
    }
    const convert::ConversionResult& outcome = result.answer.outcome;
    metrics_.CountConversion(result.answer.milliseconds / 1000);
    converted.facts = outcome.facts;
    converted.milliseconds = result.answer.milliseconds;
    converted.text = std::move(result.answer.text);
    if (!outcome.Ok()) {
        return Failure{StatusOf(outcome.code), convert::ErrorCodeName(outcome.code),
                       EscapeForText(outcome.description)};
    }
    return std::nullopt;
}

void Service::Plain(const Request& request, Response& response) {
    const Route route = FindRoute(request.method, request.path);
    switch (route.endpoint) {
        case Endpoint::kGreeting:
            response.set_content(
                "This is Tika Server (Corvanel " + settings_.version + "). Please PUT\n",
                "text/plain; charset=UTF-8");
            return;
        case Endpoint::kVersion:
            response.set_content("Corvanel " + settings_.version + " (Apache Tika compatible)\n",
                                 "text/plain; charset=UTF-8");
            return;
        case Endpoint::kHealth:
            response.status = stopping_ ? 503 : 200;
            response.set_content(std::string("{\"status\":\"") + (stopping_ ? "stopping" : "ok") +
                                     "\",\"workers\":" + std::to_string(pool_.Workers()) +
                                     ",\"busy\":" + std::to_string(pool_.Busy()) +
                                     ",\"queued\":" + std::to_string(pool_.Waiting()) + "}\n",
                                 "application/json; charset=UTF-8");
            return;
        case Endpoint::kMetrics:
            response.set_content(metrics_.Text({pool_.Waiting(), pool_.Busy(), pool_.Workers(),
                                                pool_.Restarts(), server_.OpenConnections()}),
                                 "text/plain; version=0.0.4; charset=UTF-8");
            return;
        default:
            break;
    }
    if (route.status == 405) {
        response.set_header("Allow", route.allow);
        Fail(request, response, {405, "method-not-allowed", "this path takes " + route.allow});
    } else {
        Fail(request, response, {404, "unknown-path", "there is nothing at this path"});
    }
}

void Service::FillError(const Request& request, Response& response) {
    if (!response.body.empty()) {
        return;
    }
    // The library answers 400 for headers it could not read whole: they were too slow or too
    // large for the connection.
    if (response.status == 400 && ConnectionServer::RequestTimedOut()) {
        response.status = 408;
    } else if (response.status == 400 && ConnectionServer::RequestTooLarge()) {
        response.status = 431;
    }
    // What follows a request the library refused cannot be trusted to be the next one.
    ConnectionServer::CloseAfterAnswer();
    response.set_header("Connection", "close");
    switch (response.status) {
        case 408:
            Fail(request, response,
                 {408, "request-timeout", "the request's headers did not arrive in time"});
            break;
        case 431:
            Fail(request, response,
                 {431, "header-too-large", "the request's line and headers are too large"});
            break;
        case 413:
            Fail(request, response,
                 {413, "body-too-large",
                  "the body is larger than the limit of " + SizeText(settings_.maxBody)});
            break;
        case 414:
            Fail(request, response, {414, "uri-too-long", "the request's path is too long"});
            break;
        case 404:
            Fail(request, response, {404, "unknown-path", "there is nothing at this path"});
            break;
        case 400:
            Fail(request, response,
                 {400, "malformed-request", "the request is not one HTTP/1.1 allows"});
            break;
        default:
            Fail(request, response, {response.status, "error", "the request could not be served"});
    }
}

void Service::Logged(const Request& request, const Response& response) {
    LogEntry entry;
    entry.client = request.remote_addr;
    entry.method = request.method;
    entry.target = request.target;
    entry.status = response.status;
    entry.received = notes.received;
    entry.sent = response.body.size();
    if (notes.start != Clock::time_point{}) {
        entry.milliseconds =
            std::chrono::duration<double, std::milli>(Clock::now() - notes.start).count();
    }
    entry.document = notes.document;
    entry.code = notes.code;
    log_.Write(entry);
    metrics_.CountRequest(EndpointLabel(notes.endpoint), response.status);
    notes = RequestNotes{};
}

void Service::RawAnswered(int status, const std::string& client) {
    LogEntry entry;
    entry.client = client;
    entry.method = "-";
    entry.target = "-";
    entry.status = status;
    entry.code = status == 408 ? "request-timeout" : status == 431 ? "header-too-large" : "busy";
    log_.Write(entry);
    metrics_.CountRequest(EndpointLabel(Endpoint::kNone), status);
}

}  // namespace corvanel::server
