// A started library whose managed devices are receivers of a simulated
// fleet, with helpers to set the stored states, log in, run refreshes and
// read what the receivers received.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "eventually.h"
#include "library_fixture.h"
#include "log_capture.h"
#include "talvo_sim/fleet.h"

namespace korvel::testing {

inline talvo_sim::Fault Once(talvo_sim::FaultType type, int value = 0) { return {type, value, "", 1}; }
inline talvo_sim::Fault Always(talvo_sim::FaultType type, int value = 0) { return {type, value, "", -1}; }

// A MAC list as the exports take it.
class MacSlots {
public:
    MacSlots(std::initializer_list<std::string> macs) {
        for (const std::string &mac : macs) Add(mac);
    }
    explicit MacSlots(const std::vector<std::string> &macs) {
        for (const std::string &mac : macs) Add(mac);
    }
    const ZR_QM_MacText *data() const {
        return slots_.empty() ? nullptr : reinterpret_cast<const ZR_QM_MacText *>(slots_.data());
    }
    unsigned int count() const { return static_cast<unsigned int>(slots_.size()); }

private:
    using Slot = std::array<char, sizeof(ZR_QM_MacText)>;
    static_assert(sizeof(Slot) == sizeof(ZR_QM_MacText));
    void Add(const std::string &mac) {
        slots_.emplace_back();
        std::snprintf(slots_.back().data(), slots_.back().size(), "%s", mac.c_str());
    }
    std::vector<Slot> slots_;
};

class OperationsTest : public LibraryTest {
protected:
    // With `discovery_answers` the receivers answer searches and announce
    // themselves when they come back, to the library's discovery channel.
    explicit OperationsTest(bool discovery_answers = false) : fleet(QuickOptions(discovery_answers)) {}

    static talvo_sim::FleetOptions QuickOptions(bool discovery_answers) {
        talvo_sim::FleetOptions options;
        options.reboot_time = std::chrono::milliseconds(300);
        options.install_time = std::chrono::milliseconds(1500);
        options.announce_on_add = false;
        options.join_group = discovery_answers;
        return options;
    }

    // The number of receivers the fixture adds.
    virtual int Receivers() const { return 3; }

    static std::string MacOf(int i) {
        char mac[18];
        std::snprintf(mac, sizeof mac, "02:54:56:00:%02x:%02x", (i >> 8) & 0xFF, i & 0xFF);
        return mac;
    }
    static std::string AddressOf(int i) { return "127.0." + std::to_string(20 + i / 250) + "." + std::to_string(1 + i % 250); }

    void SetUp() override {
        fleet.Start();
        Start();
        std::vector<DeviceInfo> records;
        for (int i = 0; i < Receivers(); ++i) {
            talvo_sim::ReceiverConfig receiver;
            receiver.mac = MacOf(i);
            receiver.address = AddressOf(i);
            receiver.run_time = 5000;
            fleet.Add(receiver);
            macs.push_back(receiver.mac);
            records.push_back(Record(receiver.mac, receiver.model, receiver.address));
        }
        Manage(records);
    }

    void TearDown() override {
        ZR_QM_DeInit();
        fleet.Stop();
    }

    DeviceMgr::DevicePtr DeviceOf(const std::string &mac) { return Internals().Managed().Find(mac.c_str()); }

    // Stores a state as a refresh would.
    void SetStoredState(const std::string &mac, int state) {
        DeviceMgr::DevicePtr device = DeviceOf(mac);
        ASSERT_NE(device, nullptr) << mac;
        RefreshRecord record = device->Refresh();
        record.state = state;
        device->SetRefresh(record);
    }

    void LogIn(const std::string &mac) { ASSERT_EQ(ZR_QM_LoginDevice(mac.c_str(), nullptr, nullptr), 0) << mac; }

    // Every device logged in and idle, and the receivers' logs emptied.
    void AllReady() {
        for (const std::string &mac : macs) {
            LogIn(mac);
            SetStoredState(mac, ZR_QM_STATE_IDLE);
        }
        ClearAllRequests();
    }

    void ClearAllRequests() {
        for (const std::string &mac : macs) fleet.ClearRequests(mac);
    }

    // Requests of `mac` whose section (or, for the TCP command, protocol) is `kind`.
    int CountOf(const std::string &mac, const std::string &kind) {
        int count = 0;
        for (const talvo_sim::RequestRecord &request : fleet.Requests(mac))
            if (request.section == kind || request.action == kind || request.protocol == kind) ++count;
        return count;
    }

    bool NothingReceived() {
        for (const std::string &mac : macs)
            if (!fleet.Requests(mac).empty()) return false;
        return true;
    }

    bool AllAnswering() {
        for (const std::string &mac : macs)
            if (fleet.Snapshot(mac).presence != talvo_sim::Presence::Online) return false;
        return true;
    }

    bool RefreshRunning() {
        for (const DeviceMgr::DevicePtr &device : Internals().Managed().Devices())
            if (device->RefreshRunning()) return true;
        return false;
    }

    // One refresh round, waited for.
    void RefreshRound() {
        ASSERT_EQ(ZR_QM_UpdateAllDeviceState(), 0);
        ASSERT_TRUE(Eventually([&] { return !RefreshRunning(); }));
    }

    DeviceInfo InfoOf(const std::string &mac) {
        DeviceInfo info{};
        EXPECT_EQ(ZR_QM_GetDeviceInfo(mac.c_str(), &info), 0) << mac;
        return info;
    }

    int StateOf(const std::string &mac) {
        int state = -1;
        EXPECT_EQ(ZR_QM_GetDeviceState(mac.c_str(), &state), 0) << mac;
        return state;
    }

    talvo_sim::Fleet fleet;
    std::vector<std::string> macs;
    TempDir files;
};

} // namespace korvel::testing
