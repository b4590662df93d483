// The reboot command service of one receiver on its address, port 50012:
// one length-framed JSON message in, one out, then the connection closes.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "decisions.h"
#include "event_loop.h"

struct evconnlistener;
struct bufferevent;
struct sockaddr;

namespace talvo_sim {

// A frame: 4-byte big-endian length, then the payload.
std::string Frame(const std::string &payload);
std::string FrameHeader(std::uint32_t length);

class TcpCommandServer {
public:
    static constexpr std::uint32_t kMaxPayload = 4096;

    TcpCommandServer(EventLoop &loop, RequestHandler &handler, std::string mac);
    ~TcpCommandServer();
    TcpCommandServer(const TcpCommandServer &) = delete;
    TcpCommandServer &operator=(const TcpCommandServer &) = delete;

    // Throws std::runtime_error when it cannot listen.
    void Open(const std::string &address, std::uint16_t port);
    void Close();
    // Closes every connection (those kept silent included).
    void DropConnections();

private:
    struct Connection;
    static void OnAccept(evconnlistener *listener, int fd, ::sockaddr *address, int length, void *self);
    static void OnRead(bufferevent *bev, void *connection);
    static void OnWritten(bufferevent *bev, void *connection);
    static void OnEvent(bufferevent *bev, short what, void *connection);
    void Answer(Connection &connection, const TcpDecision &decision);
    void Drop(Connection *connection);

    EventLoop &loop_;
    RequestHandler &handler_;
    std::string mac_;
    evconnlistener *listener_ = nullptr;
    std::map<Connection *, std::unique_ptr<Connection>> connections_;
};

} // namespace talvo_sim
