// The receive thread changes both registries and saves the device store
// while callers search, list, adopt, delete and add devices. Runs under
// ThreadSanitizer too.
#include <atomic>
#include <random>

#include "device/models.h"
#include "discovery_fixture.h"

namespace discovery_test {
namespace {

constexpr int kReceivers = 24;
constexpr int kManaged = 12;

class DiscoveryConcurrencyTest : public DiscoveryTest {
protected:
    void SetUp() override {
        DiscoveryTest::SetUp();
        std::vector<DeviceInfo> records;
        for (int i = 1; i <= kReceivers; ++i) {
            receivers_.push_back(AddReceiver(i, talvo_sim::ModelNames()[static_cast<size_t>(i % 6)]));
            if (i <= kManaged) records.push_back(Record(receivers_.back().mac, receivers_.back().model, "127.0.99.1"));
        }
        Manage(records);
        ZR_QM_ClearSearchDeviceList();
    }

    template <class Work>
    void Spawn(int seed, Work work) {
        threads_.emplace_back([this, seed, work] {
            std::minstd_rand random(static_cast<unsigned>(seed));
            while (!stop_) work(random);
        });
    }

    void RunFor(std::chrono::milliseconds time) {
        std::this_thread::sleep_for(time);
        stop_ = true;
        for (std::thread &thread : threads_) thread.join();
    }

    const talvo_sim::ReceiverConfig &Pick(std::minstd_rand &random) {
        return receivers_[random() % receivers_.size()];
    }

    std::vector<talvo_sim::ReceiverConfig> receivers_;
    std::vector<std::thread> threads_;
    std::atomic<bool> stop_{false};
    std::atomic<int> faults_{0};
};

bool Sane(const DeviceInfo &info) {
    std::string mac = info.Wired_MacAddr;
    return mac.rfind("02:54:56:00:", 0) == 0 && mac.size() == 17 && korvel::ModelIndex(info.Device_Type) < 6 &&
           info.Device_Group[0] != '\0';
}

TEST_F(DiscoveryConcurrencyTest, HandlersAndCallersShareBothRegistries) {
    Spawn(1, [&](std::minstd_rand &) { // the search window
        ZR_QM_ClearSearchDeviceList();
        if (ZR_QM_SearchDevice() != 0) faults_++;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    });
    Spawn(2, [&](std::minstd_rand &random) { // receivers change; the main window asks for updates
        fleet.SetVersion(Pick(random).mac, "V" + std::to_string(random() % 1000));
        if (ZR_QM_UpdateDeviceInfo() != 0) faults_++;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    });
    Spawn(3, [&](std::minstd_rand &) { // lists
        for (const DeviceInfo &info : ManagedDevices())
            if (!Sane(info)) faults_++;
        DeviceInfo *devices = nullptr;
        int count = ZR_QM_GetSearchDeviceList(&devices);
        for (const DeviceInfo &info : TakeList(count, devices))
            if (!Sane(info) && std::string(info.Wired_MacAddr).rfind(kSentinelPrefix, 0) != 0) faults_++;
    });
    Spawn(4, [&](std::minstd_rand &random) { // delete, adopt again, add by address
        const auto &receiver = Pick(random);
        int deleted = ZR_QM_DelDevice(receiver.mac.c_str());
        if (deleted != 0 && deleted != ZR_QM_ERR_DEV_NOT_FOUND) faults_++;
        ZR_QM_MacText macs[1];
        std::snprintf(macs[0], sizeof macs[0], "%s", Pick(random).mac.c_str());
        if (ZR_QM_AddSearchDevicesToDeviceList(macs, 1) < 0) faults_++;
        DeviceInfo out;
        int added = ZR_QM_AddDevice(Pick(random).address.c_str(), "", "", &out);
        if (added != 0 && added != ZR_QM_ERR_DEV_EXISTS) faults_++;
    });
    RunFor(std::chrono::seconds(4));
    EXPECT_EQ(faults_, 0);
    Drain(); // the receive thread still runs
}

// Stop while managed receivers keep announcing changes: the device store
// written at stop holds every managed device.
TEST_F(DiscoveryConcurrencyTest, StopDuringAnnouncementsKeepsTheStoreWhole) {
    for (int round = 0; round < 20; ++round) {
        const size_t managed = ManagedMacs().size();
        ASSERT_EQ(managed, static_cast<size_t>(kManaged));
        std::atomic<bool> sending{true};
        std::thread announcer([&] {
            GroupSender own;
            for (int n = 0; sending; ++n) {
                const auto &receiver = receivers_[static_cast<size_t>(n % kManaged)];
                own.Send(Announcement("DeviceOnline", receiver.mac,
                                      {{"Device_Type", receiver.model}, {"Device_Ver", "V" + std::to_string(n)}}));
            }
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ZR_QM_DeInit();
        sending = false;
        announcer.join();
        std::string store = cwd_.Read("DevsInfo.ini");
        size_t entries = 0;
        for (size_t at = store.find("\"Wired_MacAddr\""); at != std::string::npos;
             at = store.find("\"Wired_MacAddr\"", at + 1))
            ++entries;
        EXPECT_EQ(entries, managed) << "round " << round;
        Start();
    }
}

// Start while a managed receiver keeps announcing changes: the device store
// is never rewritten with part of the registry, as it would be if a handler
// saved it while it still loads.
TEST_F(LibraryTest, StartDuringAnnouncementsNeverWritesAPartialStore) {
    constexpr int kStored = 4000;
    std::vector<std::string> entries;
    for (int i = 1; i <= kStored; ++i) entries.push_back(DeviceEntry(MacOf(i)));
    cwd_.Write("DevsInfo.ini", DeviceStore(entries));

    std::atomic<bool> running{true};
    std::atomic<int> fewest{kStored};
    std::thread watcher([&] {
        while (running) {
            std::string store = cwd_.Read("DevsInfo.ini");
            size_t at = store.find("\"Dev_Num\":");
            if (at == std::string::npos) continue; // between the write and the rename
            int counted = std::atoi(store.c_str() + at + 10);
            if (counted < fewest) fewest = counted;
        }
    });
    std::atomic<int> sent{0};
    std::thread announcer([&] {
        GroupSender own;
        for (int n = 0; running; ++n, ++sent)
            own.Send(Announcement("DeviceOnline", MacOf(1 + n % 2),
                                  {{"Device_Type", "TALVO_HX"}, {"Device_Ver", "V" + std::to_string(n)}}));
    });
    ASSERT_TRUE(Eventually([&] { return sent > 0; }));
    Start();
    EXPECT_TRUE(Eventually([&] { return ManagedInfo(MacOf(1)).Device_Ver[0] == 'V'; }))
        << "the announcements are handled once the store has loaded";
    running = false;
    announcer.join();
    watcher.join();
    EXPECT_EQ(fewest, kStored);
    EXPECT_EQ(ManagedDevices().size(), static_cast<size_t>(kStored));
}

} // namespace
} // namespace discovery_test
