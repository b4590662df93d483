// Identity, records and refresh thread of a Device.
#include "device/device.h"

#include <curl/curl.h>

#include <cstring>
#include <system_error>

#include "core/log.h"
#include "core/text.h"
#include "device/models.h"

#define KORVEL_LOG_UNIT "Device"

namespace korvel {

Device::Device(uint32_t model_index, const DeviceInfo &info, const char *user, const char *password_md5) {
    model_index_ = model_index;
    CopyText(address_, info.Wired_IpAddr);
    CopyText(mac_, info.Wired_MacAddr);
    CopyText(name_, info.Wifi_SSID);
    CopyText(version_, info.Device_Ver);
    CopyText(user_, user);
    CopyText(password_md5_, password_md5);
    Construct();
}

Device::Device(const char *address, const char *user, const char *password_md5) {
    CopyText(address_, address);
    CopyText(user_, user);
    CopyText(password_md5_, password_md5);
    Construct();
}

void Device::Construct() {
    refresh_ = RefreshRecord{};
    refresh_.state = ZR_QM_STATE_OFFLINE;
    refresh_.offline_since = static_cast<int64_t>(std::time(nullptr));
}

Device::~Device() {
    WaitForRefresh();
    if (persistent_ != nullptr) curl_easy_cleanup(persistent_);
}

bool Device::MacMatches(const char *mac) const {
    std::lock_guard<std::mutex> lock(fields_);
    return EqualsIgnoreCase(mac_, mac);
}

namespace {
bool StateIsOnline(int state) {
    return state == ZR_QM_STATE_IDLE || state == ZR_QM_STATE_SHARE || state == ZR_QM_STATE_UPGRADE;
}
} // namespace

bool Device::IsOnline() const {
    std::lock_guard<std::mutex> lock(fields_);
    return StateIsOnline(refresh_.state);
}

void Device::FillInfo(DeviceInfo &info) const {
    std::lock_guard<std::mutex> lock(fields_);
    CopyText(info.Wired_MacAddr, mac_);
    CopyText(info.Device_Type, ModelName(model_index_));
    CopyText(info.Device_Ver, version_);
    CopyText(info.Wifi_SSID, name_);
    CopyText(info.Wired_IpAddr, address_);
    CopyText(info.Device_UserName, user_);
    CopyText(info.Device_PwdMd5, password_md5_);
    CopyText(info.Device_Alias, alias_);
    CopyText(info.Device_Group, group_);
    info.RunTime = refresh_.state == ZR_QM_STATE_OFFLINE ? 0 : refresh_.run_time;
    info.StateDuration = StateIsOnline(refresh_.state) ? refresh_.online_duration : refresh_.offline_duration;
    info.RebootCount = refresh_.reboots;
}

namespace {
// Copies a non-empty text that differs from the field; true when it did.
template <size_t N, size_t M>
bool TakeIfChanged(char (&field)[N], const char (&text)[M]) {
    if (text[0] == '\0' || strncmp(field, text, N) == 0) return false;
    CopyText(field, text);
    return true;
}
} // namespace

int Device::UpdateFromInfo(const DeviceInfo &info) {
    std::lock_guard<std::mutex> lock(fields_);
    if (!EqualsIgnoreCase(info.Wired_MacAddr, mac_)) {
        KLOG("[%s]:[%d] mac address not match!");
        return ZR_QM_ERR_MAC_MISMATCH;
    }
    uint32_t model = ModelIndex(info.Device_Type);
    if (model == kUnknownModel) return ZR_QM_ERR_DEV_TYPE;
    bool changed = false;
    if (model != model_index_) {
        model_index_ = model;
        changed = true;
    }
    changed |= TakeIfChanged(version_, info.Device_Ver);
    changed |= TakeIfChanged(name_, info.Wifi_SSID);
    changed |= TakeIfChanged(address_, info.Wired_IpAddr);
    changed |= TakeIfChanged(alias_, info.Device_Alias);
    changed |= TakeIfChanged(group_, info.Device_Group);
    return changed ? 1 : 0;
}

int Device::SetAlias(const char *alias) {
    std::lock_guard<std::mutex> lock(fields_);
    if (Equals(alias_, alias)) return 0;
    CopyText(alias_, alias);
    return 1;
}

int Device::SetGroup(const char *group) {
    if (group != nullptr && std::strlen(group) >= sizeof group_) return ZR_QM_ERR_GROUP_NAME_LONG;
    std::lock_guard<std::mutex> lock(fields_);
    if (Equals(group_, group)) return 0;
    CopyText(group_, group);
    return 1;
}

void Device::SetAddress(const char *address) {
    std::lock_guard<std::mutex> lock(fields_);
    CopyText(address_, address);
}

void Device::SetLoginCredentials(const char *user, const char *password_md5) {
    std::lock_guard<std::mutex> lock(fields_);
    CopyText(user_, user);
    CopyText(password_md5_, password_md5);
}

#define KORVEL_DEVICE_GETTER(Name, field)             \
    std::string Device::Name() const {                \
        std::lock_guard<std::mutex> lock(fields_);    \
        return std::string(field, strnlen(field, sizeof field)); \
    }

KORVEL_DEVICE_GETTER(Mac, mac_)
KORVEL_DEVICE_GETTER(Address, address_)
KORVEL_DEVICE_GETTER(Name, name_)
KORVEL_DEVICE_GETTER(Version, version_)
KORVEL_DEVICE_GETTER(Group, group_)
KORVEL_DEVICE_GETTER(Alias, alias_)
KORVEL_DEVICE_GETTER(UserName, user_)
KORVEL_DEVICE_GETTER(PasswordMd5, password_md5_)
#undef KORVEL_DEVICE_GETTER

uint32_t Device::Model() const {
    std::lock_guard<std::mutex> lock(fields_);
    return model_index_;
}

int Device::State() const {
    std::lock_guard<std::mutex> lock(fields_);
    return refresh_.state;
}

std::string Device::HostText() const {
    std::lock_guard<std::mutex> lock(fields_);
    char host[128];
    std::snprintf(host, sizeof host, "%s:%d", address_, port_);
    return host;
}

RefreshRecord Device::Refresh() const {
    std::lock_guard<std::mutex> lock(fields_);
    return refresh_;
}

void Device::SetRefresh(const RefreshRecord &record) {
    std::lock_guard<std::mutex> lock(fields_);
    refresh_ = record;
}

bool Device::StartRefresh(std::function<void()> work) {
    std::lock_guard<std::mutex> lock(refresh_thread_mutex_);
    if (refresh_running_.load()) return false;
    refresh_thread_.Join(); // ended already: forget it
    refresh_running_.store(true);
    try {
        refresh_thread_ = platform::WorkerThread([this, work = std::move(work)] {
            work();
            refresh_running_.store(false);
        });
    } catch (const std::system_error &) {
        refresh_running_.store(false);
        return false;
    }
    return true;
}

void Device::WaitForRefresh() {
    std::lock_guard<std::mutex> lock(refresh_thread_mutex_);
    refresh_thread_.Join();
}

bool Device::RefreshRunning() const { return refresh_running_.load(); }

} // namespace korvel
