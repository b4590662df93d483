#include "net/socket_channel.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "core/log.h"

#define KORVEL_LOG_UNIT "Socket"

namespace korvel {

using platform::SocketError;

namespace {

constexpr int kWaitMilliseconds = 500;
constexpr int kHeaderSendRetries = 2;
constexpr int kBodySendRetries = 5;
constexpr int kReceiveRetries = 6;
constexpr int kLengthStartRetries = 300;
constexpr auto kLengthStartPause = std::chrono::seconds(10);
constexpr int kListenBacklog = 20;
constexpr int kMulticastTtl = 32;

bool IsRetryable(SocketError error) {
    return error == SocketError::kInterrupted || error == SocketError::kTryAgain;
}

bool MayConnectLater(SocketError error) {
    switch (error) {
    case SocketError::kNetUnreachable:
    case SocketError::kRefused:
    case SocketError::kTryAgain:
    case SocketError::kInProgress:
    case SocketError::kAddressInUse:
    case SocketError::kTimedOut:
        return true;
    default:
        return false;
    }
}

} // namespace

struct SocketChannel::PhaseLines {
    const char *timeout;
    const char *timeout_return;
    const char *wait_error;
    const char *send_error;
};

SocketChannel::~SocketChannel() { CloseChannel(); }

int SocketChannel::SetChannelOptions(platform::SocketHandle socket, uint32_t type, uint32_t options) {
    if (platform::SetNonBlocking(socket, (options & OPTION_BLOCKING) == 0) != 0) {
        KLOG("[%s]:[%d] set non-block socket failed.\n");
        return -1;
    }
    if (platform::SetReuseAddress(socket, (options & OPTION_REUSE_ADDRESS) != 0) != 0) {
        KLOG("[%s]:[%d] set reused socket failed.\n");
        return -1;
    }
    if ((type & (CHANNEL_STREAM | CHANNEL_SERVER)) != 0 &&
        platform::SetNoDelay(socket, (options & OPTION_NO_DELAY) != 0) != 0) {
        KLOG("[%s]:[%d] set tcp nodelay failed.\n");
        return -1;
    }
    return 0;
}

int SocketChannel::CreateChannel(uint32_t local_address, uint16_t port, uint32_t type, uint32_t options) {
    const bool datagram = (type & CHANNEL_DATAGRAM) != 0;
    platform::SocketHandle socket = platform::OpenSocket(datagram);
    if (socket == platform::kInvalidSocket) {
        KLOG("[%s]:[%d] socket failed.\n");
        return -1;
    }
    auto fail = [socket](int result) {
        platform::CloseSocket(socket);
        return result;
    };
    if (SetChannelOptions(socket, type, options) != 0) {
        KLOG("[%s]:[%d] set socket property failed.\n");
        return fail(-1);
    }
    if (platform::BindAny(socket, port) != 0) {
        KLOG("[%s]:[%d] bind socket failed.\n");
        return fail(-1);
    }
    if ((type & CHANNEL_SERVER) != 0 && !datagram && platform::Listen(socket, kListenBacklog) != 0) {
        KLOG("[%s]:[%d] listen failed.\n");
        return fail(-1);
    }
    CloseChannel(); // a channel holds one socket
    local_address_ = local_address;
    local_port_ = port != 0 ? port : platform::BoundPort(socket);
    socket_ = socket;
    type_ = type;
    options_ = options;
    return 0;
}

int SocketChannel::ConnectChannel(uint32_t remote_address, uint16_t port) {
    if ((type_ & CHANNEL_MULTICAST) != 0) {
        if (platform::JoinGroup(socket_, remote_address) != 0) {
            KLOG("[%s]:[%d] set socket property failed.\n");
            return -1;
        }
        group_joined_ = true;
        if (platform::SetMulticastTtl(socket_, kMulticastTtl) != 0) {
            KLOG("[%s]:[%d] setsockopt ttl failed.\n");
            return -1;
        }
    }
    if ((type_ & (CHANNEL_DATAGRAM | CHANNEL_SERVER)) == 0 &&
        platform::Connect(socket_, remote_address, port) != 0) {
        if (MayConnectLater(platform::LastSocketError())) {
            KLOG("[%s]:[%d] connect error, try again!\n");
            return -2;
        }
        KLOG("[%s]:[%d] connect failed.\n");
        return -1;
    }
    remote_address_ = remote_address;
    remote_port_ = port;
    return 0;
}

int SocketChannel::CloseChannel() {
    if (group_joined_ && (type_ & CHANNEL_MULTICAST) != 0 && (type_ & CHANNEL_SERVER) == 0) {
        platform::LeaveGroup(socket_, remote_address_);
    }
    group_joined_ = false;
    platform::CloseSocket(socket_);
    socket_ = platform::kInvalidSocket;
    return 0;
}

long SocketChannel::ReceiveRaw(char *buffer, size_t capacity) {
    size_t limit = capacity < kRawReceiveSize ? capacity : kRawReceiveSize;
    if ((type_ & CHANNEL_DATAGRAM) != 0) return platform::ReceiveFrom(socket_, buffer, limit);
    return platform::Receive(socket_, buffer, limit);
}

long SocketChannel::SendDatagram(const void *data, size_t size) {
    return platform::SendTo(socket_, data, size, remote_address_, remote_port_);
}

int SocketChannel::WaitReadable(int milliseconds) const { return platform::WaitReadable(socket_, milliseconds); }

// Sends `size` bytes, waiting up to 0.5 s for room before each send; time-outs
// and interrupted sends share `budget`. A short send goes on with the bytes
// that are left, so the peer never sees a byte twice. 0 or -1.
int SocketChannel::SendPhase(const uint8_t *bytes, size_t size, int budget, const PhaseLines &lines) {
    size_t done = 0;
    int spent = 0;
    while (done < size) {
        int ready = platform::WaitWritable(socket_, kWaitMilliseconds);
        if (ready < 0) {
            KLOG(lines.wait_error);
            return -1;
        }
        if (ready == 0) {
            KLOG(lines.timeout);
            if (++spent >= budget) {
                KLOG(lines.timeout_return);
                return -1;
            }
            continue;
        }
        long sent = platform::Send(socket_, bytes + done, size - done);
        if (sent < 0) {
            if (!IsRetryable(platform::LastSocketError())) return -1;
            if (++spent >= budget) {
                KLOG(lines.send_error);
                return -1;
            }
            continue;
        }
        done += static_cast<size_t>(sent);
    }
    return 0;
}

int SocketChannel::ZR01_TcpSend_API(const void *data, int length) {
    if (length < 0 || (length > 0 && data == nullptr)) return -1;
    static const PhaseLines header_lines{
        "[%s]:[%d] ZR01_TcpSend_API select timeout\n", "[%s]:[%d] ZR01_TcpSend_API timeout return\n",
        "[%s]:[%d] ZR01_TcpSend_API select err\n", "[%s]:[%d] ZR01_TcpSend_API0 err\n"};
    static const PhaseLines body_lines{
        "[%s]:[%d] ZR01_TcpSend_API select2 timeout\n", "[%s]:[%d] ZR01_TcpSend_API timeout2 return\n",
        "[%s]:[%d] ZR01_TcpSend_API select2 err\n", "[%s]:[%d] ZR01_TcpSend_API1 err\n"};
    const uint32_t size = static_cast<uint32_t>(length);
    const uint8_t header[4] = {static_cast<uint8_t>(size >> 24), static_cast<uint8_t>(size >> 16),
                               static_cast<uint8_t>(size >> 8), static_cast<uint8_t>(size)};
    if (SendPhase(header, sizeof header, kHeaderSendRetries, header_lines) != 0) return -1;
    if (length < 1) return length;
    if (SendPhase(static_cast<const uint8_t *>(data), size, kBodySendRetries, body_lines) != 0) return -1;
    return length;
}

// Receives `size` bytes, waiting up to 0.5 s for data before each receive;
// time-outs and interrupted receives share `budget`. 1 complete, 0 the peer
// closed, -1 failure.
int SocketChannel::ReceivePhase(uint8_t *bytes, size_t size, int budget) {
    size_t done = 0;
    int spent = 0;
    while (done < size) {
        int ready = platform::WaitReadable(socket_, kWaitMilliseconds);
        if (ready < 0) {
            KLOG("[%s]:[%d] :ZR01_TcpRecv_API select err\n");
            return -1;
        }
        if (ready == 0) {
            KLOG("[%s]:[%d] ZR01_TcpRecv_API select timeout\n");
            if (++spent >= budget) {
                KLOG("[%s]:[%d] :ZR01_TcpRecv_API timeout return\n");
                return -1;
            }
            continue;
        }
        long received = platform::Receive(socket_, bytes + done, size - done);
        if (received == 0) return 0;
        if (received < 0) {
            if (!IsRetryable(platform::LastSocketError())) return -1;
            if (++spent >= budget) {
                KLOG("[%s]:[%d] ZR01_TcpRecv_API1 err\n");
                return -1;
            }
            continue;
        }
        done += static_cast<size_t>(received);
    }
    return 1;
}

// The first receive of a length prefix: the bytes received (1 to 4), 0 when
// the peer closed, -1 on failure. An interrupted or not yet possible receive
// is repeated after a pause of ten seconds, at most 300 times.
long SocketChannel::ReceiveLengthStart(uint8_t (&prefix)[4]) {
    for (int attempt = 1;; ++attempt) {
        long received = platform::Receive(socket_, prefix, sizeof prefix);
        if (received >= 0) return received;
        if (!IsRetryable(platform::LastSocketError())) return -1;
        if (attempt >= kLengthStartRetries) {
            KLOG("[%s]:[%d] ZR01_TcpRecv_API0 err\n");
            return -1;
        }
        std::this_thread::sleep_for(kLengthStartPause);
    }
}

int SocketChannel::ZR01_TcpRecv_API(char *buffer, size_t capacity) {
    if (buffer == nullptr) return -1;
    uint8_t prefix[4] = {0, 0, 0, 0};
    long received = ReceiveLengthStart(prefix);
    if (received <= 0) return static_cast<int>(received);
    if (received < static_cast<long>(sizeof prefix)) {
        // A prefix that arrives in pieces is completed before it is decoded.
        int completed = ReceivePhase(prefix + received, sizeof prefix - static_cast<size_t>(received),
                                     kReceiveRetries);
        if (completed <= 0) return completed;
    }
    const uint32_t length = (uint32_t{prefix[0]} << 24) | (uint32_t{prefix[1]} << 16) |
                            (uint32_t{prefix[2]} << 8) | uint32_t{prefix[3]};
    const size_t limit = capacity < kMaxFramePayload ? capacity : kMaxFramePayload;
    if (length == 0 || length > limit) {
        KLOG("[%s]:[%d] ZR01_TcpRecv_API err recv_len %d\n", static_cast<int>(length));
        return 0;
    }
    int completed = ReceivePhase(reinterpret_cast<uint8_t *>(buffer), length, kReceiveRetries);
    if (completed <= 0) return completed;
    return static_cast<int>(length);
}

int ParseIPv4(const char *text, uint32_t &address) {
    address = 0;
    if (text == nullptr) return -1;
    int stops = 0;
    for (const char *p = text; *p != '\0'; ++p) stops += *p == '.' ? 1 : 0;
    if (stops != 3) return -1;
    // Reads like "%d.%d.%d.%d": parts after the first that cannot be read stay 0.
    uint32_t parts[4] = {0, 0, 0, 0};
    const char *position = text;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (*position != '.') break;
            ++position;
        }
        char *end = nullptr;
        long value = std::strtol(position, &end, 10);
        if (end == position) break;
        parts[i] = static_cast<uint32_t>(value);
        position = end;
    }
    address = ((parts[0] * 256u + parts[1]) * 256u + parts[2]) * 256u + parts[3];
    return 0;
}

void FormatIPv4(uint32_t address, char (&text)[16]) {
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", (address >> 24) & 0xFFu, (address >> 16) & 0xFFu,
                  (address >> 8) & 0xFFu, address & 0xFFu);
}

int GetLocalAddresses(uint32_t &count, uint32_t *addresses) {
    char name[256];
    if (!platform::HostName(name)) {
        KLOG("[%s]:[%d] fail to get host name.");
        return -1;
    }
    std::vector<uint32_t> found;
    if (!platform::ResolveIPv4(name, found)) {
        KLOG("[%s]:[%d] gethostbyname fail!");
        return -1;
    }
    uint32_t copied = 0;
    for (uint32_t address : found) {
        if (copied >= count || addresses == nullptr) break;
        addresses[copied++] = address;
    }
    count = copied;
    return 0;
}

} // namespace korvel
