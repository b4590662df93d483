// The frame every export shares: without a manager an export returns
// ZR_QM_ERR_NOT_INIT and does nothing; with one it runs while the manager is
// held, so ZR_QM_DeInit on another thread waits until the call has ended.
//
// Exports never call other exports from inside `work`: the hold is a shared
// lock that a waiting ZR_QM_DeInit would turn into a deadlock.
#pragma once

#include <shared_mutex>

#include "core/manager.h"
#include "korvel.h"

namespace korvel {

std::shared_mutex &LifeMutex();
Manager *CurrentManagerUnlocked();

template <class Work>
int WithManager(Work &&work) {
    std::shared_lock<std::shared_mutex> hold(LifeMutex());
    Manager *manager = CurrentManagerUnlocked();
    if (manager == nullptr) return ZR_QM_ERR_NOT_INIT;
    return work(*manager);
}

} // namespace korvel
