// Several threads list, add, move, rename, delete and update devices at once,
// as the window thread, discovery and refresh threads do. Runs under
// ThreadSanitizer too.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "library_fixture.h"

namespace {

using namespace korvel::testing;

constexpr int kDevices = 64;

std::string MacOf(int i) {
    char mac[18];
    std::snprintf(mac, sizeof mac, "aa:bb:cc:00:%02x:%02x", i / 256, i % 256);
    return mac;
}

class RegistryConcurrencyTest : public LibraryTest {
protected:
    void SetUp() override {
        Start();
        for (const char *group : {"A", "B", "C"}) ASSERT_EQ(ZR_QM_AddDevGroup(group), 0);
        for (int i = 0; i < kDevices; ++i)
            Discover(Record(MacOf(i), "TALVO_HX", "127.0.2." + std::to_string(i)));
    }

    // Runs `work(random)` `rounds` times on its own thread.
    template <class Work>
    void Spawn(int seed, int rounds, Work work) {
        threads_.emplace_back([=] {
            std::minstd_rand random(static_cast<unsigned>(seed));
            for (int i = 0; i < rounds; ++i) work(random);
        });
    }

    void JoinAll() {
        for (std::thread &thread : threads_) thread.join();
    }

    std::vector<std::thread> threads_;
    std::atomic<int> bad_records_{0};
};

bool SaneRecord(const DeviceInfo &info) {
    std::string mac = info.Wired_MacAddr, type = info.Device_Type, group = info.Device_Group;
    return mac.rfind("aa:bb:cc:00:", 0) == 0 && mac.size() == 17 && type == "TALVO_HX" && !group.empty();
}

TEST_F(RegistryConcurrencyTest, ListAddMoveRenameAndDeleteAtOnce) {
    auto pick = [](std::minstd_rand &random) { return MacOf(static_cast<int>(random() % kDevices)); };

    Spawn(1, 40, [&](std::minstd_rand &random) { // adopt a few search results
        ZR_QM_MacText macs[4];
        for (auto &mac : macs) std::snprintf(mac, sizeof mac, "%s", pick(random).c_str());
        int admitted = ZR_QM_AddSearchDevicesToDeviceList(macs, 4);
        if (admitted < 0 || admitted > 4) bad_records_++;
    });
    Spawn(2, 80, [&](std::minstd_rand &random) { // delete
        int result = ZR_QM_DelDevice(pick(random).c_str());
        if (result != 0 && result != ZR_QM_ERR_DEV_NOT_FOUND) bad_records_++;
    });
    Spawn(3, 120, [&](std::minstd_rand &random) { // move and rename devices
        const char *groups[] = {"A", "B", "C", "D"};
        std::string mac = pick(random);
        int moved = ZR_QM_MoveDevToNewGroup(mac.c_str(), groups[random() % 4]);
        if (moved != 0 && moved != 1 && moved != ZR_QM_ERR_GROUP && moved != ZR_QM_ERR_DEV_NOT_FOUND)
            bad_records_++;
        std::string alias = "Room " + std::to_string(random() % 10);
        int saved = ZR_QM_SaveDevAlias(mac.c_str(), alias.c_str());
        if (saved != 0 && saved != ZR_QM_ERR_DEV_NOT_FOUND) bad_records_++;
    });
    Spawn(4, 60, [&](std::minstd_rand &random) { // rename and delete groups
        if (random() % 2) {
            ZR_QM_ChangeGroupName("C", "D");
            ZR_QM_ChangeGroupName("D", "C");
        } else {
            ZR_QM_DelDevGroup("B");
            ZR_QM_AddDevGroup("B");
        }
    });
    Spawn(5, 150, [&](std::minstd_rand &random) { // list
        for (const DeviceInfo &info : ManagedDevices())
            if (!SaneRecord(info)) bad_records_++;
        DeviceInfo *members = nullptr;
        int count = ZR_QM_GetGroupDevList("A", &members);
        for (const DeviceInfo &info : TakeList(count, members))
            if (!SaneRecord(info) || std::string(info.Device_Group) != "A") bad_records_++;
        DeviceInfo info{};
        int found = ZR_QM_GetDeviceInfo(pick(random).c_str(), &info);
        if (found == 0 ? !SaneRecord(info) : found != ZR_QM_ERR_DEV_NOT_FOUND) bad_records_++;
        GroupNames();
    });
    Spawn(6, 80, [&](std::minstd_rand &random) { // discovery: updates and saves from its own thread
        int i = static_cast<int>(random() % kDevices);
        DeviceInfo record = Record(MacOf(i), "TALVO_HX", "127.0.3." + std::to_string(random() % 8));
        int updated = Internals().Managed().UpdateByMac(record.Wired_MacAddr, record);
        if (updated == 1) Internals().Store().SaveDevices();
        if (updated < 0 && updated != ZR_QM_ERR_DEV_NOT_FOUND) bad_records_++;
    });
    Spawn(7, 60, [&](std::minstd_rand &random) { // refreshes, which removal waits for
        auto device = Internals().Managed().Find(pick(random).c_str());
        if (device == nullptr) return;
        korvel::Device *raw = device.get();
        device->StartRefresh([raw] {
            korvel::RefreshRecord refresh = raw->Refresh();
            refresh.run_time++;
            raw->SetRefresh(refresh);
        });
    });
    JoinAll();
    EXPECT_EQ(bad_records_.load(), 0);

    // Saves ran one at a time, each listing after the change it follows: the
    // file holds the final state.
    std::string saved = cwd_.Read("DevsInfo.ini");
    ASSERT_EQ(Internals().Store().SaveDevices(), 0);
    EXPECT_EQ(cwd_.Read("DevsInfo.ini"), saved);

    std::vector<DeviceInfo> before = ManagedDevices();
    ZR_QM_DeInit();
    Start();
    std::vector<DeviceInfo> after = ManagedDevices();
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_STREQ(after[i].Wired_MacAddr, before[i].Wired_MacAddr);
        EXPECT_STREQ(after[i].Wired_IpAddr, before[i].Wired_IpAddr);
        EXPECT_STREQ(after[i].Device_Group, before[i].Device_Group);
        EXPECT_STREQ(after[i].Device_Alias, before[i].Device_Alias);
    }
}

} // namespace
