// The process-wide manager: everything the library holds lives in it, from
// ZR_QM_Init to ZR_QM_DeInit.
#pragma once

#include "core/account_list.h"
#include "core/device_mgr.h"
#include "core/group_list.h"
#include "core/stores.h"
#include "core/worker_tracker.h"
#include "net/multicast_channel.h"

namespace korvel {

class Manager {
public:
    Manager();
    ~Manager();
    Manager(const Manager &) = delete;
    Manager &operator=(const Manager &) = delete;

    // Start steps after creation: the device, group and account stores,
    // then the discovery channel (a failure is only logged). The channel
    // comes last because its handlers save the device store: a save while
    // the store still loads would write a partial registry. 0 or -1.
    int Open();

    // Stop steps before destruction: stop the discovery channel (first, so
    // no handler saves the device store while the registries are emptied),
    // wait for the worker threads that outlived their calls, save the
    // stores, empty the registries, groups and accounts.
    void Close();

    DeviceMgr &Managed() { return managed_; }
    DeviceMgr &Search() { return search_; }
    GroupList &Groups() { return groups_; }
    AccountList &Accounts() { return accounts_; }
    Stores &Store() { return stores_; }
    WorkerTracker &Workers() { return workers_; }
    MulticastState &Channel() { return multicast_; }

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
    WorkerTracker workers_;    // after the registries: its threads end before the devices go
    MulticastState multicast_; // last: its receive thread ends before the rest goes
};

// ZR_QM_Init and ZR_QM_DeInit.
int InitLibrary();
int DeInitLibrary();

} // namespace korvel
