#include "net/multicast.h"

#include <cstring>
#include <system_error>

#include "core/log.h"
#include "core/manager.h"
#include "core/text.h"
#include "net/multicast_channel.h"

#define KORVEL_LOG_UNIT "Multicast"

namespace korvel {
namespace {

constexpr uint32_t kChannelType = CHANNEL_MULTICAST | CHANNEL_DATAGRAM;       // 18
constexpr uint32_t kChannelOptions = OPTION_REUSE_ADDRESS | OPTION_NO_DELAY; // 10: non-blocking, address reuse
constexpr int kReceiveWaitMilliseconds = 1000;

// A search makes every receiver answer at once: a fleet of a thousand sends
// a thousand datagrams within a few milliseconds. The kernel keeps about a
// kilobyte per queued datagram, so the usual default of some 200 KB would
// drop most of the burst before the receive thread takes it. 4 MB (which the
// system doubles for its own book-keeping) holds several thousand answers.
constexpr int kWantedReceiveBuffer = 4 * 1024 * 1024;

} // namespace

Multicast::~Multicast() { Destroy(); }

std::string Multicast::LocalAddress() const {
    std::lock_guard<std::mutex> lock(socket_mutex_);
    return local_address_;
}

platform::SocketHandle Multicast::Socket() const {
    std::lock_guard<std::mutex> lock(socket_mutex_);
    return channel_.Socket();
}

// Without the wake the thread would notice the cleared flag only when its
// receive wait of 1 s runs out.
void Multicast::WakeReceiveThread() {
    std::lock_guard<std::mutex> lock(socket_mutex_);
    if (!created_ || !receive_thread_.joinable()) return;
    waking_ = true;
    platform::ShutdownReceive(channel_.Socket());
}

void Multicast::JoinReceiveThread() {
    if (receive_thread_.joinable()) receive_thread_.join();
}

// Steps 2 and 3 of Create: the socket, bound and joined. 0 or -1 (logged).
int Multicast::OpenSocketLocked(const char *local_address) {
    uint32_t local = 0;
    ParseIPv4(local_address, local);
    if (channel_.CreateChannel(local, kDiscoveryPort, kChannelType, kChannelOptions) != 0) {
        KLOG("[%s]:[%d] create socket failed!");
        return -1;
    }
    CopyText(local_address_, local_address);
    receive_buffer_size_ = platform::RaiseReceiveBuffer(channel_.Socket(), kWantedReceiveBuffer);
    uint32_t group = 0;
    ParseIPv4(kDiscoveryGroup, group);
    if (channel_.ConnectChannel(group, kDiscoveryPort) != 0) {
        KLOG("[%s]:[%d] Connect socket failed!");
        channel_.CloseChannel();
        return -1;
    }
    return 0;
}

int Multicast::Create(const char *local_address, Manager &manager) {
    if (created_) return 0;
    // A thread that ended after a receive error clears multicast-ready on its
    // way out; it must be gone before the flag is set for the new one.
    JoinReceiveThread();
    std::atomic<bool> &ready = manager.Channel().ready;
    {
        std::lock_guard<std::mutex> lock(socket_mutex_);
        if (OpenSocketLocked(local_address) != 0) return -1;
        waking_ = false;
        created_ = true; // the thread's first receive checks it
    }
    ready = true; // the thread's run condition, tested first
    try {
        receive_thread_ = std::thread([&manager] { MulticastReceiveThread(manager); });
    } catch (const std::system_error &) {
        KLOG("[%s]:[%d] create thread failed.");
        ready = false;
        std::lock_guard<std::mutex> lock(socket_mutex_);
        channel_.CloseChannel();
        created_ = false;
        return -1;
    }
    KLOG("[%s]:[%d] multicast create success.");
    return 0;
}

int Multicast::Receive(char (&buffer)[kMulticastBufferSize]) {
    if (!created_) {
        KLOG("[%s]:[%d] not created!");
        return -1;
    }
    int ready = channel_.WaitReadable(kReceiveWaitMilliseconds);
    if (ready < 0) {
        KLOG("[%s]:[%d] select failed.");
        return -1;
    }
    if (ready == 0) return 0;
    long received = channel_.ReceiveRaw(buffer, kMulticastBufferSize - 1);
    if (received < 0) {
        // A datagram announced by the wait may still be gone (a bad checksum
        // drops it late): that is no failure of the socket.
        platform::SocketError error = platform::LastSocketError();
        if (error == platform::SocketError::kTryAgain || error == platform::SocketError::kInterrupted) return 0;
        KLOG("[%s]:[%d] socket receive data failed.");
        return static_cast<int>(received);
    }
    if (received == 0) {
        if (!waking_) KLOG("[%s]:[%d] no data received.");
        return 0;
    }
    return static_cast<int>(received);
}

int Multicast::Send(const void *data, size_t length) {
    if (!created_) {
        KLOG("[%s]:[%d] not created!");
        return -1;
    }
    long sent = -1;
    {
        std::lock_guard<std::mutex> lock(socket_mutex_);
        if (created_) sent = channel_.SendDatagram(data, length);
    }
    if (sent < 0 || static_cast<size_t>(sent) != length) {
        KLOG("[%s]:[%d] send data to multicast failed.");
        return -1;
    }
    return 0;
}

int Multicast::Destroy() {
    WakeReceiveThread();
    JoinReceiveThread();
    std::lock_guard<std::mutex> lock(socket_mutex_);
    if (!created_) return 0;
    channel_.CloseChannel();
    created_ = false;
    return 0;
}

void Multicast::CloseAfterReceiveError() {
    std::lock_guard<std::mutex> lock(socket_mutex_);
    channel_.CloseChannel();
    created_ = false;
}

} // namespace korvel
