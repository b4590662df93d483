// The three store files in the current directory, JSON text read and written
// whole through the mapping component:
//   "DevsInfo.ini"    the managed registry and the device operate credentials
//   "GroupsInfo.ini"  the group names
//   "AccountInfo.ini" the operator accounts
// Each load reads its file twice (the counts, then the records); a missing or
// unreadable file gets the defaults written. Each save lists what it holds and
// rewrites the file whole (atomically, through the mapping component); saves
// may run on any thread. Loads run once, at start, on one thread.
#pragma once

#include "core/account_list.h"
#include "core/device_mgr.h"
#include "core/group_list.h"
#include "core/store_file.h"

namespace korvel {

inline constexpr char kDeviceStoreName[] = "DevsInfo.ini";
inline constexpr char kGroupStoreName[] = "GroupsInfo.ini";
inline constexpr char kAccountStoreName[] = "AccountInfo.ini";

class Stores {
public:
    Stores(DeviceMgr &managed, GroupList &groups, AccountList &accounts)
        : managed_(managed), groups_(groups), accounts_(accounts) {}

    // 0, or a negative code. A refused record is logged and skipped; the load
    // goes on with the others and then reports the refusal's code.
    int LoadDevices();
    int LoadGroups();
    // Also creates "admin" (password "pelun", type 0) when it is missing.
    int LoadAccounts();

    // 0, -1 (listing or writing failed) or ZR_QM_ERR_NO_MEMORY; logged.
    int SaveDevices();
    int SaveGroups();
    int SaveAccounts();

private:
    void EnsureSuperAdmin();

    DeviceMgr &managed_;
    GroupList &groups_;
    AccountList &accounts_;
    StoreFile device_file_{kDeviceStoreName};
    StoreFile group_file_{kGroupStoreName};
    StoreFile account_file_{kAccountStoreName};
};

} // namespace korvel
