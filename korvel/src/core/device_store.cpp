// The device store: the operate credentials, a count and one object per
// managed device in registry order.
#include <new>
#include <vector>

#include "core/digest.h"
#include "core/json_schema.h"
#include "core/log.h"
#include "core/stores.h"
#include "core/text.h"

#define KORVEL_LOG_UNIT "TALVOMgr"

namespace korvel {
namespace {

constexpr char kDefaultOperateUser[] = "TALVO";
constexpr char kDefaultOperatePassword[] = "WQZNE847";

struct DeviceStoreHead {
    char DevOperateUserName[32];
    char DevOperatePwdMd5[33];
    int32_t Dev_Num;
};
using DeviceStoreImage = StoreImage<DeviceStoreHead, DeviceInfo>;

using namespace schema;

const JsonFieldDesc kDeviceFields[] = {
    JM_TEXT(DeviceInfo, Wifi_SSID, "Wifi_SSID", JSONMAP_OPTIONAL),
    JM_TEXT(DeviceInfo, Wired_IpAddr, "Wired_IpAddr", JSONMAP_OPTIONAL),
    JM_TEXT(DeviceInfo, Device_Type, "Device_Type", JSONMAP_OPTIONAL),
    JM_TEXT(DeviceInfo, Device_Ver, "Device_Ver", JSONMAP_OPTIONAL),
    JM_TEXT(DeviceInfo, Wired_MacAddr, "Wired_MacAddr", JSONMAP_OPTIONAL),
    JM_TEXT(DeviceInfo, Device_UserName, "Device_UserName", JSONMAP_OPTIONAL),
    JM_TEXT(DeviceInfo, Device_PwdMd5, "Device_PwdMd5", JSONMAP_OPTIONAL),
    JM_TEXT(DeviceInfo, Device_Alias, "Device_Alias", JSONMAP_OPTIONAL),
    JM_TEXT(DeviceInfo, Device_Group, "Device_Group", JSONMAP_OPTIONAL),
    JM_END,
};

auto DeviceStoreTable(size_t count) {
    const std::array<JsonFieldDesc, 3> head = {
        JM_TEXT(DeviceStoreHead, DevOperateUserName, "DevOperateUserName", JSONMAP_OPTIONAL),
        JM_TEXT(DeviceStoreHead, DevOperatePwdMd5, "DevOperatePwdMd5", JSONMAP_OPTIONAL),
        JM_INT(DeviceStoreHead, Dev_Num, "Dev_Num", JSONMAP_OPTIONAL),
    };
    return StoreTable(head, DeviceStoreImage::ArrayField("Devices", kDeviceFields, count), count);
}

} // namespace

int Stores::LoadDevices() {
    DeviceStoreHead head{};
    if (!ReadStoreHead(device_file_, DeviceStoreTable(0).data(), &head)) {
        char digest[kDigestSize];
        TextDigest(kDefaultOperatePassword, digest);
        managed_.SetOperate(kDefaultOperateUser, digest);
        SaveDevices();
        return 0;
    }
    managed_.SetOperate(head.DevOperateUserName, head.DevOperatePwdMd5);
    if (head.Dev_Num < 1) return 0;

    EntriesRead read = ReadStoreEntries<DeviceStoreHead>(
        device_file_, head.Dev_Num, &DeviceInfo::Wired_MacAddr, DeviceStoreTable,
        [this](const DeviceStoreHead &whole) { managed_.SetOperate(whole.DevOperateUserName, whole.DevOperatePwdMd5); },
        [this](DeviceInfo &record) {
            int admitted = managed_.Admit(record);
            if (admitted < 0) KLOG("[%s]:[%d] add device to list failed.");
            return admitted;
        });
    return read.result != 0 ? read.result : read.missing > 0 ? -1 : 0;
}

int Stores::SaveDevices() {
    return device_file_.Save([this](const char *name) {
        std::vector<DeviceInfo> devices;
        try {
            devices = managed_.Snapshots();
        } catch (const std::bad_alloc &) {
            KLOG("[%s]:[%d] get all device infomation failed.");
            return -1;
        }
        OperateCredentials operate = managed_.Operate();
        DeviceStoreHead head{};
        CopyText(head.DevOperateUserName, operate.user);
        CopyText(head.DevOperatePwdMd5, operate.password_md5);
        head.Dev_Num = static_cast<int32_t>(devices.size());
        return WriteStoreImage(name, head, devices, DeviceStoreTable);
    });
}

} // namespace korvel
