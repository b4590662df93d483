#include "tcp_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace korvel::testing {

TcpPeer::TcpPeer(Script script, const char *address, uint16_t port) {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0) throw std::runtime_error("socket");
    int on = 1;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    inet_pton(AF_INET, address, &local.sin_addr);
    if (bind(listener_, reinterpret_cast<sockaddr *>(&local), sizeof local) != 0 || listen(listener_, 4) != 0) {
        close(listener_);
        throw std::runtime_error("bind/listen");
    }
    socklen_t length = sizeof local;
    getsockname(listener_, reinterpret_cast<sockaddr *>(&local), &length);
    port_ = ntohs(local.sin_port);
    address_ = ntohl(local.sin_addr.s_addr);
    thread_ = std::thread([this, script = std::move(script)] {
        // Waits at most 30 s for the connection, so a test that never
        // connects does not hang.
        pollfd entry{listener_, POLLIN, 0};
        if (poll(&entry, 1, 30000) != 1) return;
        int connection = accept(listener_, nullptr, nullptr);
        if (connection < 0) return;
        script(connection);
        close(connection);
    });
}

TcpPeer::~TcpPeer() {
    Join();
    close(listener_);
}

void TcpPeer::Join() {
    if (thread_.joinable()) thread_.join();
}

bool TcpPeer::SendAll(int connection, const void *data, size_t size) {
    const char *bytes = static_cast<const char *>(data);
    while (size > 0) {
        ssize_t sent = send(connection, bytes, size, MSG_NOSIGNAL);
        if (sent <= 0) return false;
        bytes += sent;
        size -= static_cast<size_t>(sent);
    }
    return true;
}

bool TcpPeer::ReceiveAll(int connection, void *buffer, size_t size) {
    char *bytes = static_cast<char *>(buffer);
    while (size > 0) {
        ssize_t received = recv(connection, bytes, size, 0);
        if (received <= 0) return false;
        bytes += received;
        size -= static_cast<size_t>(received);
    }
    return true;
}

std::string TcpPeer::ReceiveFrame(int connection) {
    unsigned char prefix[4];
    if (!ReceiveAll(connection, prefix, sizeof prefix)) return "";
    uint32_t length = (uint32_t{prefix[0]} << 24) | (uint32_t{prefix[1]} << 16) | (uint32_t{prefix[2]} << 8) |
                      uint32_t{prefix[3]};
    if (length > (1u << 20)) return "";
    std::string payload(length, '\0');
    if (!ReceiveAll(connection, payload.data(), length)) return "";
    return payload;
}

bool TcpPeer::SendFrame(int connection, const std::string &payload) {
    uint32_t length = static_cast<uint32_t>(payload.size());
    unsigned char prefix[4] = {static_cast<unsigned char>(length >> 24), static_cast<unsigned char>(length >> 16),
                               static_cast<unsigned char>(length >> 8), static_cast<unsigned char>(length)};
    return SendAll(connection, prefix, 4) && SendAll(connection, payload.data(), payload.size());
}

} // namespace korvel::testing
