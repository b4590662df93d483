// One IPv4 socket with what it is, its options and both end addresses, and the
// operations the library needs of it: create, connect or join a multicast
// group, close, one raw receive, and the framed stream transfers (a 4-byte
// big-endian length, then that many payload bytes).
//
// Results are small integers (0 success, -1 failure, -2 try again), never the
// library's error codes; every failure is logged. A channel is used by one
// thread at a time, except that a datagram channel may send on one thread
// while another receives.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/sockets.h"

namespace korvel {

enum ChannelType : uint32_t {
    CHANNEL_CLIENT = 1,    // set by the TCP command client
    CHANNEL_DATAGRAM = 2,  // datagram socket; no connect
    CHANNEL_STREAM = 4,    // stream socket; the no-delay option applies
    CHANNEL_SERVER = 8,    // bound and listening; no connect, no group leave on close
    CHANNEL_MULTICAST = 16 // connecting joins the remote group
};

enum ChannelOption : uint32_t {
    OPTION_BLOCKING = 1,       // clear: non-blocking socket
    OPTION_REUSE_ADDRESS = 2,
    OPTION_NO_DELAY = 8,       // stream and server channels only
};

// Largest payload a frame may carry, and the receive buffer it needs.
constexpr size_t kMaxFramePayload = 4096;
// Largest datagram or stream piece ReceiveRaw takes.
constexpr size_t kRawReceiveSize = 1024;

class SocketChannel {
public:
    SocketChannel() = default;
    ~SocketChannel();
    SocketChannel(const SocketChannel &) = delete;
    SocketChannel &operator=(const SocketChannel &) = delete;

    // Opens, configures and binds the socket to 0.0.0.0:`port` (0: the system
    // chooses), and listens when it is a stream server. 0 or -1.
    int CreateChannel(uint32_t local_address, uint16_t port, uint32_t type, uint32_t options);
    static int SetChannelOptions(platform::SocketHandle socket, uint32_t type, uint32_t options);
    // Joins the group (multicast channels) and connects (stream clients).
    // 0, -1, or -2 after an error a later attempt may overcome.
    int ConnectChannel(uint32_t remote_address, uint16_t port);
    // Leaves a joined group, closes the socket. Always 0.
    int CloseChannel();

    // One receive of at most 1024 bytes (and at most `capacity`); the system
    // call's result unchanged.
    long ReceiveRaw(char *buffer, size_t capacity);
    // One datagram to the remote address and port; bytes sent or -1.
    long SendDatagram(const void *data, size_t size);

    // Sends one frame; the length on success, -1 on failure.
    int ZR01_TcpSend_API(const void *data, int length);
    // Receives one frame into `buffer` (not terminated); the payload length,
    // 0 when the peer closed or the length is 0 or too large for the buffer
    // (at most 4096), -1 on failure.
    int ZR01_TcpRecv_API(char *buffer, size_t capacity);

    // Waits with poll(): 1 readable, 0 timed out, -1 failed.
    int WaitReadable(int milliseconds) const;

    uint32_t Type() const { return type_; }
    uint32_t Options() const { return options_; }
    platform::SocketHandle Socket() const { return socket_; }
    uint32_t LocalAddress() const { return local_address_; }
    uint16_t LocalPort() const { return local_port_; }
    uint32_t RemoteAddress() const { return remote_address_; }
    uint16_t RemotePort() const { return remote_port_; }
    bool GroupJoined() const { return group_joined_; }

private:
    struct PhaseLines;
    int SendPhase(const uint8_t *bytes, size_t size, int budget, const PhaseLines &lines);
    int ReceivePhase(uint8_t *bytes, size_t size, int budget);
    long ReceiveLengthStart(uint8_t (&prefix)[4]);

    uint32_t type_ = 0;
    uint32_t options_ = 0;
    platform::SocketHandle socket_ = platform::kInvalidSocket;
    uint32_t local_address_ = 0;
    uint16_t local_port_ = 0;
    uint32_t remote_address_ = 0;
    uint16_t remote_port_ = 0;
    bool group_joined_ = false;
};

// Parses "a.b.c.d" (exactly three full stops) into a host-order value; parts
// that cannot be read count as 0 and parts are not range checked. 0 or -1.
int ParseIPv4(const char *text, uint32_t &address);

// Writes a host-order address as dotted text ("0.0.0.0" for 0).
void FormatIPv4(uint32_t address, char (&text)[16]);

// The host's own IPv4 addresses (host order), at most `count` of them; `count`
// becomes the number copied. 0 or -1.
int GetLocalAddresses(uint32_t &count, uint32_t *addresses);

} // namespace korvel
