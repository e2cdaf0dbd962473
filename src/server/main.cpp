// corvanel-server: document conversions over HTTP, with Apache Tika server's endpoints.
#include "cli/Console.h"
#include "isolation/JobWorker.h"
#include "isolation/WorkerProcess.h"
#include "server/ConnectionServer.h"
#include "server/Fallback.h"
#include "server/Metrics.h"
#include "server/RequestLog.h"
#include "server/ServerOptions.h"
#include "server/Service.h"
#include "server/WorkerPool.h"
#include "system/FileSystem.h"
#include "system/ProcessTuning.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <thread>

#ifndef CORVANEL_VERSION
#define CORVANEL_VERSION "unknown"
#endif

namespace {

using namespace corvanel;
using namespace corvanel::server;

// After the grace time, how long the requests whose documents were stopped have to answer.
constexpr auto kLastAnswers = std::chrono::seconds(1);

// The token: the file's first line, without its line end and surrounding blanks.
bool ReadToken(const std::string& path, std::string& token) {
    std::ifstream file(system::PathFromUtf8(path), std::ios::binary);
    if (!file || !std::getline(file, token)) {
        return false;
    }
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!token.empty() && blank(token.back())) {
        token.pop_back();
    }
    std::size_t start = 0;
    while (start < token.size() && blank(token[start])) {
        ++start;
    }
    token.erase(0, start);
    return !token.empty();
}

int Usage(const std::string& error) {
    std::fprintf(stderr, "corvanel-server: %s\nTry \"corvanel-server --help\".\n", error.c_str());
    return 2;
}

int Serve(const ServerOptions& options) {
    std::atomic<bool> stop{false};
    cli::InterruptScope interrupts(stop);
    std::string token;
    if (!options.tokenFile.empty() && !ReadToken(options.tokenFile, token)) {
        return Usage("the token file " + options.tokenFile + " cannot be read or is empty");
    }
    RequestLog log;
    if (!log.Open(options.log)) {
        return Usage("the log " + options.log + " cannot be opened: " + std::strerror(errno));
    }
    const unsigned jobs =
        options.jobs != 0 ? options.jobs : std::max(1u, std::thread::hardware_concurrency());
    isolation::IsolationLimits limits;
    limits.timeoutSeconds = options.timeoutSeconds;
    limits.maxMemoryBytes = static_cast<std::uint64_t>(options.maxMemoryMiB) << 20;
    limits.maxPerWorker = options.maxPerWorker;
    WorkerPool pool(isolation::ThisProgram(), jobs, options.queue != 0 ? options.queue : 4 * jobs,
                    limits);

    ConnectionLimits connectionLimits;
    connectionLimits.headerSeconds = options.headerTimeoutSeconds;
    connectionLimits.bodySeconds = options.bodyTimeoutSeconds;
    connectionLimits.maxConnections = options.maxConnections;
    connectionLimits.maxBodyBytes = options.maxBody;
    ConnectionServer server(connectionLimits);
    server.set_payload_max_length(options.maxBody);
    server.set_socket_options([](socket_t socket) { PrepareListeningSocket(socket); });
    Metrics metrics;
    const Fallback fallback(options.fallback, options.timeoutSeconds);
    Service service({options.maxBody, token, CORVANEL_VERSION}, server, pool, metrics, log,
                    fallback);

    int port = options.port;
    if (port == 0) {
        port = server.bind_to_any_port(options.host);
    } else if (!server.bind_to_port(options.host, port)) {
        port = -1;
    }
    if (port < 0) {
        std::fprintf(stderr, "corvanel-server: cannot listen on %s:%d\n", options.host.c_str(),
                     options.port);
        return 1;
    }
    const bool ipv6 = options.host.find(':') != std::string::npos;
    log.Note("corvanel-server " CORVANEL_VERSION " listening on http://" +
             (ipv6 ? "[" + options.host + "]" : options.host) + ":" + std::to_string(port) +
             " with " + std::to_string(jobs) + " workers");

    std::mutex mutex;
    std::condition_variable ended;
    bool listening = true;
    std::thread listener([&] {
        server.listen_after_bind();
        std::lock_guard lock(mutex);
        listening = false;
        ended.notify_all();
    });
    {
        // A stop is only heard once the library runs its loop (before, it would be lost).
        std::unique_lock lock(mutex);
        for (int i = 0; i < 5000 && listening && !server.is_running(); ++i) {
            ended.wait_for(lock, std::chrono::milliseconds(1));
        }
        while (!stop && listening) {
            ended.wait_for(lock, std::chrono::milliseconds(100));
        }
    }
    char graceText[32];
    std::snprintf(graceText, sizeof graceText, "%g", options.graceSeconds);
    log.Note(std::string("corvanel-server stopping: requests under way may take ") + graceText +
             " s");
    service.Stopping();
    server.stop();
    {
        std::unique_lock lock(mutex);
        const auto grace = std::chrono::duration<double>(options.graceSeconds);
        if (!ended.wait_for(lock, grace, [&] { return !listening; })) {
            // The documents still converting fail (503), and their answers get a moment to
            // leave before every connection left is cut.
            log.Note("corvanel-server: the grace time is over; ending the requests left");
            pool.Stop();
            ended.wait_for(lock, kLastAnswers, [&] { return !listening; });
            server.CutConnections();
        }
    }
    listener.join();
    log.Note("corvanel-server stopped");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    corvanel::system::TuneProcessForConversions();
    if (argc == 2 && std::strcmp(argv[1], corvanel::isolation::kWorkerArgument) == 0) {
        return corvanel::isolation::ServeJobs();
    }
    corvanel::cli::PrepareStandardStreams();
    const ServerParse parsed = ParseServerOptions(cli::ProgramArguments(argc, argv));
    if (!parsed.options) {
        return Usage(parsed.error);
    }
    if (parsed.options->help) {
        std::fputs(ServerUsageText().c_str(), stdout);
        return 0;
    }
    if (parsed.options->version) {
        std::printf("corvanel-server %s\n", CORVANEL_VERSION);
        return 0;
    }
    return Serve(*parsed.options);
}
