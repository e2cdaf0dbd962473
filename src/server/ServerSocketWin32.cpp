#include "server/ServerSocket.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdlib>

namespace corvanel::server {

namespace {

SOCKET Native(SocketHandle socket) {
    return static_cast<SOCKET>(socket);
}

int Chunk(std::size_t size) {
    return size > (1u << 30) ? (1 << 30) : static_cast<int>(size);
}

}  // namespace

void PrepareListeningSocket(SocketHandle socket) {
    const BOOL yes = TRUE;
    ::setsockopt(Native(socket), SOL_SOCKET, SO_EXCLUSIVEADDRUSE,
                 reinterpret_cast<const char*>(&yes), sizeof yes);
}

void PrepareConnection(SocketHandle socket) {
    const BOOL yes = TRUE;
    ::setsockopt(Native(socket), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&yes),
                 sizeof yes);
}

int WaitSocket(SocketHandle socket, bool forWriting, int timeoutMs) {
    WSAPOLLFD entry{Native(socket), static_cast<SHORT>(forWriting ? POLLOUT : POLLIN), 0};
    const int ready = ::WSAPoll(&entry, 1, timeoutMs);
    return ready < 0 ? -1 : ready > 0 ? 1 : 0;
}

std::ptrdiff_t ReceiveSome(SocketHandle socket, char* buffer, std::size_t size) {
    return ::recv(Native(socket), buffer, Chunk(size), 0);
}

std::ptrdiff_t SendSome(SocketHandle socket, const char* bytes, std::size_t size) {
    return ::send(Native(socket), bytes, Chunk(size), 0);
}

void ShutdownSocket(SocketHandle socket) {
    ::shutdown(Native(socket), SD_BOTH);
}

void ShutdownSending(SocketHandle socket) {
    ::shutdown(Native(socket), SD_SEND);
}

void CloseSocket(SocketHandle socket) {
    ::closesocket(Native(socket));
}

void SocketAddress(SocketHandle socket, bool remote, std::string& ip, int& port) {
    sockaddr_storage address{};
    int length = sizeof address;
    auto* raw = reinterpret_cast<sockaddr*>(&address);
    const int got = remote ? ::getpeername(Native(socket), raw, &length)
                           : ::getsockname(Native(socket), raw, &length);
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
