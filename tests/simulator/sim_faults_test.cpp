// Faults injected per receiver and request kind, seen from a plain client.
#include "fleet_fixture.h"

namespace sim_test {
namespace {

using talvo_sim::Fault;
using talvo_sim::FaultType;

class FaultTest : public FleetTest {
protected:
    void SetUp() override {
        FleetTest::SetUp();
        cookie = LoginCookie(kAddress);
    }
    std::string cookie;
};

TEST_F(FaultTest, StatusFaultsAnswerTheChosenStatus) {
    for (int status : {404, 500, 302, 503}) {
        fleet.InjectFault(kMac, "dev_status", Fault{FaultType::Status, status});
        HttpResult answer = Read("dev_status", cookie);
        EXPECT_EQ(answer.code, CURLE_OK);
        EXPECT_EQ(answer.status, status);
        if (status == 302) {
            EXPECT_EQ(answer.location, std::string("http://") + kAddress + "/index.html");
        }
    }
    fleet.InjectFault(kMac, "dev_state", Fault{FaultType::Unauthorized});
    EXPECT_EQ(Read("dev_state", cookie).status, 401);
    EXPECT_EQ(Read("net_settings", cookie).status, 200) << "other kinds answer normally";
}

TEST_F(FaultTest, BodyFaultsSpoilTheAnswer) {
    fleet.InjectFault(kMac, "net_settings", Fault{FaultType::BrokenBody});
    HttpResult broken = Read("net_settings", cookie);
    EXPECT_EQ(broken.status, 200);
    EXPECT_FALSE(broken.body.empty());
    EXPECT_FALSE(Parse(broken.body)) << broken.body;

    fleet.InjectFault(kMac, "net_settings", Fault{FaultType::OversizedBody, 6000});
    HttpResult big = Read("net_settings", cookie);
    EXPECT_GE(big.body.size(), 6000u);
    EXPECT_TRUE(Parse(big.body)) << "still valid JSON, only too long";

    fleet.InjectFault(kMac, "dev_state", Fault{FaultType::ForeignMac, 0, "02:11:22:33:44:55"});
    EXPECT_EQ(Member(Parse(Read("dev_state", "").body).get(), "result.dev_mac"), "02:11:22:33:44:55");
    fleet.InjectFault(kMac, "dev_status", Fault{FaultType::ForeignMac});
    EXPECT_EQ(Member(Parse(Read("dev_status", cookie).body).get(), "result.dev_mac"), "02:00:00:00:00:99");
}

TEST_F(FaultTest, ErrCodeRefusesAndChangesNothing) {
    fleet.InjectFault(kMac, "multi_mode", Fault{FaultType::ErrCode, -2});
    HttpResult refused =
        Get(kAddress, "/do?action=save&section=multi_mode&multi_display_enable=true", cookie);
    EXPECT_EQ(Member(Parse(refused.body).get(), "err_code"), "-2");
    HttpResult read = Read("multi_mode", cookie);
    EXPECT_EQ(Member(Parse(read.body).get(), "err_code"), "-2") << "the fault stays until cleared";
    EXPECT_EQ(Member(Parse(read.body).get(), "result.multi_display_enable"), "false") << "reads keep their data";
    fleet.ClearFaults(kMac);
    EXPECT_EQ(Member(Parse(Read("multi_mode", cookie).body).get(), "err_code"), "0");
}

TEST_F(FaultTest, TimesLimitsHowOftenAFaultApplies) {
    fleet.InjectFault(kMac, "read", Fault{FaultType::Status, 500, "", 2});
    EXPECT_EQ(Read("video_out", cookie).status, 500);
    EXPECT_EQ(Read("pin_code", cookie).status, 500);
    EXPECT_EQ(Read("video_out", cookie).status, 200);
}

TEST_F(FaultTest, SectionRuleWinsOverActionAndStar) {
    fleet.InjectFault(kMac, "*", Fault{FaultType::Status, 503});
    fleet.InjectFault(kMac, "read", Fault{FaultType::Status, 500});
    fleet.InjectFault(kMac, "pin_code", Fault{FaultType::Status, 404});
    EXPECT_EQ(Read("pin_code", cookie).status, 404);
    EXPECT_EQ(Read("video_out", cookie).status, 500);
    EXPECT_EQ(Get(kAddress, "/do?action=open&section=dev_wifi", cookie).status, 503);
}

TEST_F(FaultTest, DelayAnswersLaterAndCloseAnswersNothing) {
    fleet.InjectFault(kMac, "video_out", Fault{FaultType::Delay, 300});
    HttpResult late = Read("video_out", cookie);
    EXPECT_EQ(late.status, 200);
    EXPECT_EQ(Member(Parse(late.body).get(), "err_code"), "0");

    fleet.InjectFault(kMac, "pin_code", Fault{FaultType::Close});
    EXPECT_EQ(Read("pin_code", cookie).code, CURLE_GOT_NOTHING);
}

TEST_F(FaultTest, StallSendsPartOfTheAnswerAndThenNothing) {
    fleet.InjectFault(kMac, "dev_status", Fault{FaultType::Stall});
    HttpResult stalled = Get(kAddress, "/do?action=read&section=dev_status", cookie, 1000);
    EXPECT_EQ(stalled.code, CURLE_OPERATION_TIMEDOUT);
    EXPECT_EQ(stalled.status, 200);
    EXPECT_FALSE(stalled.body.empty());
    EXPECT_FALSE(Parse(stalled.body));
    fleet.ClearFaults(kMac);
    EXPECT_EQ(Read("dev_status", cookie).status, 200) << "the receiver goes on serving";
}

TEST_F(FaultTest, FaultsAreRecordedRequestsToo) {
    fleet.InjectFault(kMac, "*", Fault{FaultType::Close});
    fleet.ClearRequests(kMac);
    Read("video_out", cookie);
    auto requests = fleet.Requests(kMac);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].path, "/do?action=read&section=video_out");
}

} // namespace
} // namespace sim_test
