// The device store and the registry at fleet size: load and save of the
// device store, listing every snapshot, one lookup by MAC through the export.
// The load and save are split into their registry part (admission, listing)
// and the rest (JSON text and the file) to show what dominates.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/api_frame.h"
#include "core/stores.h"
#include "korvel.h"

namespace {

namespace fs = std::filesystem;
using korvel::AccountList;
using korvel::DeviceMgr;
using korvel::GroupList;
using korvel::Stores;

std::string MacOf(int i) {
    char mac[18];
    std::snprintf(mac, sizeof mac, "aa:bb:cc:%02x:%02x:%02x", (i >> 16) & 0xFF, (i >> 8) & 0xFF, i & 0xFF);
    return mac;
}

DeviceInfo RecordOf(int i) {
    DeviceInfo info{};
    std::snprintf(info.Wired_MacAddr, sizeof info.Wired_MacAddr, "%s", MacOf(i).c_str());
    std::snprintf(info.Wired_IpAddr, sizeof info.Wired_IpAddr, "127.%d.%d.%d", (i >> 16) & 0xFF, (i >> 8) & 0xFF,
                  i & 0xFF);
    std::snprintf(info.Wifi_SSID, sizeof info.Wifi_SSID, "TALVO-%06d", i);
    std::snprintf(info.Device_Type, sizeof info.Device_Type, "TALVO_%s", i % 2 ? "JX" : "HX");
    std::snprintf(info.Device_Ver, sizeof info.Device_Ver, "2.4.%d", i % 10);
    std::snprintf(info.Device_Alias, sizeof info.Device_Alias, "Meeting room %d", i);
    std::snprintf(info.Device_Group, sizeof info.Device_Group, "Floor %d", i % 20);
    return info;
}

void Fill(DeviceMgr &registry, int count) {
    registry.SetOperate("TALVO", "e2c7a66d7da5e004b38164ddc0720422");
    for (int i = 0; i < count; ++i) {
        DeviceInfo record = RecordOf(i);
        registry.Admit(record);
    }
}

// A scratch folder as the current directory, holding a device store of `count` devices.
class StoreFolder {
public:
    explicit StoreFolder(int count) {
        std::string pattern = (fs::temp_directory_path() / "korvel-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        path_ = pattern;
        previous_ = fs::current_path();
        fs::current_path(path_);
        DeviceMgr registry;
        GroupList groups;
        AccountList accounts;
        Fill(registry, count);
        Stores(registry, groups, accounts).SaveDevices();
    }
    ~StoreFolder() {
        fs::current_path(previous_);
        fs::remove_all(path_);
    }

private:
    fs::path path_, previous_;
};

void StoreCounters(benchmark::State &state) {
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetComplexityN(state.range(0));
}

void BM_LoadDeviceStore(benchmark::State &state) {
    StoreFolder folder(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        DeviceMgr registry;
        GroupList groups;
        AccountList accounts;
        if (Stores(registry, groups, accounts).LoadDevices() != 0) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(registry.Count());
        state.PauseTiming(); // the registry's destruction is no part of the load
        registry.Clear();
        state.ResumeTiming();
    }
    StoreCounters(state);
}

// The registry's part of a load: admitting the records.
void BM_AdmitRecords(benchmark::State &state) {
    std::vector<DeviceInfo> records;
    for (int i = 0; i < state.range(0); ++i) records.push_back(RecordOf(i));
    for (auto _ : state) {
        DeviceMgr registry;
        for (DeviceInfo record : records) registry.Admit(record);
        state.PauseTiming();
        registry.Clear();
        state.ResumeTiming();
    }
    StoreCounters(state);
}

void BM_SaveDeviceStore(benchmark::State &state) {
    StoreFolder folder(0);
    DeviceMgr registry;
    GroupList groups;
    AccountList accounts;
    Fill(registry, static_cast<int>(state.range(0)));
    Stores stores(registry, groups, accounts);
    for (auto _ : state)
        if (stores.SaveDevices() != 0) state.SkipWithError("save failed");
    state.counters["file_bytes"] = static_cast<double>(fs::file_size(korvel::kDeviceStoreName));
    StoreCounters(state);
}

// The registry's part of a save, and ZR_QM_GetDeviceList's work: every snapshot.
void BM_ListSnapshots(benchmark::State &state) {
    DeviceMgr registry;
    Fill(registry, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        DeviceInfo *list = nullptr;
        benchmark::DoNotOptimize(registry.ListSnapshots(&list));
        std::free(list);
    }
    StoreCounters(state);
}

// One lookup by MAC through the export, in a managed registry of range(0) devices.
void BM_GetDeviceInfo(benchmark::State &state) {
    StoreFolder folder(static_cast<int>(state.range(0)));
    if (ZR_QM_Init() != 0) state.SkipWithError("init failed");
    std::vector<std::string> macs;
    for (int i = 0; i < state.range(0); i += 97) macs.push_back(MacOf(i));
    size_t next = 0;
    for (auto _ : state) {
        DeviceInfo info{};
        const std::string &mac = macs[next++ % macs.size()];
        if (ZR_QM_GetDeviceInfo(mac.c_str(), &info) != 0) state.SkipWithError("not found");
        benchmark::DoNotOptimize(info);
    }
    ZR_QM_DeInit();
}

} // namespace

BENCHMARK(BM_LoadDeviceStore)->Arg(1000)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_AdmitRecords)->Arg(1000)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_SaveDeviceStore)->Arg(1000)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_ListSnapshots)->Arg(1000)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_GetDeviceInfo)->Arg(10000)->Unit(benchmark::kMicrosecond);
