#include "batch_fixture.h"

#include "korvel.h"

namespace talvo::testing {

void BatchTest::StartBatch(const std::vector<talvo_sim::ReceiverConfig> &receivers) {
    Start(receivers);
    for (const std::string &mac : macs_) ASSERT_EQ(ZR_QM_LoginDevice(mac.c_str(), nullptr, nullptr), 0) << mac;
    window_ = std::make_unique<CDevBatchOperateDlg>(main_.get());
    ClearRequests();
}

std::vector<int> BatchTest::RebootCounts() {
    std::vector<int> counts;
    for (const std::string &mac : macs_) counts.push_back(Fleet().Snapshot(mac).reboots);
    return counts;
}

void BatchTest::WaitForReboots(const std::vector<int> &before, const std::vector<int> &rebooted) {
    for (const std::string &mac : macs_) Fleet().ClearFaults(mac);
    std::vector<int> expected = before;
    for (int i : rebooted) ++expected[static_cast<std::size_t>(i)];
    ASSERT_TRUE(WaitFor([&] {
        for (std::size_t i = 0; i < macs_.size(); ++i) {
            const talvo_sim::ReceiverSnapshot now = Fleet().Snapshot(macs_[i]);
            if (now.reboots < expected[i] || now.presence != talvo_sim::Presence::Online) return false;
        }
        return true;
    })) << "receivers did not come back";
    EXPECT_EQ(RebootCounts(), expected);
    WaitForOnline(macs_);
    for (const std::string &mac : macs_) ASSERT_EQ(ZR_QM_LoginDevice(mac.c_str(), nullptr, nullptr), 0) << mac;
}

} // namespace talvo::testing
