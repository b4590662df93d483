#include "core/operate_password.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

#include "core/digest.h"
#include "core/log.h"

#define KORVEL_LOG_UNIT "TALVOMgr"

namespace korvel {
namespace {

// Logins to receivers that do not answer wait for their time-out: at most
// this many run at once, so a fleet with many offline receivers does not take
// one time-out per device.
constexpr size_t kLoginThreads = 32;

// Gives every device the new login password and logs it in with it.
void LogInAgain(const std::vector<DeviceMgr::DevicePtr> &devices, const char *password_md5) {
    for (const DeviceMgr::DevicePtr &device : devices)
        device->SetLoginCredentials(device->UserName().c_str(), password_md5);
    std::atomic<size_t> next{0};
    auto worker = [&] {
        for (size_t i = next++; i < devices.size(); i = next++)
            devices[i]->Login(devices[i]->UserName().c_str(), password_md5);
    };
    std::vector<std::thread> threads;
    for (size_t i = 1; i < std::min(devices.size(), kLoginThreads); ++i) {
        try {
            threads.emplace_back(worker);
        } catch (const std::system_error &) {
            break; // the threads there are do the rest
        }
    }
    worker();
    for (std::thread &thread : threads) thread.join();
}

} // namespace

int ChangeOperatePassword(Manager &manager, const char *user, const char *current, const char *password) {
    char current_md5[kDigestSize], new_md5[kDigestSize];
    TextDigest(current, current_md5);
    TextDigest(password, new_md5);
    int result = manager.Managed().ReplaceOperatePassword(user, current_md5, new_md5);
    if (result == ZR_QM_ERR_PASSWORD) KLOG("[%s]:[%d] current password wrong.\n");
    if (result != 0) return result;
    LogInAgain(manager.Managed().Devices(), new_md5);
    manager.Store().SaveDevices();
    return 0;
}

} // namespace korvel
