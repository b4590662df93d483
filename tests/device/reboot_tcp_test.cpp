// The TCP reboot command against a simulated receiver's port 50012.
#include "sim_device.h"

namespace device_test {
namespace {

using talvo_sim::FaultType;

using RebootTcpTest = SimDeviceTest;

TEST_F(RebootTcpTest, RebootsWithoutLoginOrHttp) {
    ASSERT_EQ(device->RebootViaTcp(), 0);
    const auto requests = Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].protocol, "tcp");
    EXPECT_EQ(requests[0].payload,
              std::string(R"({"MsgName":"DeviceReboot","Wired_MacAddr":"02:54:56:00:00:01",)") +
                  R"("Device_Type":"DeviceManagerSoftware","UserName":"TALVO","PasswordMd5":")" + PasswordMd5() +
                  R"(","ProductId":"KARVEN","Odm_Name":"TALVO"})");
    EXPECT_TRUE(Eventually([&] { return fleet.Snapshot(kMac).reboots == 1; }));
}

TEST_F(RebootTcpTest, ReceiverVerdicts) {
    fleet.SetCredentials(kMac, kUser, talvo_sim::Md5Hex("changed"));
    EXPECT_EQ(device->RebootViaTcp(), ZR_QM_ERR_DEV_AUTH);
    fleet.SetCredentials(kMac, kUser, PasswordMd5());

    auto stranger = DeviceFor(receiver, "02:54:56:00:00:77"); // another receiver answers at the address
    EXPECT_EQ(stranger->RebootViaTcp(), ZR_QM_ERR_MAC_MISMATCH);

    Inject("DeviceReboot", FaultOf(FaultType::ResultText, 0, "success"));
    EXPECT_EQ(device->RebootViaTcp(), ZR_QM_ERR_DEV_REFUSED); // letter case counts
    Inject("DeviceReboot", FaultOf(FaultType::ResultText, 0, "Busy"));
    EXPECT_EQ(device->RebootViaTcp(), ZR_QM_ERR_DEV_REFUSED);
    EXPECT_EQ(fleet.Snapshot(kMac).reboots, 0);
}

TEST_F(RebootTcpTest, BrokenAnswersFail) {
    struct Case {
        const char *name;
        talvo_sim::Fault fault;
        const char *logged;
    } cases[] = {
        {"own MsgName", FaultOf(FaultType::ForeignMsgName, 0, "DeviceReboot"), nullptr},
        {"5000-byte frame", FaultOf(FaultType::FrameLength, 5000), "ZR01_TcpRecv_API err recv_len 5000"},
        {"empty frame", FaultOf(FaultType::FrameLength, 0), "ZR01_TcpRecv_API err recv_len 0"},
        {"not JSON", FaultOf(FaultType::BrokenBody), "JsonString2Obj failed"},
        {"closed", FaultOf(FaultType::Close), nullptr},
    };
    for (const auto &c : cases) {
        korvel::testing::LogCapture log;
        Inject("DeviceReboot", c.fault);
        EXPECT_EQ(device->RebootViaTcp(), -1) << c.name;
        if (c.logged != nullptr) {
            EXPECT_TRUE(log.Contains(c.logged)) << c.name;
        }
    }
    EXPECT_EQ(fleet.Snapshot(kMac).reboots, 0);
}

// A receiver that takes the command and stays silent costs about 4 s; the
// bound below only catches a call that hangs on.
TEST_F(RebootTcpTest, SilenceEndsTheWait) {
    Inject("DeviceReboot", FaultOf(FaultType::Silence));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(device->RebootViaTcp(), -1);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_LT(waited, std::chrono::seconds(60));
    std::printf("silent receiver: %.1f s\n", std::chrono::duration<double>(waited).count());
}

TEST_F(RebootTcpTest, AReceiverThatDoesNotListen) {
    korvel::testing::LogCapture log;
    fleet.TakeOffline(kMac);
    EXPECT_EQ(device->RebootViaTcp(), ZR_QM_ERR_CONNECT);
    EXPECT_TRUE(log.Contains("connect device failed."));
    for (const auto &request : Requests()) EXPECT_NE(request.protocol, "http");

    korvel::Device nowhere("not an address", kUser, PasswordMd5().c_str());
    EXPECT_EQ(nowhere.RebootViaTcp(), ZR_QM_ERR_CONNECT);
}

} // namespace
} // namespace device_test

namespace device_test {
namespace {

// A device handed its address over to another receiver holds "0.0.0.0". On
// Linux a connection to 0.0.0.0 reaches this machine itself (Windows refuses
// it), so without care the login with the password digest and the reboot
// command would go to whatever listens here. A receiver on 127.0.0.1 stands
// for that listener.
TEST(UnspecifiedAddressTest, NothingIsSentToTheUnspecifiedAddress) {
    talvo_sim::Fleet fleet(korvel::testing::QuickFleetOptions());
    fleet.Start();
    talvo_sim::ReceiverConfig local;
    local.mac = "02:54:56:00:00:7F";
    local.address = "127.0.0.1";
    fleet.Add(local);
    talvo_sim::ReceiverConfig handed_over = local;
    handed_over.address = "0.0.0.0";
    std::unique_ptr<korvel::Device> device = DeviceFor(handed_over);

    EXPECT_EQ(device->Login(kUser, PasswordMd5().c_str()), ZR_QM_ERR_CONNECT);
    int state = -1, run_time = 0;
    EXPECT_EQ(device->GetState(state, run_time), 0);
    EXPECT_EQ(state, ZR_QM_STATE_OFFLINE);
    EXPECT_NE(device->RebootViaTcp(), 0);
    EXPECT_TRUE(fleet.Requests(local.mac).empty());
}

} // namespace
} // namespace device_test
