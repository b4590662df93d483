// The fleet the screenshots show: simulated receivers of every model in a few
// groups, with aliases, some casting or in standby, two that never answer,
// all managed by the library as an operator would have set them up.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "talvo_sim/fleet.h"

namespace talvo::screenshots {

struct ShowcaseDevice {
    std::string mac;
    std::string model;
    int expected_state; // what the library reads once the refresh has run
};

class ShowcaseFleet {
public:
    // Starts the simulated receivers, adds them to the started library (with
    // "admin" logged in), sorts them into groups and waits until the library
    // knows every state.
    void Start();

    // The first managed receiver of `model`.
    std::string MacOf(const std::string &model) const;
    const std::vector<ShowcaseDevice> &Devices() const { return devices_; }

private:
    void AddReceivers();
    void ArrangeGroups();
    void AddUnreachableDevices();
    void AddUnmanagedReceivers();
    void WaitForStates() const;

    std::unique_ptr<talvo_sim::Fleet> fleet_;
    std::vector<ShowcaseDevice> devices_;
};

} // namespace talvo::screenshots
