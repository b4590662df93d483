// The IPv4 socket calls the library makes, behind one small layer: POSIX
// sockets here, Windows Sockets elsewhere. Addresses are uint32 in host order.
// Errors are read once, right after the failed call, as a portable kind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace korvel::platform {

using SocketHandle = int;
constexpr SocketHandle kInvalidSocket = -1;

// What a failed socket call reported (errno here, WSAGetLastError on Windows).
enum class SocketError {
    kNone,
    kInterrupted,    // EINTR
    kTryAgain,       // EAGAIN / EWOULDBLOCK (10035)
    kInProgress,     // EINPROGRESS (10035 on Windows as well)
    kNetUnreachable, // ENETUNREACH (10051)
    kRefused,        // ECONNREFUSED (10061)
    kAddressInUse,   // EADDRINUSE (10048)
    kTimedOut,       // ETIMEDOUT (10060)
    kOther,
};

// The error of the last failed socket call on this thread.
SocketError LastSocketError();

SocketHandle OpenSocket(bool datagram);
void CloseSocket(SocketHandle socket);

// Each returns 0 on success, -1 on failure.
int SetNonBlocking(SocketHandle socket, bool non_blocking);
int SetReuseAddress(SocketHandle socket, bool on);
int SetNoDelay(SocketHandle socket, bool on);
int SetMulticastTtl(SocketHandle socket, int ttl);
// Asks for a receive buffer of `bytes`, beyond the system's usual ceiling
// where the process may (SO_RCVBUFFORCE on Linux), else as far as the
// ceiling allows. Returns the size the system now reports, -1 on failure.
int RaiseReceiveBuffer(SocketHandle socket, int bytes);
int JoinGroup(SocketHandle socket, uint32_t group);  // on the default interface
int LeaveGroup(SocketHandle socket, uint32_t group);
int BindAny(SocketHandle socket, uint16_t port);      // 0.0.0.0:port
int Listen(SocketHandle socket, int backlog);
// Refuses the unspecified address 0.0.0.0 as Windows does; Linux would take
// it for this machine.
int Connect(SocketHandle socket, uint32_t address, uint16_t port);
// Whether `address` (a struct sockaddr) is the unspecified address 0.0.0.0
// or ::, which names no receiver.
bool IsUnspecifiedAddress(const void *address);

// The port the socket is bound to, 0 when unknown.
uint16_t BoundPort(SocketHandle socket);

// Byte counts, or -1 with LastSocketError() telling why. Sends never raise
// SIGPIPE on a connection the peer has closed, and never block: they take
// what fits now, so a wait for room with a time-out bounds every send.
long Send(SocketHandle socket, const void *data, size_t size);
long SendTo(SocketHandle socket, const void *data, size_t size, uint32_t address, uint16_t port);
long Receive(SocketHandle socket, void *buffer, size_t size);
long ReceiveFrom(SocketHandle socket, void *buffer, size_t size); // sender discarded

// Ends receiving on the socket: a thread waiting for it to become readable
// wakes at once and its receive returns 0. Also for unconnected datagram
// sockets, whose shutdown reports "not connected" but still takes effect.
void ShutdownReceive(SocketHandle socket);

// Waits up to `milliseconds` with poll(): 1 ready, 0 timed out, -1 failed.
// poll() has no descriptor limit, unlike select() and its FD_SETSIZE sets.
int WaitReadable(SocketHandle socket, int milliseconds);
int WaitWritable(SocketHandle socket, int milliseconds);

// The host's name (at most 255 characters); false on failure.
bool HostName(char (&name)[256]);
// The IPv4 addresses a host name resolves to, in the resolver's order; false
// when it does not resolve.
bool ResolveIPv4(const char *name, std::vector<uint32_t> &addresses);

} // namespace korvel::platform
