// The process-wide manager: everything the library holds lives in it, from
// ZR_QM_Init to ZR_QM_DeInit.
#pragma once

#include "core/account_list.h"
#include "core/device_mgr.h"
#include "core/group_list.h"
#include "core/stores.h"
#include "core/worker_tracker.h"

namespace korvel {

class Manager {
public:
    Manager();
    ~Manager();
    Manager(const Manager &) = delete;
    Manager &operator=(const Manager &) = delete;

    // Start steps after creation: the discovery channel (a failure is only
    // logged), then the device, group and account stores. 0 or -1.
    int Open();

    // Stop steps before destruction: wait for the worker threads that outlived
    // their calls, save the stores, empty the registries, groups and
    // accounts, stop the discovery channel.
    void Close();

    DeviceMgr &Managed() { return managed_; }
    DeviceMgr &Search() { return search_; }
    GroupList &Groups() { return groups_; }
    AccountList &Accounts() { return accounts_; }
    Stores &Store() { return stores_; }
    WorkerTracker &Workers() { return workers_; }

private:
    int StartDiscovery();
    void StopDiscovery();
    int LoadStores();
    void SaveStores();
    void ClearAll();

    DeviceMgr managed_;
    DeviceMgr search_;
    GroupList groups_;
    AccountList accounts_;
    Stores stores_{managed_, groups_, accounts_};
    WorkerTracker workers_; // last member: destroyed first, so its threads end before the rest goes
};

// ZR_QM_Init and ZR_QM_DeInit.
int InitLibrary();
int DeInitLibrary();

} // namespace korvel
