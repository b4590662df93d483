#include "net/discovery_messages.h"

#include <cctype>
#include <cstdlib>
#include <memory>

#include "core/json_schema.h"
#include "core/text.h"

namespace korvel {
namespace {

using namespace schema;

// Written with all four members; on receipt only MsgName is required.
const JsonFieldDesc kHeaderFields[] = {
    JM_TEXT(DiscoveryHeader, MsgName, "MsgName", JSONMAP_REQUIRED),
    JM_TEXT(DiscoveryHeader, Device_Type, "Device_Type", JSONMAP_OPTIONAL),
    JM_TEXT(DiscoveryHeader, Odm_Name, "Odm_Name", JSONMAP_OPTIONAL),
    JM_TEXT(DiscoveryHeader, Product_Id, "Product_Id", JSONMAP_OPTIONAL),
    JM_END,
};

const JsonFieldDesc kAnnouncementFields[] = {
    JM_TEXT(DeviceAnnouncement, MsgName, "MsgName", JSONMAP_OPTIONAL),
    JM_TEXT(DeviceAnnouncement, Device_Type, "Device_Type", JSONMAP_OPTIONAL),
    JM_TEXT(DeviceAnnouncement, Odm_Name, "Odm_Name", JSONMAP_OPTIONAL),
    JM_TEXT(DeviceAnnouncement, Product_Id, "Product_Id", JSONMAP_OPTIONAL),
    JM_TEXT(DeviceAnnouncement, Wifi_SSID, "Wifi_SSID", JSONMAP_OPTIONAL),
    JM_TEXT(DeviceAnnouncement, Wired_IpAddr, "Wired_IpAddr", JSONMAP_OPTIONAL),
    JM_TEXT(DeviceAnnouncement, Wired_MacAddr, "Wired_MacAddr", JSONMAP_OPTIONAL),
    JM_TEXT(DeviceAnnouncement, Device_Ver, "Device_Ver", JSONMAP_OPTIONAL),
    JM_INT(DeviceAnnouncement, RunTime, "RunTime", JSONMAP_OPTIONAL),
    JM_END,
};

} // namespace

bool IsDottedQuad(const char *text) {
    if (text == nullptr) return false;
    int parts = 0;
    const char *p = text;
    while (parts < 4) {
        int value = 0, digits = 0;
        while (std::isdigit(static_cast<unsigned char>(*p)) && digits < 4) {
            value = value * 10 + (*p++ - '0');
            ++digits;
        }
        if (digits == 0 || digits > 3 || value > 255) return false;
        if (++parts < 4 && *p++ != '.') return false;
    }
    return *p == '\0';
}

std::string DiscoveryRequestText(const char *name) {
    DiscoveryHeader header{};
    CopyText(header.MsgName, name);
    CopyText(header.Device_Type, kManagerDeviceType);
    CopyText(header.Odm_Name, kOdmName);
    CopyText(header.Product_Id, kProductId);
    std::unique_ptr<char, decltype(&std::free)> text(JsonObj2String(kHeaderFields, &header), &std::free);
    return text == nullptr ? std::string() : std::string(text.get());
}

bool ReadDiscoveryHeader(const char *text, DiscoveryHeader &header) {
    header = DiscoveryHeader{};
    return JsonString2Obj(kHeaderFields, text, &header) == 0;
}

bool ReadAnnouncement(const char *text, DeviceInfo &info) {
    DeviceAnnouncement announcement{};
    if (JsonString2Obj(kAnnouncementFields, text, &announcement) != 0) return false;
    info = DeviceInfo{};
    CopyText(info.Wifi_SSID, announcement.Wifi_SSID);
    CopyText(info.Wired_IpAddr, announcement.Wired_IpAddr);
    CopyText(info.Device_Type, announcement.Device_Type);
    CopyText(info.Device_Ver, announcement.Device_Ver);
    CopyText(info.Wired_MacAddr, announcement.Wired_MacAddr);
    info.RunTime = static_cast<uint32_t>(announcement.RunTime);
    return true;
}

} // namespace korvel
