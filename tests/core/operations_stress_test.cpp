// Refreshes, batches, background updates, single calls, reads and discovery
// answers on the same devices at once while devices are removed and admitted
// again and the receivers come and go; then the library stops while the last
// calls and workers are still running. Runs under ThreadSanitizer (and
// AddressSanitizer's leak check) too.
#include <atomic>
#include <random>
#include <set>

#include "operations_fixture.h"

namespace {

using namespace korvel::testing;

class OperationsStressTest : public OperationsTest {
protected:
    OperationsStressTest() : OperationsTest(true) {}
    int Receivers() const override { return 8; }

    template <class Work>
    void Spawn(unsigned seed, Work work) {
        threads_.emplace_back([this, seed, work] {
            std::minstd_rand random(seed);
            while (!stop_.load()) work(random);
        });
    }

    const std::string &Pick(std::minstd_rand &random) { return macs[random() % macs.size()]; }

    // Notes a result that no call of this kind can give.
    void Expect(const char *what, int result, std::initializer_list<int> allowed) {
        if (std::set<int>(allowed).count(result) == 0 && result != ZR_QM_ERR_NOT_INIT) {
            std::lock_guard<std::mutex> lock(mutex_);
            unexpected_.push_back(std::string(what) + " gave " + std::to_string(result));
        }
    }

    std::vector<std::thread> threads_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::string> unexpected_;
};

TEST_F(OperationsStressTest, EverythingAtOnceThenStop) {
    AllReady();
    const std::string image = files.Write("image.bin", std::string(40000, 'i'));
    const std::string digest = talvo_sim::Md5Hex(std::string(40000, 'i'));
    const MacSlots all(macs);
    constexpr int kSummary[] = {0, ZR_QM_ERR_BATCH_PARTIAL, ZR_QM_ERR_BATCH_FAILED};

    Spawn(1, [&](std::minstd_rand &) { // the window's refresh timer, much faster
        Expect("UpdateAllDeviceState", ZR_QM_UpdateAllDeviceState(), {0});
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    });
    Spawn(2, [&](std::minstd_rand &random) { // batches
        switch (random() % 5) {
        case 0:
            Expect("BatchSetDeviceWifi", ZR_QM_BatchSetDeviceWifi(all.data(), all.count(), 1),
                   {kSummary[0], kSummary[1], kSummary[2]});
            break;
        case 1: {
            int progress = ZR_QM_BatchGetDeviceUpgradeProgress(all.data(), all.count());
            if (progress < -1 && progress != ZR_QM_ERR_DEV_NOT_FOUND) Expect("BatchGetDeviceUpgradeProgress", progress, {});
            break;
        }
        case 2:
            Expect("BatchSetDeviceScreen", ZR_QM_BatchSetDeviceScreen(all.data(), all.count(), 3, image.c_str()),
                   {kSummary[0], kSummary[1], kSummary[2], ZR_QM_ERR_DEV_NOT_FOUND});
            break;
        case 3:
            Expect("BatchDevSystemUpdate",
                   ZR_QM_BatchDevSystemUpdate(all.data(), all.count(), 1, image.c_str(), digest.c_str()),
                   {ZR_QM_ERR_BATCH_PARTIAL, ZR_QM_ERR_DEV_NOT_FOUND});
            break;
        default:
            Expect("BatchDeviceReboot", ZR_QM_BatchDeviceReboot(all.data(), all.count()),
                   {kSummary[0], kSummary[1], kSummary[2]});
        }
    });
    for (unsigned seed : {3u, 4u}) {
        Spawn(seed, [&](std::minstd_rand &random) { // the configuration window
            const char *mac = Pick(random).c_str();
            NetConfig net{};
            VideoOutConfig video{};
            CompereList list{};
            switch (random() % 4) {
            case 0: ZR_QM_GetDeviceNetConf(mac, &net); break;
            case 1: ZR_QM_SetDeviceVOConf(mac, &video); break;
            case 2: ZR_QM_GetCompereList(mac, &list); break;
            default: ZR_QM_LoginDevice(mac, nullptr, nullptr);
            }
        });
    }
    Spawn(5, [&](std::minstd_rand &random) { // the main window's reads
        DeviceInfo *devices = nullptr;
        int count = ZR_QM_GetDeviceList(&devices);
        if (count > 0) std::free(devices);
        DeviceStatistics statistics{};
        ZR_QM_GetDevStatistics(&statistics);
        char text[32];
        int result = ZR_QM_GetDeviceStateStr(Pick(random).c_str(), text);
        Expect("GetDeviceStateStr", result, {0, ZR_QM_ERR_DEV_NOT_FOUND});
        int states[8];
        ZR_QM_BatchGetDevicState(all.data(), states, all.count());
    });
    Spawn(6, [&](std::minstd_rand &random) { // receivers come and go, sessions expire
        const std::string &mac = Pick(random);
        switch (random() % 5) {
        case 0: fleet.ExpireSessions(mac); break;
        case 1: fleet.TakeOffline(mac); break;
        case 2: fleet.BringBack(mac); break; // announces itself
        case 3: fleet.Announce(mac); break;
        default: fleet.SetState(mac, random() % 2 ? "standby" : "idle");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    });
    Spawn(7, [&](std::minstd_rand &random) { // searches and updates: every receiver answers
        Expect("SearchDevice", random() % 2 ? ZR_QM_SearchDevice() : ZR_QM_UpdateDeviceInfo(), {0, -1});
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
    });

    // Devices are removed and admitted again in the middle of it all.
    for (int round = 0; round < 6; ++round) {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        for (size_t i = round % 2; i < macs.size(); i += 2) {
            int removed = ZR_QM_DelDevice(macs[i].c_str());
            Expect("DelDevice", removed, {0});
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        int admitted = ZR_QM_AddSearchDevicesToDeviceList(all.data(), all.count());
        if (admitted < 0) Expect("AddSearchDevicesToDeviceList", admitted, {});
    }
    // Stop while the last calls, refreshes and background workers are still
    // running. The callers stop first: a stop waits for calls in progress,
    // and callers that never pause would keep it waiting.
    stop_.store(true);
    EXPECT_EQ(ZR_QM_DeInit(), 0);
    for (std::thread &thread : threads_) thread.join();
    EXPECT_EQ(ZR_QM_UpdateAllDeviceState(), ZR_QM_ERR_NOT_INIT);
    size_t answers = 0;
    for (const talvo_sim::DatagramRecord &datagram : fleet.Datagrams())
        answers += datagram.text.find("Ack\"") != std::string::npos ? 1 : 0;
    EXPECT_GT(answers, 0u) << "no discovery answer was sent";
    EXPECT_TRUE(unexpected_.empty()) << unexpected_.front();
}

} // namespace
