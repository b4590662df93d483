// Fleet options for tests: reboots and installs that take a moment only, and
// no announcements when receivers are added.
#pragma once

#include <chrono>

#include "talvo_sim/fleet.h"

namespace korvel::testing {

// `join_group`: the receivers answer discovery requests and announce
// themselves when they come back.
inline talvo_sim::FleetOptions QuickFleetOptions(bool join_group = false) {
    talvo_sim::FleetOptions options;
    options.reboot_time = std::chrono::milliseconds(300);
    options.install_time = std::chrono::milliseconds(1500);
    options.announce_on_add = false;
    options.join_group = join_group;
    return options;
}

} // namespace korvel::testing
