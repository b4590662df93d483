// Exports of the device registries.
#include "core/api_frame.h"
#include "core/digest.h"
#include "core/export_args.h"

#define KORVEL_LOG_UNIT "TALVOMgr"

using korvel::Manager;

int ZR_QM_GetDeviceList(DeviceInfo **devices) {
    return korvel::WithManager([&](Manager &manager) {
        if (devices == nullptr) return KORVEL_PARAM_ERROR();
        return manager.Managed().ListSnapshots(devices);
    });
}

int ZR_QM_GetSearchDeviceList(DeviceInfo **devices) {
    return korvel::WithManager([&](Manager &manager) {
        if (devices == nullptr) return KORVEL_PARAM_ERROR();
        return manager.Search().ListSnapshots(devices);
    });
}

int ZR_QM_GetDeviceInfo(const char *mac, DeviceInfo *info) {
    return korvel::WithManager([&](Manager &manager) {
        if (mac == nullptr || info == nullptr) return KORVEL_PARAM_ERROR();
        return manager.Managed().Snapshot(mac, *info);
    });
}

int ZR_QM_DelDevice(const char *mac) {
    return korvel::WithManager([&](Manager &manager) {
        if (mac == nullptr) return KORVEL_PARAM_ERROR();
        int result = manager.Managed().Remove(mac);
        if (result == 0) manager.Store().SaveDevices();
        return result;
    });
}

int ZR_QM_ClearSearchDeviceList(void) {
    return korvel::WithManager([&](Manager &manager) {
        manager.Search().Clear();
        return 0;
    });
}

int ZR_QM_AddSearchDevicesToDeviceList(const ZR_QM_MacText *macs, unsigned int count) {
    return korvel::WithManager([&](Manager &manager) {
        if (macs == nullptr && count > 0) return KORVEL_PARAM_ERROR();
        int admitted = manager.Managed().AdoptFrom(manager.Search(), macs, count);
        manager.Store().SaveDevices();
        return admitted;
    });
}

int ZR_QM_SetDevLoginUserNamePwd(const char *mac, const char *user, const char *password) {
    return korvel::WithManager([&](Manager &manager) {
        if (korvel::AnyNull(mac, user, password) || !korvel::FitsDeviceUserName(user)) return KORVEL_PARAM_ERROR();
        korvel::DeviceMgr::DevicePtr device = manager.Managed().Find(mac);
        if (device == nullptr) {
            KLOG("[%s]:[%d] SetDevLoginUserNamePwd() get device by mac address failed.");
            return ZR_QM_ERR_DEV_NOT_FOUND;
        }
        char digest[korvel::kDigestSize];
        korvel::TextDigest(password, digest);
        device->SetLoginCredentials(user, digest);
        manager.Store().SaveDevices();
        return 0;
    });
}
