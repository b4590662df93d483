// The library's one datagram socket for discovery: bound to UDP port 50000 on
// every local address, joined to the group 224.0.1.2, sending to
// 224.0.1.2:50000, with a receive thread of its own that hands each datagram
// to the discovery handler.
//
// Threads: only the receive thread receives. Create, Send and Destroy come
// from callers, one at a time (the manager's MulticastState::serial). The
// socket mutex keeps a send off a socket that the receive thread closes after
// a receive error.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "net/socket_channel.h"

namespace korvel {

class Manager;

inline constexpr uint16_t kDiscoveryPort = 50000;
inline constexpr char kDiscoveryGroup[] = "224.0.1.2";
// The receive buffer; a receive takes at most one byte less, so the text
// always ends with a zero.
inline constexpr size_t kMulticastBufferSize = 1024;

class Multicast {
public:
    Multicast() = default;
    ~Multicast(); // Destroy()
    Multicast(const Multicast &) = delete;
    Multicast &operator=(const Multicast &) = delete;

    // Opens the channel (the local address only names it: the socket is bound
    // to 0.0.0.0 and joins on the default interface), sets the manager's
    // multicast-ready flag and starts the receive thread with the manager.
    // 0 at once when created already; -1 on failure (logged, flag cleared).
    int Create(const char *local_address, Manager &manager);
    // Waits up to 1 s for a datagram and receives at most 1023 bytes of it
    // into `buffer`: the count, 0 when nothing arrived, negative on failure.
    int Receive(char (&buffer)[kMulticastBufferSize]);
    // Sends `length` bytes to 224.0.1.2:50000: 0 when all were sent, else -1.
    int Send(const void *data, size_t length);
    // Ends the receive thread, once the caller has cleared multicast-ready:
    // wakes it from its receive wait and waits for it. Then leaves the group
    // and closes the socket. Always 0.
    int Destroy();
    // The receive thread's own end after a receive error: leaves the group,
    // closes the socket, clears the created mark. The ended thread is joined
    // by the next Create or Destroy.
    void CloseAfterReceiveError();

    bool Created() const { return created_.load(); }
    std::string LocalAddress() const;
    // The socket, for tests that provoke errors on it.
    platform::SocketHandle Socket() const;
    // The receive buffer size the system granted (0 before the first Create).
    int ReceiveBufferSize() const { return receive_buffer_size_.load(); }

private:
    int OpenSocketLocked(const char *local_address);
    void JoinReceiveThread();
    void WakeReceiveThread();

    mutable std::mutex socket_mutex_;
    SocketChannel channel_;
    char local_address_[16] = {0};
    std::thread receive_thread_;
    std::atomic<bool> created_{false};
    std::atomic<bool> waking_{false}; // the receive wait was ended on purpose
    std::atomic<int> receive_buffer_size_{0};
};

} // namespace korvel
