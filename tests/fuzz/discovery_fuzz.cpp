// Fuzzes the discovery message handler with whatever a datagram may hold:
// it must never crash, and neither registry may take a record without a MAC
// address or with a model outside the table. The manager is built directly
// (no channel, no store loaded) with a few managed devices that matching
// announcements update; the device store it then saves lives in a private
// folder on a memory file system where there is one, which becomes the
// current directory (and so holds the files of any fault found).
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/manager.h"
#include "device/models.h"
#include "net/discovery.h"
#include "net/multicast.h"

namespace {

constexpr size_t kManagedDevices = 4;
constexpr size_t kMostSearchResults = 64;

std::string g_folder;

// At a normal end: the store goes, and the folder with it unless a fault's
// files are there.
void LeavePrivateFolder() {
    std::error_code error;
    std::filesystem::remove(g_folder + "/DevsInfo.ini", error);
    std::filesystem::remove(g_folder, error);
}

void EnterPrivateFolder() {
    g_folder = (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
    g_folder += "/discovery_fuzz.XXXXXX";
    if (mkdtemp(g_folder.data()) == nullptr || chdir(g_folder.c_str()) != 0) std::abort();
    std::fprintf(stderr, "discovery_fuzz: working in %s\n", g_folder.c_str());
    std::atexit(LeavePrivateFolder);
}

korvel::Manager &FuzzManager() {
    static korvel::Manager *manager = [] {
        auto *built = new korvel::Manager();
        built->Managed().SetOperate("TALVO", "e2c7a66d7da5e004b38164ddc0720422");
        for (size_t i = 1; i <= kManagedDevices; ++i) {
            DeviceInfo record{};
            std::snprintf(record.Wired_MacAddr, sizeof record.Wired_MacAddr, "02:54:56:00:00:%02zx", i);
            std::snprintf(record.Wired_IpAddr, sizeof record.Wired_IpAddr, "127.0.20.%zu", i);
            std::strcpy(record.Device_Type, "TALVO_JX");
            if (built->Managed().Admit(record) != 0) std::abort();
        }
        return built;
    }();
    return *manager;
}

void CheckRecords(const korvel::DeviceMgr &registry) {
    for (const DeviceInfo &info : registry.Snapshots()) {
        if (info.Wired_MacAddr[0] == '\0' || korvel::ModelIndex(info.Device_Type) >= korvel::kModelCount) std::abort();
        if (std::memchr(info.Wired_MacAddr, '\0', sizeof info.Wired_MacAddr) == nullptr) std::abort();
    }
}

} // namespace

// The corpus folders named on the command line are read later, from the
// private folder: they become absolute first.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    static std::vector<std::string> paths;
    paths.reserve(static_cast<size_t>(*argc));
    for (int i = 1; i < *argc; ++i) {
        if ((*argv)[i][0] == '-') continue;
        paths.push_back(std::filesystem::absolute((*argv)[i]).string());
        (*argv)[i] = paths.back().data();
    }
    EnterPrivateFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    korvel::Manager &manager = FuzzManager();
    // As the receive thread hands a datagram over: at most 1023 bytes and a zero.
    char buffer[korvel::kMulticastBufferSize] = {0};
    std::memcpy(buffer, data, std::min(size, sizeof buffer - 1));
    korvel::HandleMulticastMessage(manager, buffer);

    CheckRecords(manager.Managed());
    CheckRecords(manager.Search());
    if (manager.Managed().Count() != kManagedDevices) std::abort();
    if (manager.Search().Count() > kMostSearchResults) manager.Search().Clear();
    return 0;
}
