#pragma once

// A client connection's socket, as the system has it: a descriptor here, a SOCKET on Windows,
// both carried in a SocketHandle (ServerSocketPosix.cpp, ServerSocketWin32.cpp).

#include <cstddef>
#include <cstdint>
#include <string>

namespace corvanel::server {

using SocketHandle = std::intptr_t;

// Sets up the listening socket: its address may be taken again at once after a restart, but
// never shared with another program listening on it at the same time.
void PrepareListeningSocket(SocketHandle socket);

// Sets up an accepted connection: each write is sent at once. (An answer's headers and body
// are written apart; held back for the client's acknowledgement of the first, which it delays,
// the body would wait some 40 ms.)
void PrepareConnection(SocketHandle socket);

// Waits until the socket has bytes (or its end) to read, or room to write when `forWriting`,
// at most `timeoutMs`: 1 ready, 0 not in time, -1 failed.
int WaitSocket(SocketHandle socket, bool forWriting, int timeoutMs);
// What has arrived, up to `size`: the count, 0 at the end, < 0 on a failure.
std::ptrdiff_t ReceiveSome(SocketHandle socket, char* buffer, std::size_t size);
// As much as the system takes now: the count, < 0 when the other end is gone. Never raises a
// signal.
std::ptrdiff_t SendSome(SocketHandle socket, const char* bytes, std::size_t size);
// Ends both directions: a thread waiting on the socket wakes and finds it ended.
void ShutdownSocket(SocketHandle socket);
// Ends sending only: the client reads what was sent, then the end.
void ShutdownSending(SocketHandle socket);
void CloseSocket(SocketHandle socket);
// The numeric address and port of this end (`remote` false) or the client's.
void SocketAddress(SocketHandle socket, bool remote, std::string& ip, int& port);

}  // namespace corvanel::server
