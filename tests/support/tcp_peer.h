// A one-connection TCP peer for tests: listens on an address of the test
// network, accepts one connection on its own thread and runs a script on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

namespace korvel::testing {

class TcpPeer {
public:
    using Script = std::function<void(int connection)>;

    // Listens on `address` ("127.0.0.1" by default), port `port` (0: any).
    explicit TcpPeer(Script script, const char *address = "127.0.0.1", uint16_t port = 0);
    ~TcpPeer(); // waits for the script to end
    TcpPeer(const TcpPeer &) = delete;
    TcpPeer &operator=(const TcpPeer &) = delete;

    // Waits until the script has ended.
    void Join();

    uint16_t Port() const { return port_; }
    uint32_t Address() const { return address_; } // host order

    // Helpers for scripts on blocking sockets.
    static bool SendAll(int connection, const void *data, size_t size);
    static bool ReceiveAll(int connection, void *buffer, size_t size);
    static std::string ReceiveFrame(int connection); // "" when none arrives
    static bool SendFrame(int connection, const std::string &payload);

private:
    int listener_ = -1;
    uint16_t port_ = 0;
    uint32_t address_ = 0;
    std::thread thread_;
};

} // namespace korvel::testing
