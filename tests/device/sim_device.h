// A started simulated fleet with one receiver and a Device of the library
// pointed at it, plus a wait for conditions.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/text.h"
#include "device/device.h"
#include "device/models.h"
#include "eventually.h"
#include "log_capture.h"
#include "quick_fleet.h"
#include "talvo_sim/fleet.h"

namespace device_test {

inline constexpr const char *kMac = "02:54:56:00:00:01";
inline constexpr const char *kAddress = "127.0.10.1";
inline constexpr const char *kUser = "TALVO";

inline std::string PasswordMd5() { return talvo_sim::Md5Hex("WQZNE847"); }

using korvel::testing::Eventually;

inline talvo_sim::Fault FaultOf(talvo_sim::FaultType type, int value = 0, std::string text = "", int times = 1) {
    talvo_sim::Fault fault;
    fault.type = type;
    fault.value = value;
    fault.text = std::move(text);
    fault.times = times;
    return fault;
}

// A device of the registry for `receiver`, with the default credentials.
inline std::unique_ptr<korvel::Device> DeviceFor(const talvo_sim::ReceiverConfig &receiver,
                                                 const char *mac = nullptr) {
    DeviceInfo info{};
    korvel::CopyText(info.Wired_MacAddr, mac != nullptr ? mac : receiver.mac.c_str());
    korvel::CopyText(info.Wired_IpAddr, receiver.address.c_str());
    korvel::CopyText(info.Device_Type, receiver.model.c_str());
    return std::make_unique<korvel::Device>(korvel::ModelIndex(receiver.model.c_str()), info, kUser,
                                            PasswordMd5().c_str());
}

class SimDeviceTest : public ::testing::Test {
protected:
    static talvo_sim::FleetOptions QuickOptions() { return korvel::testing::QuickFleetOptions(); }

    void SetUp() override {
        fleet.Start();
        receiver.mac = kMac;
        receiver.address = kAddress;
        receiver.run_time = 5000;
        Configure(receiver);
        fleet.Add(receiver);
        device = DeviceFor(receiver);
    }
    virtual void Configure(talvo_sim::ReceiverConfig &) {}

    // Logs in and forgets the requests so far.
    void LogIn() {
        ASSERT_EQ(device->Login(kUser, PasswordMd5().c_str()), 0);
        fleet.ClearRequests(kMac);
    }
    void Inject(const std::string &kind, const talvo_sim::Fault &fault) { fleet.InjectFault(kMac, kind, fault); }

    std::vector<talvo_sim::RequestRecord> Requests() { return fleet.Requests(kMac); }
    // The request the receiver received last.
    talvo_sim::RequestRecord Last() {
        auto requests = Requests();
        if (requests.empty()) {
            ADD_FAILURE() << "the receiver received nothing";
            return {};
        }
        return requests.back();
    }
    std::string LastPath() { return Last().path; }
    // The cookie as the receiver reads it: the header value without its
    // leading blank.
    static std::string OnTheWire(const std::string &cookie) {
        size_t start = cookie.find_first_not_of(' ');
        return start == std::string::npos ? "" : cookie.substr(start);
    }
    // A fault for every request of `kind` until the next Clear.
    void InjectUntilCleared(const std::string &kind, talvo_sim::Fault fault) {
        fault.times = -1;
        fleet.InjectFault(kMac, kind, fault);
    }

    talvo_sim::Fleet fleet{QuickOptions()};
    talvo_sim::ReceiverConfig receiver;
    std::unique_ptr<korvel::Device> device;
};

} // namespace device_test
