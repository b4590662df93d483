// A started fleet with one receiver, and a wait for conditions.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "http_client.h"
#include "talvo_sim/fleet.h"

namespace sim_test {

inline constexpr const char *kMac = "02:54:56:00:00:01";
inline constexpr const char *kAddress = "127.0.10.1";

// Polls until the condition holds or a generous deadline passes.
inline bool Eventually(const std::function<bool()> &condition,
                       std::chrono::milliseconds deadline = std::chrono::seconds(20)) {
    auto end = std::chrono::steady_clock::now() + deadline;
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return condition();
}

class FleetTest : public ::testing::Test {
protected:
    static talvo_sim::FleetOptions QuickOptions() {
        talvo_sim::FleetOptions options;
        options.reboot_time = std::chrono::milliseconds(300);
        options.install_time = std::chrono::milliseconds(1500);
        return options;
    }

    void SetUp() override {
        fleet.Start();
        talvo_sim::ReceiverConfig receiver;
        receiver.mac = kMac;
        receiver.address = kAddress;
        receiver.run_time = 5000;
        Configure(receiver);
        fleet.Add(receiver);
    }
    virtual void Configure(talvo_sim::ReceiverConfig &) {}

    HttpResult Read(const std::string &section, const std::string &cookie) {
        return Get(kAddress, "/do?action=read&section=" + section, cookie);
    }
    std::string ReadMember(const std::string &section, const std::string &member) {
        HttpResult answer = Read(section, LoginCookie(kAddress));
        return Member(Parse(answer.body).get(), member);
    }

    talvo_sim::Fleet fleet{QuickOptions()};
};

} // namespace sim_test
