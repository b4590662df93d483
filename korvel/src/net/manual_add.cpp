// ZR_QM_AddDevice: a receiver added by its address, without multicast.
#include <memory>
#include <new>

#include "core/log.h"
#include "core/manager.h"
#include "core/text.h"
#include "device/device.h"
#include "net/discovery.h"
#include "net/discovery_messages.h"

#define KORVEL_LOG_UNIT "TALVOMgr"

namespace korvel {
namespace {

constexpr char kDefaultModel[] = "TALVO_HX";

// The record of a receiver from its network status: name and MAC address
// of the interface it is reached on, as the receiver reports them.
void FillFromStatus(DeviceInfo &out, const char *address, const DeviceNetStatus &status,
                    const OperateCredentials &operate) {
    out = DeviceInfo{};
    CopyText(out.Device_Type, kDefaultModel);
    CopyText(out.Wired_IpAddr, address);
    const bool hotspot_on = status.wifi_on_status[0] == 't';
    if (hotspot_on) {
        CopyText(out.Wifi_SSID, status.wifi_ssid_status);
        CopyText(out.Wired_MacAddr, status.wifi_mac_addr_status);
    }
    if (!IsEmpty(status.wired_ipaddr_status)) {
        CopyText(out.Wired_MacAddr, hotspot_on ? status.wifi_mac_addr_status : status.wired_mac_addr_status);
    } else if (!IsEmpty(status.wlan1_ipaddr_status)) {
        CopyText(out.Wired_MacAddr, hotspot_on ? status.wifi_mac_addr_status : status.wlan1_mac_addr_status);
    }
    CopyText(out.Device_UserName, operate.user);
    CopyText(out.Device_PwdMd5, operate.password_md5);
}

// Reads the receiver behind `address` into `out`: 0 or the failing step's code.
int ReadReceiver(const char *address, const OperateCredentials &operate, DeviceInfo &out) {
    std::unique_ptr<Device> device;
    try {
        device = std::make_unique<Device>(address, operate.user, operate.password_md5);
    } catch (const std::bad_alloc &) {
        KLOG("[%s]:[%d] create device failed.!");
        return -1;
    }
    int result = device->Login(operate.user, operate.password_md5);
    if (result != 0) {
        KLOG("[%s]:[%d] login device failed.!");
        return result;
    }
    DeviceNetStatus status{};
    result = device->GetNetStatus(status);
    if (result != 0) {
        KLOG("[%s]:[%d] get device status failed.!");
        return result;
    }
    FillFromStatus(out, address, status, operate);
    NetConfig config{};
    if (device->GetNetConfig(config) == 0) {
        CopyText(out.Device_Ver, config.dev_ver_info);
        CopyText(out.Device_Type, config.dev_type);
    } else {
        KLOG("[%s]:[%d] get device net configure failed.!");
    }
    return 0;
}

} // namespace

int AddDeviceByAddress(Manager &manager, const char *address, DeviceInfo &out) {
    if (!IsDottedQuad(address)) {
        KLOG("[%s]:[%d] parameter is not illegal!");
        return ZR_QM_ERR_PARAM;
    }
    int result = ReadReceiver(address, manager.Managed().Operate(), out);
    if (result != 0) return result;
    // The MAC address is the device's identity; a receiver that reports none
    // for the interface it is reached on cannot be managed.
    if (IsEmpty(out.Wired_MacAddr)) {
        KLOG("[%s]:[%d] device reports no mac address.!");
        return ZR_QM_ERR_JSON;
    }
    result = manager.Managed().Admit(out);
    if (result != 0) {
        KLOG("[%s]:[%d] add device to list failed.!");
        return result;
    }
    manager.Store().SaveDevices();
    return 0;
}

} // namespace korvel
