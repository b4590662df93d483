// The discovery messages of a receiver: its announcement ("SearchDeviceAck",
// "UpdateDeviceInfoAck", "DeviceOnline") and the requests it answers.
#pragma once

#include <string>

#include "receiver.h"

namespace talvo_sim {

// The announcement of a receiver, naming it by `mac`.
std::string Announcement(const Receiver &receiver, const std::string &message_name, const std::string &mac,
                         Clock::time_point now);

// True for "SearchDevice" and "UpdateDeviceInfo" from a manager
// (Device_Type "DeviceManagerSoftware", Odm_Name "TALVO", Product_Id
// "KARVEN"); sets `name` to the request's name.
bool IsDiscoveryRequest(const std::string &text, std::string &name);

} // namespace talvo_sim
