// Inside of a Fleet: the receivers, their servers and the shared discovery
// socket around one event loop.
//
// Locking: `mutex` guards `nodes` and every Receiver in them, the datagram
// log and the random generator. The servers (libevent objects) are touched
// on the loop thread only; nodes are added and erased on the loop thread.
#pragma once

#include <atomic>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <string>

#include "decisions.h"
#include "discovery.h"
#include "event_loop.h"
#include "http_server.h"
#include "receiver.h"
#include "talvo_sim/fleet.h"
#include "tcp_command.h"

namespace talvo_sim {

struct Node {
    Receiver receiver;
    std::unique_ptr<HttpServer> http;
    std::unique_ptr<TcpCommandServer> tcp;
    std::uint64_t reboot_generation = 0; // a newer presence change cancels a pending comeback
};

struct Fleet::Impl : RequestHandler {
    explicit Impl(FleetOptions options);

    FleetOptions options;
    EventLoop loop;
    mutable std::mutex mutex;
    std::map<std::string, std::unique_ptr<Node>> nodes; // key: lower-case MAC
    std::deque<DatagramRecord> datagrams;
    std::mt19937_64 random;
    std::atomic<std::uint64_t> answered{0};
    std::unique_ptr<DiscoverySocket> discovery;
    bool started = false;
    bool stopped = false;

    // Needs `mutex` held. Throws std::out_of_range for an unknown MAC.
    Node &Find(const std::string &mac) const;
    // Locks, finds the receiver and runs `change` on it.
    template <typename Change> auto WithReceiver(const std::string &mac, Change change) const {
        std::lock_guard<std::mutex> lock(mutex);
        return change(Find(mac).receiver);
    }
    template <typename Change> auto WithReceiver(const std::string &mac, Change change) {
        std::lock_guard<std::mutex> lock(mutex);
        return change(Find(mac).receiver);
    }

    // Requests (request_handling.cpp), on the loop thread.
    HttpDecision OnHttp(const std::string &mac, RequestRecord record, bool upload_well_formed) override;
    TcpDecision OnTcp(const std::string &mac, const std::string &payload) override;
    void OnEffect(const std::string &mac, Effect effect) override;
    void OnDatagram(const std::string &text, const std::string &sender) override;

    // Presence (presence.cpp), on the loop thread.
    void OpenServers(Node &node);
    void CloseServers(Node &node);
    void GoOffline(const std::string &mac, Presence presence);
    void ComeBack(const std::string &mac, bool rebooted);
    void StartReboot(const std::string &mac);
    void SendAnnouncement(const std::string &mac, const std::string &message_name);

    // Demo activity (activity.cpp), on the loop thread.
    void ScheduleActivity();
    void StirActivity();
};

} // namespace talvo_sim
