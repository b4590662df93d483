// The process-wide manager: everything the library holds lives in it, from
// ZR_QM_Init to ZR_QM_DeInit.
#pragma once

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

    // Stop steps before destruction: save the stores, empty the registries,
    // groups and accounts, stop the discovery channel.
    void Close();

private:
    int StartDiscovery();
    void StopDiscovery();
    int LoadStores();
    void SaveStores();
    void ClearAll();
};

// ZR_QM_Init and ZR_QM_DeInit.
int InitLibrary();
int DeInitLibrary();

} // namespace korvel
