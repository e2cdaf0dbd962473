#include "server/ConnectionServer.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <thread>
#include <vector>

namespace corvanel::server {

namespace {

using Clock = std::chrono::steady_clock;

// How often a thread waiting for a kept-alive connection's next request looks whether the
// server was stopped.
constexpr int kStopCheckMs = 100;
// The bytes of a request's line and headers together.
constexpr std::uint64_t kMaxHeaderBytes = 64 * 1024;
// How long, and for how many bytes, a connection answered before its body was read is drained
// before it is closed: closed with bytes unread, it would be reset, and the client, still
// sending, could lose the answer.
constexpr int kLingerMs = 2000;
constexpr std::uint64_t kLingerBytes = 16u << 20;
// The longest a refused connection's answer, or a timed-out request's, may take to send.
constexpr int kRawAnswerMs = 1000;

std::string SecondsText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", seconds);
    return text;
}

Clock::time_point After(double seconds) {
    return Clock::now() +
           std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

// The request under way on a connection's thread.
struct ConnectionState {
    SocketHandle socket = -1;
    Clock::time_point deadline;
    bool timedOut = false;
    bool tooLarge = false;         // read more than its part of the request may take
    std::uint64_t phaseBytes = 0;  // read of the headers, then of the body
    std::uint64_t bodyLimit = 0;
    bool closeAfter = false;
    bool routed = false;  // its headers were read and it was handed on
    // Bytes read and not yet handed out; kept across the requests of the connection.
    std::vector<char> buffer = std::vector<char>(16 * 1024);
    std::size_t start = 0, end = 0;
    // The wait for the next request found bytes to read: the first read takes them at once.
    bool readable = false;
    // The two ends' addresses, which the library asks for on every request: looked up once.
    struct Address {
        bool known = false;
        std::string ip;
        int port = 0;
    };
    Address remote, local;
};

void Lookup(ConnectionState& state, bool remote, std::string& ip, int& port) {
    ConnectionState::Address& address = remote ? state.remote : state.local;
    if (!address.known) {
        SocketAddress(state.socket, remote, address.ip, address.port);
        address.known = true;
    }
    ip = address.ip;
    port = address.port;
}

thread_local ConnectionState* current = nullptr;
// Set while a connection over the limit is handed over on the listening thread.
thread_local bool refusing = false;

int MillisecondsLeft(const ConnectionState& state) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(state.deadline - Clock::now());
    return static_cast<int>(std::clamp<long long>(left.count(), 0, 1 << 30));
}

// The library's view of the connection: reads and writes that fail once the request's
// deadline has passed.
class DeadlineStream : public httplib::Stream {
public:
    explicit DeadlineStream(ConnectionState& state) : state_(state) {}

    bool is_readable() const override {
        return state_.start < state_.end || WaitSocket(state_.socket, false, 0) > 0;
    }
    bool is_writable() const override {
        return WaitSocket(state_.socket, true, MillisecondsLeft(state_)) > 0;
    }
    ssize_t read(char* bytes, size_t size) override {
        if (state_.start == state_.end) {
            const int left = MillisecondsLeft(state_);
            const int ready = state_.readable ? 1
                              : left > 0      ? WaitSocket(state_.socket, false, left)
                                              : 0;
            state_.readable = false;
            if (ready <= 0) {
                state_.timedOut = ready == 0;
                return -1;
            }
            const std::ptrdiff_t got =
                ReceiveSome(state_.socket, state_.buffer.data(), state_.buffer.size());
            if (got <= 0) {
                return got;
            }
            state_.start = 0;
            state_.end = static_cast<std::size_t>(got);
        }
        const std::uint64_t limit = state_.routed ? state_.bodyLimit : kMaxHeaderBytes;
        if (state_.phaseBytes >= limit) {
            state_.tooLarge = true;
            return -1;
        }
        const std::size_t count = static_cast<std::size_t>(
            std::min<std::uint64_t>({size, state_.end - state_.start, limit - state_.phaseBytes}));
        state_.phaseBytes += count;
        std::copy_n(state_.buffer.data() + state_.start, count, bytes);
        state_.start += count;
        return static_cast<ssize_t>(count);
    }
    ssize_t write(const char* bytes, size_t size) override {
        const int left = MillisecondsLeft(state_);
        const int ready = left > 0 ? WaitSocket(state_.socket, true, left) : 0;
        if (ready <= 0) {
            state_.timedOut = ready == 0;
            return -1;
        }
        return SendSome(state_.socket, bytes, size);
    }
    void get_remote_ip_and_port(std::string& ip, int& port) const override {
        Lookup(state_, true, ip, port);
    }
    void get_local_ip_and_port(std::string& ip, int& port) const override {
        Lookup(state_, false, ip, port);
    }
    socket_t socket() const override { return static_cast<socket_t>(state_.socket); }

private:
    ConnectionState& state_;
};

// Sends a whole answer the library did not make, within a short time.
void SendRaw(SocketHandle socket, int status, const char* reason, const std::string& extraHeaders,
             const std::string& body) {
    const std::string answer =
        "HTTP/1.1 " + std::to_string(status) + " " + reason +
        "\r\nContent-Type: text/plain; charset=UTF-8\r\n" + extraHeaders +
        "Connection: close\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    const auto deadline = Clock::now() + std::chrono::milliseconds(kRawAnswerMs);
    for (std::size_t sent = 0; sent < answer.size();) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0 || WaitSocket(socket, true, static_cast<int>(left.count())) <= 0) {
            return;
        }
        const std::ptrdiff_t count = SendSome(socket, answer.data() + sent, answer.size() - sent);
        if (count <= 0) {
            return;
        }
        sent += static_cast<std::size_t>(count);
    }
}

// Threads for connections, started as they are needed (at most one per connection served at
// once) and kept for the next ones. One connection over the limit is handed to the library on
// the listening thread, marked to be refused.
class ConnectionQueue : public httplib::TaskQueue {
public:
    ConnectionQueue(unsigned maxConnections, std::atomic<std::size_t>& open)
        : max_(maxConnections), open_(open) {}

    void enqueue(std::function<void()> connection) override {
        {
            std::lock_guard lock(mutex_);
            if (open_ < max_) {
                ++open_;
                jobs_.push_back(std::move(connection));
                if (jobs_.size() > idle_) {
                    threads_.emplace_back([this] { Serve(); });
                }
                ready_.notify_one();
                return;
            }
        }
        refusing = true;
        connection();
        refusing = false;
    }

    void shutdown() override {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        ready_.notify_all();
        for (std::thread& thread : threads_) {
            thread.join();
        }
    }

private:
    void Serve() {
        std::unique_lock lock(mutex_);
        while (true) {
            ++idle_;
            // Once stopped, a thread ends only with the last connection: a worker process it
            // started dies with the thread (the system ties a child to the thread that started
            // it), and the requests under way may still need it.
            ready_.wait(lock, [this] { return !jobs_.empty() || (stopping_ && open_ == 0); });
            --idle_;
            if (jobs_.empty()) {
                return;
            }
            std::function<void()> connection = std::move(jobs_.front());
            jobs_.pop_front();
            lock.unlock();
            connection();
            lock.lock();
            if (--open_ == 0 && stopping_) {
                ready_.notify_all();
            }
        }
    }

    const unsigned max_;
    std::atomic<std::size_t>& open_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> jobs_;
    std::vector<std::thread> threads_;
    std::size_t idle_ = 0;
    bool stopping_ = false;
};

}  // namespace

ConnectionServer::ConnectionServer(const ConnectionLimits& limits) : limits_(limits) {
    new_task_queue = [this] { return new ConnectionQueue(limits_.maxConnections, open_); };
    set_keep_alive_max_count(limits_.requestsPerConnection);
    set_keep_alive_timeout(limits_.idleSeconds);
    set_pre_routing_handler([this](const httplib::Request& request, httplib::Response& response) {
        if (current != nullptr) {
            current->routed = true;
            current->phaseBytes = 0;
            current->deadline = After(limits_.bodySeconds);
        }
        return onRequest_ ? onRequest_(request, response) : HandlerResponse::Unhandled;
    });
    set_post_routing_handler([this](const httplib::Request&, httplib::Response&) {
        if (current != nullptr) {
            current->deadline = After(limits_.bodySeconds);
        }
    });
}

bool ConnectionServer::RequestTimedOut() {
    return current != nullptr && current->timedOut;
}

bool ConnectionServer::RequestTooLarge() {
    return current != nullptr && current->tooLarge;
}

void ConnectionServer::CloseAfterAnswer() {
    if (current != nullptr) {
        current->closeAfter = true;
    }
}

void ConnectionServer::CutConnections() {
    std::lock_guard lock(mutex_);
    for (const SocketHandle socket : sockets_) {
        ShutdownSocket(socket);
    }
}

void ConnectionServer::Linger(SocketHandle socket) {
    ShutdownSending(socket);
    const auto deadline = Clock::now() + std::chrono::milliseconds(kLingerMs);
    char drain[16 * 1024];
    for (std::uint64_t drained = 0; drained < kLingerBytes;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0 || svr_sock_ == INVALID_SOCKET ||
            WaitSocket(socket, false, static_cast<int>(left.count())) <= 0) {
            return;
        }
        const std::ptrdiff_t count = ReceiveSome(socket, drain, sizeof drain);
        if (count <= 0) {
            return;
        }
        drained += static_cast<std::uint64_t>(count);
    }
}

void ConnectionServer::Refuse(SocketHandle socket) {
    SendRaw(socket, 503, "Service Unavailable", "Retry-After: 1\r\n",
            "503 busy: the server is serving its most connections at once (" +
                std::to_string(limits_.maxConnections) + "); try again\n");
    // What the client sent is taken in, so that closing does not reset the connection under
    // the answer.
    ShutdownSending(socket);
    char drain[4096];
    for (int i = 0; i < 16 && WaitSocket(socket, false, 0) > 0; ++i) {
        if (ReceiveSome(socket, drain, sizeof drain) <= 0) {
            break;
        }
    }
    if (onRawAnswer_) {
        std::string ip;
        int port = 0;
        SocketAddress(socket, true, ip, port);
        onRawAnswer_(503, ip);
    }
    CloseSocket(socket);
}

bool ConnectionServer::process_and_close_socket(socket_t sock) {
    const auto socket = static_cast<SocketHandle>(sock);
    if (refusing) {
        Refuse(socket);
        return false;
    }
    PrepareConnection(socket);
    {
        std::lock_guard lock(mutex_);
        sockets_.insert(socket);
    }
    ConnectionState state;
    state.socket = socket;
    state.bodyLimit = 2 * limits_.maxBodyBytes + kMaxHeaderBytes;
    current = &state;
    bool ok = true;
    for (std::size_t served = 0; ok && served < limits_.requestsPerConnection; ++served) {
        // The next request, while the server runs and the connection was not idle too long.
        int idleMs = limits_.idleSeconds * 1000;
        int ready = state.start < state.end ? 1 : 0;
        while (ready == 0 && idleMs > 0 && svr_sock_ != INVALID_SOCKET) {
            ready = WaitSocket(socket, false, std::min(idleMs, kStopCheckMs));
            idleMs -= kStopCheckMs;
        }
        // Once stopped, a request that has arrived is still served; none is waited for.
        if (ready <= 0) {
            break;
        }
        state.readable = state.start == state.end;  // the wait above found the bytes
        state.deadline = After(limits_.headerSeconds);
        state.timedOut = state.tooLarge = state.closeAfter = state.routed = false;
        state.phaseBytes = 0;
        DeadlineStream stream(state);
        bool closed = false;
        const bool last = served + 1 == limits_.requestsPerConnection;
        ok = process_request(stream, last, closed, nullptr);
        if (!ok && !state.routed && (state.timedOut || state.tooLarge)) {
            std::string ip;
            int port = 0;
            Lookup(state, true, ip, port);
            const int status = state.timedOut ? 408 : 431;
            if (state.timedOut) {
                SendRaw(socket, 408, "Request Timeout", "",
                        "408 request-timeout: the request's line and headers did not arrive "
                        "within " +
                            SecondsText(limits_.headerSeconds) + " s\n");
            } else {
                SendRaw(socket, 431, "Request Header Fields Too Large", "",
                        "431 header-too-large: the request's line and headers take more than " +
                            std::to_string(kMaxHeaderBytes / 1024) + " KiB\n");
            }
            if (onRawAnswer_) {
                onRawAnswer_(status, ip);
            }
        }
        if (closed || state.closeAfter) {
            break;
        }
    }
    current = nullptr;
    // A client cut off for its slowness gets no more time.
    if (state.closeAfter && !state.timedOut) {
        Linger(socket);
    }
    {
        std::lock_guard lock(mutex_);
        sockets_.erase(socket);
    }
    ShutdownSocket(socket);
    CloseSocket(socket);
    return ok;
}

}  // namespace corvanel::server
