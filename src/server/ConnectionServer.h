#pragma once

// cpp-httplib's server with limits it lacks on its own: each request's line and headers must
// arrive whole within the header time, its body within the body time, and its answer be taken
// within the body time again (a client that sends or reads one byte a second is cut off, which
// a timeout per read alone would not do); at most so many connections are served at once, and
// one more is answered 503 and closed; once stopped, idle connections end at once; and after
// the grace time, every connection can be cut. A request's line and headers may take 64 KiB
// together (the library bounds each line, not their number, and holds a line whole before it
// looks at its length): more is answered 431. The library still parses every byte of HTTP:
// this class only carries them, through a stream of its own over the connection's socket.

#include "server/ServerSocket.h"

#include <httplib.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <set>
#include <string>

namespace corvanel::server {

struct ConnectionLimits {
    double headerSeconds = 10;
    double bodySeconds = 60;
    unsigned maxConnections = 64;
    std::uint64_t maxBodyBytes = 100ull << 20;  // a body's bytes as it arrives (its framing
                                                // may add as much again)
    std::size_t requestsPerConnection = 1000;   // then the connection is closed (keep-alive)
    int idleSeconds = 5;                        // a kept-alive connection waits this long
};

class ConnectionServer : public httplib::Server {
public:
    explicit ConnectionServer(const ConnectionLimits& limits);

    // Called before a request is routed, once its headers are in (the body time starts).
    void OnRequest(HandlerWithResponse handler) { onRequest_ = std::move(handler); }
    // Called with what was answered without the library: 408 for a request whose headers did
    // not arrive in time, 503 for a connection over the limit; and the client's address.
    void OnRawAnswer(std::function<void(int status, const std::string& client)> report) {
        onRawAnswer_ = std::move(report);
    }

    // For the request under way on the calling thread: whether reading it ran out of time or
    // over the bytes a body may take, and to close its connection after its answer (a body
    // left unread cannot be skipped safely).
    static bool RequestTimedOut();
    static bool RequestTooLarge();
    static void CloseAfterAnswer();

    // Ends every connection now: their requests fail at their next read or write.
    void CutConnections();
    std::size_t OpenConnections() const { return open_; }

private:
    bool process_and_close_socket(socket_t sock) override;
    void Refuse(SocketHandle socket);
    void Linger(SocketHandle socket);

    ConnectionLimits limits_;
    HandlerWithResponse onRequest_;
    std::function<void(int, const std::string&)> onRawAnswer_;
    mutable std::mutex mutex_;
    std::set<SocketHandle> sockets_;
    std::atomic<std::size_t> open_{0};
};

}  // namespace corvanel::server
