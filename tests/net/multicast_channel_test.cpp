// The multicast channel's life: created once, lost after a receive or send
// error and rebuilt by the next request, created late when start could not.
#include <netinet/in.h>
#include <sys/socket.h>

#include <fstream>

#include "discovery_fixture.h"
#include "net/multicast_channel.h"

namespace discovery_test {
namespace {

using korvel::MulticastHold;
using korvel::MulticastState;

class MulticastChannelTest : public DiscoveryTest {
protected:
    MulticastState &Channel() { return Internals().Channel(); }

    // A search that the given receiver answers reaches the search list.
    void ExpectSearchAnsweredBy(const std::string &mac) {
        ZR_QM_ClearSearchDeviceList();
        ASSERT_EQ(ZR_QM_SearchDevice(), 0);
        EXPECT_TRUE(Eventually([&] { return Contains(FoundMacs(), mac); })) << mac;
    }
};

int ReceiveBufferCeiling() {
    std::ifstream file("/proc/sys/net/core/rmem_max");
    int bytes = 0;
    file >> bytes;
    return bytes;
}

TEST_F(MulticastChannelTest, CreatedOnceAtStartWithARoomyReceiveBuffer) {
    ASSERT_TRUE(Channel().ready);
    ASSERT_TRUE(Channel().channel.Created());
    const int socket = Channel().channel.Socket();
    LogCapture log;
    {
        MulticastHold hold(Channel().serial);
        EXPECT_EQ(korvel::CheckAndCreateMulticastSocket(Internals(), hold), 0);
    }
    EXPECT_EQ(Channel().channel.Socket(), socket);
    EXPECT_FALSE(log.Contains("multicast create success."));
    // The system doubles what it grants; at least the ceiling for processes
    // that may not go past it.
    EXPECT_GE(Channel().channel.ReceiveBufferSize(), 2 * std::min(4 * 1024 * 1024, ReceiveBufferCeiling()));
}

TEST_F(MulticastChannelTest, LocalAddressesAreLoggedAndTheFirstNamesTheChannel) {
    ZR_QM_DeInit();
    LogCapture log;
    Start();
    std::string first = "0.0.0.0";
    for (const std::string &line : log.Lines()) {
        if (line.rfind("local ip[", 0) != 0) continue;
        EXPECT_EQ(line.back(), '.') << line;
        if (line.rfind("local ip[0]:", 0) == 0) first = line.substr(12, line.size() - 13);
    }
    EXPECT_EQ(Channel().channel.LocalAddress(), first);
    EXPECT_TRUE(log.Contains("[Multicast]:["));
}

TEST_F(MulticastChannelTest, ReceiveErrorClosesTheChannelAndTheNextSearchRebuildsIt) {
    auto receiver = AddReceiver(1);
    LogCapture log;
    // An ICMP "port unreachable" for a datagram of the channel's own socket
    // becomes a pending socket error, which the next receive reports.
    const int socket = Channel().channel.Socket();
    int on = 1;
    ASSERT_EQ(setsockopt(socket, IPPROTO_IP, IP_RECVERR, &on, sizeof on), 0);
    sockaddr_in nobody{};
    nobody.sin_family = AF_INET;
    nobody.sin_port = htons(9);
    nobody.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(sendto(socket, "x", 1, 0, reinterpret_cast<sockaddr *>(&nobody), sizeof nobody), 1);

    ASSERT_TRUE(Eventually([&] { return !Channel().ready && !Channel().channel.Created(); }));
    EXPECT_TRUE(log.Contains("socket receive data failed."));
    ExpectSearchAnsweredBy(receiver.mac);
    EXPECT_TRUE(log.Contains("multicast create success."));
    EXPECT_TRUE(Channel().ready);
}

TEST_F(MulticastChannelTest, SendErrorDestroysTheChannelAndTheNextRequestRebuildsIt) {
    auto receiver = AddReceiver(1);
    LogCapture log;
    shutdown(Channel().channel.Socket(), SHUT_WR); // sends fail from now on
    EXPECT_EQ(ZR_QM_SearchDevice(), -1);
    EXPECT_TRUE(log.Contains("send data to multicast failed."));
    EXPECT_FALSE(Channel().ready);
    EXPECT_FALSE(Channel().channel.Created());

    EXPECT_EQ(ZR_QM_UpdateDeviceInfo(), 0);
    EXPECT_TRUE(Channel().ready);
    ExpectSearchAnsweredBy(receiver.mac);
}

// Port 50000 held by a socket that shares it with nobody: start cannot create
// the channel, every search tries again.
TEST_F(LibraryTest, ChannelThatStartCouldNotCreateIsCreatedByALaterSearch) {
    int blocker = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_port = htons(50000);
    ASSERT_EQ(bind(blocker, reinterpret_cast<sockaddr *>(&any), sizeof any), 0);
    LogCapture log;
    Start();
    EXPECT_TRUE(log.Contains("[Multicast]:[") && log.Contains("] create socket failed!"));
    EXPECT_TRUE(log.Contains("] multicast create failed."));
    EXPECT_TRUE(log.Contains("[TALVOMgr]:[") && log.Contains("] CheckAndCreateMulticastSocket failed."));
    log.Clear();
    EXPECT_EQ(ZR_QM_SearchDevice(), -1);
    EXPECT_TRUE(log.Contains("] CheckAndCreateMulticastSocket failed."));
    EXPECT_EQ(ZR_QM_Login("admin", "pelun"), ZR_QM_USER_SUPER_ADMIN) << "the library works without the channel";

    close(blocker);
    talvo_sim::FleetOptions options;
    options.announce_on_add = false;
    talvo_sim::Fleet fleet(options);
    fleet.Start();
    talvo_sim::ReceiverConfig receiver;
    receiver.mac = MacOf(1);
    receiver.address = "127.0.30.1";
    fleet.Add(receiver);
    EXPECT_EQ(ZR_QM_SearchDevice(), 0);
    EXPECT_TRUE(log.Contains("] multicast create success."));
    EXPECT_TRUE(Eventually([&] { return Contains(SearchMacs(), receiver.mac); }));
}

} // namespace
} // namespace discovery_test
