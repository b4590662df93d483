#include "tcp_command.h"

#include <arpa/inet.h>
#include <event2/buffer.h>
#include <event2/bufferevent.h>
#include <event2/listener.h>
#include <netinet/in.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace talvo_sim {

struct TcpCommandServer::Connection {
    TcpCommandServer *server;
    bufferevent *bev;
    EventLoop::TimerId timer = 0;
    bool answered = false; // a request was read; later bytes are ignored
};

std::string FrameHeader(std::uint32_t length) {
    std::uint32_t network = htonl(length);
    return std::string(reinterpret_cast<const char *>(&network), 4);
}

std::string Frame(const std::string &payload) {
    return FrameHeader(static_cast<std::uint32_t>(payload.size())) + payload;
}

TcpCommandServer::TcpCommandServer(EventLoop &loop, RequestHandler &handler, std::string mac)
    : loop_(loop), handler_(handler), mac_(std::move(mac)) {}

TcpCommandServer::~TcpCommandServer() { Close(); }

void TcpCommandServer::Open(const std::string &address, std::uint16_t port) {
    if (listener_ != nullptr) return;
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(port);
    if (inet_pton(AF_INET, address.c_str(), &where.sin_addr) != 1) {
        throw std::runtime_error("not an IPv4 address: " + address);
    }
    listener_ = evconnlistener_new_bind(loop_.Base(), &TcpCommandServer::OnAccept, this,
                                        LEV_OPT_CLOSE_ON_FREE | LEV_OPT_REUSEABLE | LEV_OPT_CLOSE_ON_EXEC, 64,
                                        reinterpret_cast<sockaddr *>(&where), sizeof where);
    if (listener_ == nullptr) {
        throw std::runtime_error("cannot listen on " + address + ":" + std::to_string(port) + ": " +
                                 std::strerror(errno));
    }
}

void TcpCommandServer::Close() {
    if (listener_ != nullptr) {
        evconnlistener_free(listener_);
        listener_ = nullptr;
    }
    DropConnections();
}

void TcpCommandServer::DropConnections() {
    while (!connections_.empty()) Drop(connections_.begin()->first);
}

void TcpCommandServer::Drop(Connection *connection) {
    auto found = connections_.find(connection);
    if (found == connections_.end()) return;
    loop_.Cancel(connection->timer);
    bufferevent_free(connection->bev);
    connections_.erase(found);
}

void TcpCommandServer::OnAccept(evconnlistener *, int fd, ::sockaddr *, int, void *self) {
    auto *server = static_cast<TcpCommandServer *>(self);
    bufferevent *bev = bufferevent_socket_new(server->loop_.Base(), fd, BEV_OPT_CLOSE_ON_FREE);
    if (bev == nullptr) {
        close(fd);
        return;
    }
    auto connection = std::make_unique<Connection>(Connection{server, bev});
    bufferevent_setcb(bev, &TcpCommandServer::OnRead, nullptr, &TcpCommandServer::OnEvent, connection.get());
    bufferevent_enable(bev, EV_READ | EV_WRITE);
    server->connections_[connection.get()] = std::move(connection);
}

void TcpCommandServer::OnRead(bufferevent *bev, void *arg) {
    auto *connection = static_cast<Connection *>(arg);
    TcpCommandServer *server = connection->server;
    evbuffer *input = bufferevent_get_input(bev);
    if (connection->answered) {
        evbuffer_drain(input, evbuffer_get_length(input));
        return;
    }
    if (evbuffer_get_length(input) < 4) return;
    std::uint32_t network = 0;
    evbuffer_copyout(input, &network, 4);
    std::uint32_t length = ntohl(network);
    if (length == 0 || length > kMaxPayload) { // not a frame a receiver takes
        server->Drop(connection);
        return;
    }
    if (evbuffer_get_length(input) < 4 + length) return;
    evbuffer_drain(input, 4);
    std::string payload(length, '\0');
    evbuffer_remove(input, payload.data(), length);
    connection->answered = true;
    TcpDecision decision = server->handler_.OnTcp(server->mac_, payload);
    if (decision.action == TcpDecision::Action::Reply && decision.delay.count() > 0) {
        connection->timer = server->loop_.After(decision.delay, [server, connection, decision] {
            connection->timer = 0;
            server->Answer(*connection, decision);
        });
        return;
    }
    server->Answer(*connection, decision);
}

void TcpCommandServer::Answer(Connection &connection, const TcpDecision &decision) {
    switch (decision.action) {
    case TcpDecision::Action::Silence:
        return;
    case TcpDecision::Action::Close:
        Drop(&connection);
        return;
    case TcpDecision::Action::Reply:
        bufferevent_write(connection.bev, decision.frame.data(), decision.frame.size());
        bufferevent_setcb(connection.bev, &TcpCommandServer::OnRead, &TcpCommandServer::OnWritten,
                          &TcpCommandServer::OnEvent, &connection);
        if (decision.effect != Effect::None) handler_.OnEffect(mac_, decision.effect);
        return;
    }
}

// The answer is out: close, as the command expects one frame each way.
void TcpCommandServer::OnWritten(bufferevent *bev, void *arg) {
    auto *connection = static_cast<Connection *>(arg);
    if (evbuffer_get_length(bufferevent_get_output(bev)) == 0) connection->server->Drop(connection);
}

void TcpCommandServer::OnEvent(bufferevent *, short what, void *arg) {
    auto *connection = static_cast<Connection *>(arg);
    if (what & (BEV_EVENT_EOF | BEV_EVENT_ERROR)) connection->server->Drop(connection);
}

} // namespace talvo_sim
