#include "net/multicast_channel.h"

#include <cstring>
#include <exception>

#include "core/log.h"
#include "core/manager.h"
#include "net/discovery.h"

#define KORVEL_LOG_UNIT "Multicast"

namespace korvel {
namespace {

constexpr uint32_t kLocalAddressSlots = 16;

// Collects the host's addresses, logs each one and returns the first as
// dotted text ("0.0.0.0" when there is none).
void FirstLocalAddress(char (&first)[16]) {
    uint32_t addresses[kLocalAddressSlots] = {0};
    uint32_t count = kLocalAddressSlots;
    if (GetLocalAddresses(count, addresses) != 0) std::memset(addresses, 0, sizeof addresses);
    for (uint32_t slot = 0; slot < kLocalAddressSlots; ++slot) {
        if (addresses[slot] == 0) continue;
        char text[16];
        FormatIPv4(addresses[slot], text);
        Log("local ip[%d]:%s.", static_cast<int>(slot), text);
    }
    FormatIPv4(addresses[0], first);
}

} // namespace

MulticastState::~MulticastState() {
    ready = false;
    channel.Destroy();
}

int CheckAndCreateMulticastSocket(Manager &manager, const MulticastHold &) {
    MulticastState &multicast = manager.Channel();
    if (multicast.ready) return 0;
    char local[16];
    FirstLocalAddress(local);
    if (multicast.channel.Create(local, manager) != 0) {
        KLOG("[%s]:[%d] multicast create failed.");
        multicast.ready = false;
        return -1;
    }
    multicast.ready = true;
    return 0;
}

void StopMulticastChannel(Manager &manager, const MulticastHold &) {
    MulticastState &multicast = manager.Channel();
    multicast.ready = false;
    multicast.channel.Destroy();
}

int MulticastReceiveThread(Manager &manager) {
    MulticastState &multicast = manager.Channel();
    char buffer[kMulticastBufferSize] = {0};
    if (!multicast.ready) return 0;
    while (multicast.ready) {
        int received = multicast.channel.Receive(buffer);
        if (received > 0) {
            try {
                HandleMulticastMessage(manager, buffer);
            } catch (const std::exception &error) {
                KLOG("[%s]:[%d] handling a message failed: %s", error.what());
            }
        } else if (received < 0 && multicast.ready) {
            // Closed first, cleared second: a sender that finds the flag
            // clear then finds the channel closed too and rebuilds it.
            multicast.channel.CloseAfterReceiveError();
            multicast.ready = false;
        }
        std::memset(buffer, 0, sizeof buffer);
    }
    return 0;
}

} // namespace korvel
