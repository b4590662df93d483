// The public face of the fleet: every call locks, or runs on the loop thread
// when it touches sockets.
#include <arpa/inet.h>
#include <sys/resource.h>

#include <algorithm>
#include <stdexcept>

#include "fleet_impl.h"
#include "testnet_guard.h"

namespace talvo_sim {

namespace {

void RaiseOpenFileLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

void CheckNewReceiver(const ReceiverConfig &config) {
    in_addr address{};
    if (config.mac.empty()) throw std::invalid_argument("a receiver needs a MAC address");
    if (inet_pton(AF_INET, config.address.c_str(), &address) != 1 || (ntohl(address.s_addr) >> 24) != 127) {
        throw std::invalid_argument("receiver " + config.mac + ": address must be 127.x.y.z, not '" +
                                    config.address + "'");
    }
}

} // namespace

Fleet::Impl::Impl(FleetOptions given) : options(given), random(std::random_device{}()) {}

Node &Fleet::Impl::Find(const std::string &mac) const {
    auto node = nodes.find(LowerCase(mac));
    if (node == nodes.end()) throw std::out_of_range("no receiver " + mac + " in the fleet");
    return *node->second;
}

Fleet::Fleet() : Fleet(FleetOptions{}) {}
Fleet::Fleet(FleetOptions options) : impl_(std::make_unique<Impl>(options)) {}
Fleet::~Fleet() { Stop(); }

void Fleet::Start() {
    if (impl_->started) return;
    if (impl_->stopped) throw std::logic_error("a stopped fleet cannot start again");
    korvel::testing::RequireTestNetwork("talvo-receiver-sim");
    RaiseOpenFileLimit();
    if (impl_->options.join_group) {
        impl_->discovery = std::make_unique<DiscoverySocket>(impl_->loop, *impl_);
        impl_->discovery->Open();
    }
    impl_->loop.Start();
    impl_->started = true;
    if (impl_->options.activity_interval.count() > 0) impl_->loop.Run([this] { impl_->ScheduleActivity(); });
}

void Fleet::Stop() {
    if (!impl_->started || impl_->stopped) return;
    impl_->loop.Stop([this] {
        for (auto &[key, node] : impl_->nodes) impl_->CloseServers(*node);
    });
    impl_->stopped = true;
}

void Fleet::Add(const ReceiverConfig &given) {
    if (!impl_->started || impl_->stopped) throw std::logic_error("Add needs a started fleet");
    CheckNewReceiver(given);
    ReceiverConfig config = CompleteConfig(given);
    impl_->loop.Run([&] {
        Node *node = nullptr;
        std::string key = LowerCase(config.mac);
        {
            std::lock_guard<std::mutex> lock(impl_->mutex);
            if (impl_->nodes.count(key) != 0) throw std::invalid_argument("receiver " + config.mac + " exists");
            for (const auto &[other, existing] : impl_->nodes) {
                if (existing->receiver.config.address == config.address) {
                    throw std::invalid_argument("address " + config.address + " is taken");
                }
            }
            auto created = std::make_unique<Node>();
            created->receiver.config = config;
            created->receiver.factory = config;
            created->receiver.SetRunTime(config.run_time, Clock::now());
            node = created.get();
            impl_->nodes[key] = std::move(created);
        }
        try {
            impl_->OpenServers(*node);
        } catch (...) {
            std::lock_guard<std::mutex> lock(impl_->mutex);
            impl_->nodes.erase(key);
            throw;
        }
        if (impl_->options.announce_on_add) impl_->SendAnnouncement(config.mac, "DeviceOnline");
    });
}

void Fleet::Remove(const std::string &mac) {
    impl_->loop.Run([&] {
        std::unique_ptr<Node> removed;
        {
            std::lock_guard<std::mutex> lock(impl_->mutex);
            impl_->Find(mac);
            auto found = impl_->nodes.find(LowerCase(mac));
            removed = std::move(found->second);
            impl_->nodes.erase(found);
        }
        impl_->CloseServers(*removed);
    });
}

std::vector<std::string> Fleet::Macs() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    std::vector<std::string> macs;
    for (const auto &[key, node] : impl_->nodes) macs.push_back(node->receiver.config.mac);
    return macs;
}

ReceiverSnapshot Fleet::Snapshot(const std::string &mac) const {
    return impl_->WithReceiver(mac, [](const Receiver &r) { return r.Snapshot(Clock::now()); });
}

void Fleet::SetState(const std::string &mac, const std::string &state) {
    impl_->WithReceiver(mac, [&](Receiver &r) { r.config.state = state; });
}

void Fleet::SetRunTime(const std::string &mac, std::uint32_t seconds) {
    impl_->WithReceiver(mac, [&](Receiver &r) { r.SetRunTime(seconds, Clock::now()); });
}

void Fleet::SetVersion(const std::string &mac, const std::string &version) {
    impl_->WithReceiver(mac, [&](Receiver &r) { r.config.version = version; });
}

void Fleet::SetModel(const std::string &mac, const std::string &model) {
    impl_->WithReceiver(mac, [&](Receiver &r) { r.config.model = model; });
}

void Fleet::SetCredentials(const std::string &mac, const std::string &user, const std::string &password_md5) {
    impl_->WithReceiver(mac, [&](Receiver &r) {
        r.config.user = user;
        r.config.password_md5 = password_md5;
    });
}

void Fleet::SetSetting(const std::string &mac, const std::string &section, const std::string &key,
                       const std::string &value) {
    impl_->WithReceiver(mac, [&](Receiver &r) { r.config.settings[section][key] = value; });
}

Settings Fleet::GetSettings(const std::string &mac, const std::string &section) const {
    return impl_->WithReceiver(mac, [&](const Receiver &r) {
        auto found = r.config.settings.find(section);
        return found == r.config.settings.end() ? Settings{} : found->second;
    });
}

void Fleet::SetHostMembers(const std::string &mac, const std::vector<HostMember> &members) {
    impl_->WithReceiver(mac, [&](Receiver &r) { r.config.host_members = members; });
}

void Fleet::SetStateNeedsSession(const std::string &mac, bool needed) {
    impl_->WithReceiver(mac, [&](Receiver &r) { r.config.state_needs_session = needed; });
}

void Fleet::ExpireSessions(const std::string &mac) {
    impl_->WithReceiver(mac, [](Receiver &r) { r.sessions.clear(); });
}

void Fleet::SetProgress(const std::string &mac, const std::string &progress_section, int percent) {
    // So long an install that its progress stays where it is put.
    const Clock::duration length = std::chrono::hours(24 * 365);
    const int clamped = std::clamp(percent, 0, 100);
    impl_->WithReceiver(mac, [&](Receiver &r) {
        r.installs[progress_section] = Install{Clock::now() - length / 100 * clamped, length};
    });
}

void Fleet::TakeOffline(const std::string &mac) {
    impl_->loop.Run([&] { impl_->GoOffline(mac, Presence::Offline); });
}

void Fleet::MakeUnresponsive(const std::string &mac) {
    impl_->loop.Run([&] { impl_->GoOffline(mac, Presence::Unresponsive); });
}

void Fleet::BringBack(const std::string &mac) {
    impl_->loop.Run([&] { impl_->ComeBack(mac, false); });
}

void Fleet::Reboot(const std::string &mac) {
    impl_->loop.Run([&] { impl_->StartReboot(mac); });
}

void Fleet::Announce(const std::string &mac) {
    impl_->loop.Run([&] { impl_->SendAnnouncement(mac, "DeviceOnline"); });
}

void Fleet::InjectFault(const std::string &mac, const std::string &kind, const Fault &fault) {
    impl_->WithReceiver(mac, [&](Receiver &r) { r.faults.Add(kind, fault); });
}

void Fleet::ClearFaults(const std::string &mac) {
    impl_->WithReceiver(mac, [](Receiver &r) { r.faults.Clear(); });
}

std::vector<RequestRecord> Fleet::Requests(const std::string &mac) const {
    return impl_->WithReceiver(mac, [](const Receiver &r) {
        return std::vector<RequestRecord>(r.log.begin(), r.log.end());
    });
}

void Fleet::ClearRequests(const std::string &mac) {
    impl_->WithReceiver(mac, [](Receiver &r) { r.log.clear(); });
}

std::vector<DatagramRecord> Fleet::Datagrams() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return std::vector<DatagramRecord>(impl_->datagrams.begin(), impl_->datagrams.end());
}

std::uint64_t Fleet::AnsweredCount() const { return impl_->answered.load(); }

} // namespace talvo_sim
