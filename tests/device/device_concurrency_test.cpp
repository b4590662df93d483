// One device used from several threads at once: requests on the persistent
// handle, uploads and state queries on fresh ones, logins and snapshots.
#include <atomic>
#include <future>

#include "sim_device.h"
#include "temp_dir.h"

namespace device_test {
namespace {

using talvo_sim::FaultType;

class DeviceConcurrencyTest : public SimDeviceTest {
protected:
    void SetUp() override {
        SimDeviceTest::SetUp();
        LogIn();
    }
    korvel::testing::TempDir dir;
};

TEST_F(DeviceConcurrencyTest, RequestsUploadsStateQueriesAndSnapshotsTogether) {
    const std::string image = dir.Write("boot.jpg", std::string(1 << 20, 'i'));
    std::atomic<int> failures{0};
    auto expect_ok = [&](int result) {
        if (result < 0) ++failures;
    };
    std::vector<std::thread> threads;
    threads.emplace_back([&] {
        for (int i = 0; i < 30; ++i) {
            NetConfig config{};
            expect_ok(device->GetNetConfig(config));
        }
    });
    threads.emplace_back([&] {
        for (int i = 0; i < 30; ++i) {
            VideoOutConfig video{};
            std::snprintf(video.sound_volume, sizeof video.sound_volume, "%d", i);
            expect_ok(device->SetVideoOut(video));
            PinCodeConfig pin{};
            expect_ok(device->GetPinCode(pin));
            expect_ok(device->GetUpdateProgress(i % 3));
        }
    });
    threads.emplace_back([&] {
        for (int i = 0; i < 4; ++i) expect_ok(device->SetScreen(i, nullptr, 0, image.c_str()));
    });
    threads.emplace_back([&] {
        for (int i = 0; i < 40; ++i) {
            int state = -1;
            int run_time = 0;
            expect_ok(device->GetState(state, run_time));
            if (state != ZR_QM_STATE_IDLE) ++failures;
        }
    });
    threads.emplace_back([&] {
        for (int i = 0; i < 10; ++i) {
            CompereList list{};
            expect_ok(device->GetCompereList(list));
            DeviceNetStatus status{};
            expect_ok(device->GetNetStatus(status));
            expect_ok(device->Login(kUser, PasswordMd5().c_str()));
        }
    });
    threads.emplace_back([&] {
        for (int i = 0; i < 300; ++i) {
            DeviceInfo info{};
            device->FillInfo(info);
            if (std::string(info.Wired_MacAddr) != kMac) ++failures;
            if (device->Cookie().find("sessionid=") == std::string::npos) ++failures;
            (void)device->Name();
            (void)device->Version();
        }
    });
    for (auto &thread : threads) thread.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(fleet.Snapshot(kMac).files.size(), 4u);
}

// Requests on the persistent handle wait for each other; the state query and
// uploads use handles of their own and wait for nobody.
TEST_F(DeviceConcurrencyTest, StateQueryNeverWaitsBehindSlowRequests) {
    const std::string image = dir.Write("load.jpg", std::string(100000, 'l'));
    Inject("load_screen", FaultOf(FaultType::Delay, 8000));
    Inject("net_settings", FaultOf(FaultType::Delay, 8000));
    std::atomic<bool> upload_done{false};
    std::atomic<bool> read_done{false};
    auto upload = std::async(std::launch::async, [&] {
        int result = device->SetScreen(2, nullptr, 0, image.c_str());
        upload_done = true;
        return result;
    });
    auto read = std::async(std::launch::async, [&] {
        NetConfig config{};
        int result = device->GetNetConfig(config);
        read_done = true;
        return result;
    });
    ASSERT_TRUE(Eventually([&] {
        int slow = 0;
        for (const auto &r : Requests()) slow += r.section == "load_screen" || r.section == "net_settings";
        return slow == 2;
    }));
    int state = -1;
    int run_time = 0;
    EXPECT_EQ(device->GetState(state, run_time), 0);
    EXPECT_EQ(state, ZR_QM_STATE_IDLE);
    const std::string second = dir.Write("startup.jpg", "s");
    EXPECT_EQ(device->SetScreen(0, nullptr, 0, second.c_str()), 0);
    EXPECT_FALSE(upload_done.load());
    EXPECT_FALSE(read_done.load());
    EXPECT_EQ(upload.get(), 0);
    EXPECT_EQ(read.get(), 0);
}

} // namespace
} // namespace device_test
