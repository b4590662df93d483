// The manager's side of the multicast channel: the channel itself, the
// multicast-ready flag, its lazy creation and its receive thread.
//
// multicast-ready marks the channel usable for senders and is the receive
// loop's run condition. It is set before the receive thread starts (the
// thread tests it first), cleared by a failed creation, by a failed send, by
// the receive thread after a receive error and at stop.
#pragma once

#include <atomic>
#include <mutex>

#include "net/multicast.h"

namespace korvel {

class Manager;

struct MulticastState {
    MulticastState() = default;
    ~MulticastState(); // stops a receive thread that still runs
    MulticastState(const MulticastState &) = delete;
    MulticastState &operator=(const MulticastState &) = delete;

    Multicast channel;
    std::atomic<bool> ready{false};
    // Held around every creation, send and destruction, so that two callers
    // never rebuild or tear down the channel under each other.
    std::mutex serial;
};

// Proof that the caller holds MulticastState::serial.
using MulticastHold = std::lock_guard<std::mutex>;

// 0 when the channel is usable (at once when it is already), -1 when it could
// not be created (logged "multicast create failed.").
int CheckAndCreateMulticastSocket(Manager &manager, const MulticastHold &);

// Stops the channel: clears multicast-ready, waits for the receive thread
// (at most one receive wait), leaves the group, closes the socket.
void StopMulticastChannel(Manager &manager, const MulticastHold &);

// The receive thread: hands each datagram to HandleMulticastMessage while
// multicast-ready is set; after a receive error it closes the channel and
// clears the flag, so the next discovery send rebuilds it. Returns 0.
int MulticastReceiveThread(Manager &manager);

} // namespace korvel
