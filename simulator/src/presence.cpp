// A receiver coming and going: off the network, unresponsive, rebooting,
// back again. Runs on the loop thread.
#include <cstdio>

#include "announcement.h"
#include "fleet_impl.h"

namespace talvo_sim {

namespace {

constexpr std::uint16_t kHttpPort = 80;
constexpr std::uint16_t kCommandPort = 50012;
// Time for an answer to leave before its receiver goes away.
constexpr std::chrono::milliseconds kAnswerFlush{100};

} // namespace

void Fleet::Impl::OpenServers(Node &node) {
    std::string address = node.receiver.config.address;
    if (!node.http) node.http = std::make_unique<HttpServer>(loop, *this, node.receiver.config.mac);
    if (!node.tcp) node.tcp = std::make_unique<TcpCommandServer>(loop, *this, node.receiver.config.mac);
    try {
        node.http->Open(address, kHttpPort);
        node.tcp->Open(address, kCommandPort);
    } catch (...) {
        CloseServers(node);
        throw;
    }
}

void Fleet::Impl::CloseServers(Node &node) {
    if (node.http) node.http->Close();
    if (node.tcp) node.tcp->Close();
}

void Fleet::Impl::GoOffline(const std::string &mac, Presence presence) {
    Node *node = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex);
        node = &Find(mac);
        node->receiver.presence = presence;
        ++node->reboot_generation;
        if (presence != Presence::Unresponsive) node->receiver.sessions.clear();
    }
    if (presence != Presence::Unresponsive) CloseServers(*node);
}

void Fleet::Impl::ComeBack(const std::string &mac, bool rebooted) {
    Node *node = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex);
        node = &Find(mac);
        Receiver &r = node->receiver;
        ++node->reboot_generation;
        r.presence = Presence::Online;
        if (rebooted) {
            r.SetRunTime(0, Clock::now());
            r.sessions.clear();
            ++r.reboots;
            if (r.config.state == "standby") r.config.state = "idle";
        }
    }
    // Unresponsive connections are given up; servers closed by going
    // offline listen again.
    if (node->http) node->http->DropHeld();
    if (node->tcp) node->tcp->DropConnections();
    try {
        OpenServers(*node);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "talvo-receiver-sim: %s stays offline: %s\n", mac.c_str(), error.what());
        std::lock_guard<std::mutex> lock(mutex);
        node->receiver.presence = Presence::Offline;
        return;
    }
    SendAnnouncement(mac, "DeviceOnline");
}

void Fleet::Impl::StartReboot(const std::string &mac) {
    GoOffline(mac, Presence::Rebooting);
    std::uint64_t generation = 0;
    {
        std::lock_guard<std::mutex> lock(mutex);
        generation = Find(mac).reboot_generation;
    }
    loop.After(std::chrono::duration_cast<std::chrono::milliseconds>(options.reboot_time), [this, mac, generation] {
        bool current = false;
        {
            std::lock_guard<std::mutex> lock(mutex);
            auto node = nodes.find(LowerCase(mac));
            current = node != nodes.end() && node->second->reboot_generation == generation;
        }
        if (current) ComeBack(mac, true);
    });
}

// Called from inside a server's callback: the change waits until the
// answer is out.
void Fleet::Impl::OnEffect(const std::string &mac, Effect effect) {
    loop.After(kAnswerFlush, [this, mac, effect] {
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (nodes.count(LowerCase(mac)) == 0) return;
        }
        if (effect == Effect::Reboot) StartReboot(mac);
        if (effect == Effect::Shutdown) GoOffline(mac, Presence::Offline);
    });
}

void Fleet::Impl::SendAnnouncement(const std::string &mac, const std::string &message_name) {
    if (!discovery) return;
    std::string text;
    {
        std::lock_guard<std::mutex> lock(mutex);
        text = Announcement(Find(mac).receiver, message_name, Find(mac).receiver.config.mac, Clock::now());
    }
    discovery->Send(std::move(text));
}

} // namespace talvo_sim
