// The discovery messages: JSON objects in UDP datagrams on 224.0.1.2:50000.
// The library sends "SearchDevice" and "UpdateDeviceInfo"; receivers answer
// "SearchDeviceAck" and "UpdateDeviceInfoAck" and announce themselves with
// "DeviceOnline". Keys are matched exactly; every record is cleared before a
// conversion, so a missing member reads as empty text or 0.
#pragma once

#include <cstdint>
#include <string>

#include "korvel.h"

namespace korvel {

// The library's requests, and the first look at every message received.
struct DiscoveryHeader {
    char MsgName[64];     // required on receipt
    char Device_Type[32]; // "DeviceManagerSoftware" sent; a model name on receipt
    char Odm_Name[32];    // "TALVO"
    char Product_Id[64];  // "KARVEN"
};

// "SearchDeviceAck", "DeviceOnline" and "UpdateDeviceInfoAck" (all members optional).
struct DeviceAnnouncement {
    char MsgName[64];
    char Device_Type[32];
    char Odm_Name[32];
    char Product_Id[64];
    char Wifi_SSID[64];
    char Wired_IpAddr[16];
    char Wired_MacAddr[32];
    char Device_Ver[32];
    int32_t RunTime;
};

inline constexpr char kManagerDeviceType[] = "DeviceManagerSoftware";
inline constexpr char kOdmName[] = "TALVO";
inline constexpr char kProductId[] = "KARVEN";

// The compact JSON text of a request named `name`, e.g.
// {"MsgName":"SearchDevice","Device_Type":"DeviceManagerSoftware","Odm_Name":"TALVO","Product_Id":"KARVEN"};
// empty when the conversion failed.
std::string DiscoveryRequestText(const char *name);

// Four decimal parts of 0 to 255 separated by full stops, nothing else: a
// receiver's address becomes part of the URLs of its requests.
bool IsDottedQuad(const char *text);

// False when `text` is no JSON object or has no MsgName.
bool ReadDiscoveryHeader(const char *text, DiscoveryHeader &header);

// An announcement as a DeviceInfo (cleared first): name, address, model,
// version, MAC (at most 17 characters) and run time; false when `text` does
// not convert.
bool ReadAnnouncement(const char *text, DeviceInfo &info);

} // namespace korvel
