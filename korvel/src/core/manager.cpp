#include "core/manager.h"

#include <mutex>
#include <new>

#include "core/api_frame.h"
#include "core/log.h"
#include "platform/http_library.h"
#include "platform/socket_library.h"

#define KORVEL_LOG_UNIT "TALVOMgr"

namespace korvel {
namespace {
Manager *g_manager = nullptr;
} // namespace

std::shared_mutex &LifeMutex() {
    static std::shared_mutex mutex;
    return mutex;
}

Manager *CurrentManagerUnlocked() { return g_manager; }

Manager::Manager() = default;

Manager::~Manager() = default;

int Manager::Open() {
    int loaded = LoadStores();
    if (StartDiscovery() != 0) KLOG("[%s]:[%d] CheckAndCreateMulticastSocket failed.");
    return loaded;
}

void Manager::Close() {
    StopDiscovery();
    workers_.WaitAll();
    SaveStores();
    ClearAll();
}

int Manager::StartDiscovery() {
    MulticastHold hold(multicast_.serial);
    return CheckAndCreateMulticastSocket(*this, hold);
}

void Manager::StopDiscovery() {
    MulticastHold hold(multicast_.serial);
    StopMulticastChannel(*this, hold);
}

// Every store is loaded even when an earlier one failed, so a bad device
// record never keeps the operators out; start still reports the failure.
int Manager::LoadStores() {
    int result = 0;
    if (stores_.LoadDevices() != 0) {
        KLOG("[%s]:[%d] read devices infomation from file failed.");
        result = -1;
    }
    if (stores_.LoadGroups() != 0) {
        KLOG("[%s]:[%d] read devices infomation from file failed.");
        result = -1;
    }
    if (stores_.LoadAccounts() != 0) {
        KLOG("[%s]:[%d] read user account infomation from file failed.");
        result = -1;
    }
    return result;
}

void Manager::SaveStores() {
    stores_.SaveDevices();
    stores_.SaveGroups();
}

void Manager::ClearAll() {
    managed_.Clear();
    groups_.Clear();
    accounts_.Clear();
    search_.Clear();
}

int InitLibrary() {
    if (platform::StartSocketLibrary() != 0) return -1;
    if (platform::StartHttpLibrary() != 0) {
        KLOG("[%s]:[%d] curl_global_init failed.");
        return -1;
    }
    std::unique_lock<std::shared_mutex> hold(LifeMutex());
    if (g_manager != nullptr) return 0;
    Manager *manager = new (std::nothrow) Manager();
    if (manager == nullptr) {
        KLOG("[%s]:[%d] create manager failed.");
        return ZR_QM_ERR_NO_MEMORY;
    }
    g_manager = manager;
    return manager->Open();
}

int DeInitLibrary() {
    {
        std::unique_lock<std::shared_mutex> hold(LifeMutex());
        if (g_manager != nullptr) {
            g_manager->Close();
            delete g_manager;
            g_manager = nullptr;
        }
    }
    platform::StopSocketLibrary();
    return 0;
}

} // namespace korvel
