#include "discovery.h"

#include <arpa/inet.h>
#include <event2/event.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace talvo_sim {

namespace {

constexpr std::size_t kBurst = 50;               // datagrams per pacing tick
constexpr std::chrono::milliseconds kTick{5};
constexpr int kBufferBytes = 4 * 1024 * 1024;

[[noreturn]] void Fail(const char *what) {
    throw std::runtime_error(std::string("discovery socket: ") + what + ": " + std::strerror(errno));
}

sockaddr_in GroupAddress() {
    sockaddr_in group{};
    group.sin_family = AF_INET;
    group.sin_port = htons(kDiscoveryPort);
    inet_pton(AF_INET, kGroupAddress, &group.sin_addr);
    return group;
}

} // namespace

DiscoverySocket::DiscoverySocket(EventLoop &loop, RequestHandler &handler) : loop_(loop), handler_(handler) {}

DiscoverySocket::~DiscoverySocket() {
    if (readable_ != nullptr) event_free(readable_);
    if (fd_ >= 0) close(fd_);
}

void DiscoverySocket::Open() {
    fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) Fail("socket");
    int on = 1;
    if (setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0) Fail("address reuse");
    int bytes = kBufferBytes;
    setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
    setsockopt(fd_, SOL_SOCKET, SO_SNDBUF, &bytes, sizeof bytes);
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_port = htons(kDiscoveryPort);
    any.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(fd_, reinterpret_cast<sockaddr *>(&any), sizeof any) != 0) Fail("bind 0.0.0.0:50000");
    ip_mreq membership{};
    membership.imr_multiaddr = GroupAddress().sin_addr;
    membership.imr_interface.s_addr = htonl(INADDR_ANY);
    if (setsockopt(fd_, IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership, sizeof membership) != 0) Fail("join 224.0.1.2");
    unsigned char loop_back = 1, ttl = 1;
    setsockopt(fd_, IPPROTO_IP, IP_MULTICAST_LOOP, &loop_back, sizeof loop_back);
    setsockopt(fd_, IPPROTO_IP, IP_MULTICAST_TTL, &ttl, sizeof ttl);
    readable_ = event_new(loop_.Base(), fd_, EV_READ | EV_PERSIST, &DiscoverySocket::OnReadable, this);
    event_add(readable_, nullptr);
}

void DiscoverySocket::OnReadable(int fd, short, void *self) {
    auto *socket = static_cast<DiscoverySocket *>(self);
    char buffer[65536];
    for (;;) {
        sockaddr_in sender{};
        socklen_t length = sizeof sender;
        ssize_t got = recvfrom(fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr *>(&sender), &length);
        if (got < 0) return; // drained (or an error the next datagram will show again)
        char address[INET_ADDRSTRLEN] = "";
        inet_ntop(AF_INET, &sender.sin_addr, address, sizeof address);
        socket->handler_.OnDatagram(std::string(buffer, static_cast<std::size_t>(got)),
                                    std::string(address) + ":" + std::to_string(ntohs(sender.sin_port)));
    }
}

void DiscoverySocket::Send(std::string text) {
    if (fd_ < 0) return;
    outgoing_.push_back(std::move(text));
    if (pacing_) return;
    pacing_ = true;
    loop_.After(std::chrono::milliseconds(0), [this] { SendSome(); });
}

void DiscoverySocket::SendSome() {
    sockaddr_in group = GroupAddress();
    for (std::size_t sent = 0; sent < kBurst && !outgoing_.empty(); ++sent) {
        const std::string &text = outgoing_.front();
        ssize_t done = sendto(fd_, text.data(), text.size(), 0, reinterpret_cast<sockaddr *>(&group), sizeof group);
        if (done < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break; // try again next tick
        outgoing_.pop_front();
    }
    pacing_ = !outgoing_.empty();
    if (pacing_) loop_.After(kTick, [this] { SendSome(); });
}

} // namespace talvo_sim
