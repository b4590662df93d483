// The fleet's one discovery socket: UDP port 50000 on every address, with
// address reuse, joined to 224.0.1.2. Answers go to the group, so every
// program on this host bound to port 50000 receives them. Sends are paced
// so that a thousand answers to one search do not overflow a receive buffer.
#pragma once

#include <deque>
#include <string>

#include "decisions.h"
#include "event_loop.h"

struct event;

namespace talvo_sim {

inline constexpr const char *kGroupAddress = "224.0.1.2";
inline constexpr unsigned short kDiscoveryPort = 50000;

class DiscoverySocket {
public:
    DiscoverySocket(EventLoop &loop, RequestHandler &handler);
    ~DiscoverySocket();
    DiscoverySocket(const DiscoverySocket &) = delete;
    DiscoverySocket &operator=(const DiscoverySocket &) = delete;

    // Throws std::runtime_error when the socket cannot be set up.
    void Open();
    // Queues a datagram for the group (loop thread only).
    void Send(std::string text);

private:
    static void OnReadable(int fd, short, void *self);
    void SendSome();

    EventLoop &loop_;
    RequestHandler &handler_;
    int fd_ = -1;
    event *readable_ = nullptr;
    std::deque<std::string> outgoing_;
    bool pacing_ = false;
};

} // namespace talvo_sim
