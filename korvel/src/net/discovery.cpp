#include "net/discovery.h"

#include <string>

#include "core/log.h"
#include "core/manager.h"
#include "core/text.h"
#include "device/models.h"
#include "net/discovery_messages.h"
#include "net/multicast_channel.h"

#define KORVEL_LOG_UNIT "TALVOMgr"

namespace korvel {
namespace {

using MessageHandler = void (*)(Manager &, const char *);

struct MessageRoute {
    const char *name;
    MessageHandler handler; // null: a manager's request, nothing to do
};

// Names compare without regard to letter case.
const MessageRoute kRoutes[] = {
    {"SearchDevice", nullptr},
    {"SearchDeviceAck", OnSearchDeviceAck},
    {"DeviceOnline", OnDeviceOnline},
    {"UpdateDeviceInfo", nullptr},
    {"UpdateDeviceInfoAck", OnUpdateDeviceInfoAck},
};

bool FromThisMakerAndProduct(const DiscoveryHeader &header) {
    return Equals(header.Odm_Name, kOdmName) && Equals(header.Product_Id, kProductId);
}

// The announcement in `text` as a record; false (logged) when it does not
// convert or names no MAC address, which is the receiver's identity: a
// record without one could never be told apart from the next. An address
// that is not dotted IPv4 text is refused too: the device's requests would
// go to whatever host name or URL the datagram put there.
bool TakeAnnouncement(const char *text, DeviceInfo &info) {
    if (!ReadAnnouncement(text, info)) {
        KLOG("[%s]:[%d] JsonString2Obj failed, not json string or search device json cmd ack struct changed!");
        return false;
    }
    if (IsEmpty(info.Wired_MacAddr)) {
        KLOG("[%s]:[%d] announcement without mac address dropped.");
        return false;
    }
    if (!IsEmpty(info.Wired_IpAddr) && !IsDottedQuad(info.Wired_IpAddr)) {
        KLOG("[%s]:[%d] announcement with an address that is no ipv4 address dropped.");
        return false;
    }
    return true;
}

// "DeviceOnline" and "UpdateDeviceInfoAck": only managed receivers count.
void RefreshManagedDevice(Manager &manager, const char *text) {
    DeviceInfo info;
    if (!TakeAnnouncement(text, info)) return;
    if (manager.Managed().Find(info.Wired_MacAddr) == nullptr) return;
    int result = manager.Managed().UpdateByMac(info.Wired_MacAddr, info);
    if (result > 0) {
        manager.Store().SaveDevices();
    } else if (result < 0) {
        KLOG("[%s]:[%d] add device failed.");
    }
}

} // namespace

int SendDiscoveryRequest(Manager &manager, const char *name) {
    MulticastState &multicast = manager.Channel();
    MulticastHold hold(multicast.serial);
    if (CheckAndCreateMulticastSocket(manager, hold) != 0) {
        KLOG("[%s]:[%d] CheckAndCreateMulticastSocket failed.");
        return -1;
    }
    std::string text = DiscoveryRequestText(name);
    if (text.empty()) {
        KLOG("[%s]:[%d] search device cmd ack struct to json string failed.");
        return -1;
    }
    if (multicast.channel.Send(text.data(), text.size()) == 0) return 0;
    if (multicast.ready) StopMulticastChannel(manager, hold); // the next request rebuilds it
    return -1;
}

void HandleMulticastMessage(Manager &manager, const char *text) {
    DiscoveryHeader header;
    if (!ReadDiscoveryHeader(text, header)) {
        KLOG("[%s]:[%d] JsonString2Obj failed, not json string or json string has no MsgName content!");
        return;
    }
    // Managers (device type "DeviceManagerSoftware") never get past this.
    if (!IsKnownModel(header.Device_Type)) return;
    if (!FromThisMakerAndProduct(header)) return;
    for (const MessageRoute &route : kRoutes) {
        if (!EqualsIgnoreCase(header.MsgName, route.name)) continue;
        if (route.handler != nullptr) route.handler(manager, text);
        return;
    }
    KLOG("[%s]:[%d]unkown json cmd!");
}

void OnSearchDeviceAck(Manager &manager, const char *text) {
    DeviceInfo info;
    if (!TakeAnnouncement(text, info)) return;
    const char *mac = info.Wired_MacAddr;
    if (manager.Managed().Find(mac) != nullptr || manager.Search().Find(mac) != nullptr) return;
    if (manager.Search().Admit(info) != 0) KLOG("[%s]:[%d] add device failed.");
}

void OnDeviceOnline(Manager &manager, const char *text) { RefreshManagedDevice(manager, text); }

void OnUpdateDeviceInfoAck(Manager &manager, const char *text) { RefreshManagedDevice(manager, text); }

} // namespace korvel
