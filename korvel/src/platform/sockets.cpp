// POSIX implementation of the socket layer.
#include "platform/sockets.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace korvel::platform {
namespace {

thread_local SocketError t_last_error = SocketError::kNone;

SocketError KindOf(int error) {
    switch (error) {
    case 0: return SocketError::kNone;
    case EINTR: return SocketError::kInterrupted;
    case EAGAIN: return SocketError::kTryAgain;
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK: return SocketError::kTryAgain;
#endif
    case EINPROGRESS: return SocketError::kInProgress;
    case ENETUNREACH: return SocketError::kNetUnreachable;
    case ECONNREFUSED: return SocketError::kRefused;
    case EADDRINUSE: return SocketError::kAddressInUse;
    case ETIMEDOUT: return SocketError::kTimedOut;
    default: return SocketError::kOther;
    }
}

// Records errno of the call that just failed and passes its result on.
template <class T>
T Failed(T result) {
    t_last_error = KindOf(errno);
    return result;
}

sockaddr_in SocketAddress(uint32_t address, uint16_t port) {
    sockaddr_in socket_address{};
    socket_address.sin_family = AF_INET;
    socket_address.sin_port = htons(port);
    socket_address.sin_addr.s_addr = htonl(address);
    return socket_address;
}

int SetFlag(SocketHandle socket, int level, int option, bool on) {
    int value = on ? 1 : 0;
    if (setsockopt(socket, level, option, &value, sizeof value) != 0) return Failed(-1);
    return 0;
}

int Membership(SocketHandle socket, int option, uint32_t group) {
    ip_mreq request{};
    request.imr_multiaddr.s_addr = htonl(group);
    request.imr_interface.s_addr = htonl(INADDR_ANY);
    if (setsockopt(socket, IPPROTO_IP, option, &request, sizeof request) != 0) return Failed(-1);
    return 0;
}

// poll() for one event, restarted after signals with the time that is left.
int WaitFor(SocketHandle socket, short events, int milliseconds) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        pollfd entry{socket, events, 0};
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        int ready = poll(&entry, 1, left > 0 ? static_cast<int>(left) : 0);
        if (ready > 0) return 1;
        if (ready == 0) return 0;
        if (errno != EINTR) return Failed(-1);
    }
}

} // namespace

SocketError LastSocketError() { return t_last_error; }

SocketHandle OpenSocket(bool datagram) {
    SocketHandle handle = socket(AF_INET, (datagram ? SOCK_DGRAM : SOCK_STREAM) | SOCK_CLOEXEC, 0);
    if (handle < 0) return Failed(kInvalidSocket);
    return handle;
}

void CloseSocket(SocketHandle socket) {
    if (socket != kInvalidSocket) close(socket);
}

int SetNonBlocking(SocketHandle socket, bool non_blocking) {
    int flags = fcntl(socket, F_GETFL, 0);
    if (flags < 0) return Failed(-1);
    flags = non_blocking ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
    if (fcntl(socket, F_SETFL, flags) != 0) return Failed(-1);
    return 0;
}

int SetReuseAddress(SocketHandle socket, bool on) { return SetFlag(socket, SOL_SOCKET, SO_REUSEADDR, on); }

int SetNoDelay(SocketHandle socket, bool on) { return SetFlag(socket, IPPROTO_TCP, TCP_NODELAY, on); }

int SetMulticastTtl(SocketHandle socket, int ttl) {
    unsigned char value = static_cast<unsigned char>(ttl);
    if (setsockopt(socket, IPPROTO_IP, IP_MULTICAST_TTL, &value, sizeof value) != 0) return Failed(-1);
    return 0;
}

int RaiseReceiveBuffer(SocketHandle socket, int bytes) {
    bool raised = false;
#ifdef SO_RCVBUFFORCE
    // Goes past net.core.rmem_max, for a process with CAP_NET_ADMIN only.
    raised = setsockopt(socket, SOL_SOCKET, SO_RCVBUFFORCE, &bytes, sizeof bytes) == 0;
#endif
    // Capped at net.core.rmem_max.
    if (!raised && setsockopt(socket, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes) != 0) return Failed(-1);
    int size = 0;
    socklen_t length = sizeof size;
    if (getsockopt(socket, SOL_SOCKET, SO_RCVBUF, &size, &length) != 0) return Failed(-1);
    return size;
}

int JoinGroup(SocketHandle socket, uint32_t group) { return Membership(socket, IP_ADD_MEMBERSHIP, group); }

int LeaveGroup(SocketHandle socket, uint32_t group) { return Membership(socket, IP_DROP_MEMBERSHIP, group); }

int BindAny(SocketHandle socket, uint16_t port) {
    sockaddr_in local = SocketAddress(INADDR_ANY, port);
    if (bind(socket, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0) return Failed(-1);
    return 0;
}

int Listen(SocketHandle socket, int backlog) {
    if (listen(socket, backlog) != 0) return Failed(-1);
    return 0;
}

int Connect(SocketHandle socket, uint32_t address, uint16_t port) {
    if (address == INADDR_ANY) {
        errno = EADDRNOTAVAIL;
        return Failed(-1);
    }
    sockaddr_in remote = SocketAddress(address, port);
    if (connect(socket, reinterpret_cast<const sockaddr *>(&remote), sizeof remote) != 0) return Failed(-1);
    return 0;
}

bool IsUnspecifiedAddress(const void *address) {
    const auto *any = static_cast<const sockaddr *>(address);
    if (any->sa_family == AF_INET)
        return static_cast<const sockaddr_in *>(address)->sin_addr.s_addr == htonl(INADDR_ANY);
    if (any->sa_family == AF_INET6)
        return IN6_IS_ADDR_UNSPECIFIED(&static_cast<const sockaddr_in6 *>(address)->sin6_addr);
    return false;
}

uint16_t BoundPort(SocketHandle socket) {
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (getsockname(socket, reinterpret_cast<sockaddr *>(&local), &length) != 0) return 0;
    return ntohs(local.sin_port);
}

long Send(SocketHandle socket, const void *data, size_t size) {
    ssize_t sent = send(socket, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent < 0) return Failed(-1L);
    return static_cast<long>(sent);
}

long SendTo(SocketHandle socket, const void *data, size_t size, uint32_t address, uint16_t port) {
    sockaddr_in remote = SocketAddress(address, port);
    ssize_t sent = sendto(socket, data, size, MSG_NOSIGNAL, reinterpret_cast<const sockaddr *>(&remote), sizeof remote);
    if (sent < 0) return Failed(-1L);
    return static_cast<long>(sent);
}

long Receive(SocketHandle socket, void *buffer, size_t size) {
    ssize_t received = recv(socket, buffer, size, 0);
    if (received < 0) return Failed(-1L);
    return static_cast<long>(received);
}

long ReceiveFrom(SocketHandle socket, void *buffer, size_t size) {
    sockaddr_in sender{};
    socklen_t length = sizeof sender;
    ssize_t received = recvfrom(socket, buffer, size, 0, reinterpret_cast<sockaddr *>(&sender), &length);
    if (received < 0) return Failed(-1L);
    return static_cast<long>(received);
}

void ShutdownReceive(SocketHandle socket) {
    if (socket != kInvalidSocket) shutdown(socket, SHUT_RD);
}

int WaitReadable(SocketHandle socket, int milliseconds) { return WaitFor(socket, POLLIN, milliseconds); }

int WaitWritable(SocketHandle socket, int milliseconds) { return WaitFor(socket, POLLOUT, milliseconds); }

bool HostName(char (&name)[256]) {
    std::memset(name, 0, sizeof name);
    if (gethostname(name, sizeof name - 1) != 0) return false;
    name[sizeof name - 1] = '\0';
    return true;
}

bool ResolveIPv4(const char *name, std::vector<uint32_t> &addresses) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM; // one entry per address, not one per socket type
    addrinfo *found = nullptr;
    if (name == nullptr || getaddrinfo(name, nullptr, &hints, &found) != 0) return false;
    addresses.clear();
    for (const addrinfo *entry = found; entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET || entry->ai_addr == nullptr) continue;
        const auto *address = reinterpret_cast<const sockaddr_in *>(entry->ai_addr);
        addresses.push_back(ntohl(address->sin_addr.s_addr));
    }
    freeaddrinfo(found);
    return true;
}

} // namespace korvel::platform
