#include "server/ServerSocket.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace corvanel::server {

void PrepareListeningSocket(SocketHandle socket) {
    const int yes = 1;
    ::setsockopt(static_cast<int>(socket), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}

void PrepareConnection(SocketHandle socket) {
    const int yes = 1;
    ::setsockopt(static_cast<int>(socket), IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
}

int WaitSocket(SocketHandle socket, bool forWriting, int timeoutMs) {
    pollfd entry{static_cast<int>(socket), static_cast<short>(forWriting ? POLLOUT : POLLIN), 0};
    while (true) {
        const int ready = ::poll(&entry, 1, timeoutMs);
        if (ready >= 0) {
            return ready > 0 ? 1 : 0;
        }
        if (errno != EINTR) {
            return -1;
        }
    }
}

std::ptrdiff_t ReceiveSome(SocketHandle socket, char* buffer, std::size_t size) {
    while (true) {
        const ssize_t count = ::recv(static_cast<int>(socket), buffer, size, 0);
        if (count >= 0 || errno != EINTR) {
            return count;
        }
    }
}

std::ptrdiff_t SendSome(SocketHandle socket, const char* bytes, std::size_t size) {
    while (true) {
        const ssize_t count = ::send(static_cast<int>(socket), bytes, size, MSG_NOSIGNAL);
        if (count >= 0 || errno != EINTR) {
            return count;
        }
    }
}

void ShutdownSocket(SocketHandle socket) {
    ::shutdown(static_cast<int>(socket), SHUT_RDWR);
}

void ShutdownSending(SocketHandle socket) {
    ::shutdown(static_cast<int>(socket), SHUT_WR);
}

void CloseSocket(SocketHandle socket) {
    ::close(static_cast<int>(socket));
}

void SocketAddress(SocketHandle socket, bool remote, std::string& ip, int& port) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    auto* raw = reinterpret_cast<sockaddr*>(&address);
    const int got = remote ? ::getpeername(static_cast<int>(socket), raw, &length)
                           : ::getsockname(static_cast<int>(socket), raw, &length);
    char host[NI_MAXHOST] = "";
    char service[NI_MAXSERV] = "0";
    if (got != 0 || ::getnameinfo(raw, length, host, sizeof host, service, sizeof service,
                                  NI_NUMERICHOST | NI_NUMERICSERV) != 0) {
        ip.clear();
        port = 0;
        return;
    }
    ip = host;
    port = std::atoi(service);
}

}  // namespace corvanel::server
