// A lively fleet for demos: senders come and go, receivers start and end
// casts. Off unless FleetOptions::activity_interval is set.
#include "fleet_impl.h"

namespace talvo_sim {

namespace {

constexpr unsigned kChangesPerHundred = 15; // share of receivers changed per tick

HostMember Sender(std::uint64_t random) {
    static const char *kinds[] = {"windows", "macos", "android", "ios", "button"};
    HostMember member;
    unsigned number = static_cast<unsigned>(random % 200) + 20;
    member.conn_ip = "192.168.49." + std::to_string(number);
    member.conn_type = kinds[random / 200 % 5];
    member.conn_name = std::string(member.conn_type) + "-" + std::to_string(number);
    member.play_video = "true";
    member.play_audio = random % 2 == 0 ? "true" : "false";
    member.media_num = 1;
    return member;
}

} // namespace

void Fleet::Impl::ScheduleActivity() {
    loop.After(options.activity_interval, [this] {
        StirActivity();
        ScheduleActivity();
    });
}

void Fleet::Impl::StirActivity() {
    std::lock_guard<std::mutex> lock(mutex);
    for (auto &[key, node] : nodes) {
        Receiver &r = node->receiver;
        if (r.presence != Presence::Online || random() % 100 >= kChangesPerHundred) continue;
        if (r.config.state == "idle") {
            r.config.state = "share";
            r.config.host_members.push_back(Sender(random()));
        } else if (r.config.state == "share") {
            r.config.state = "idle";
            r.config.host_members.clear();
        }
    }
}

} // namespace talvo_sim
