// The reboot command on TCP port 50012, driven with a small framed client.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

#include "fleet_fixture.h"

namespace sim_test {
namespace {

using talvo_sim::Fault;
using talvo_sim::FaultType;

// One connection to a receiver's command port.
class CommandClient {
public:
    explicit CommandClient(const std::string &address) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in peer{};
        peer.sin_family = AF_INET;
        peer.sin_port = htons(50012);
        inet_pton(AF_INET, address.c_str(), &peer.sin_addr);
        connected_ = connect(fd_, reinterpret_cast<sockaddr *>(&peer), sizeof peer) == 0;
    }
    ~CommandClient() { close(fd_); }
    bool Connected() const { return connected_; }

    void SendRaw(const std::string &bytes) { ASSERT_EQ(send(fd_, bytes.data(), bytes.size(), 0), ssize_t(bytes.size())); }
    void SendFrame(const std::string &payload) {
        std::uint32_t length = htonl(static_cast<std::uint32_t>(payload.size()));
        SendRaw(std::string(reinterpret_cast<char *>(&length), 4) + payload);
    }

    // Reads until `count` bytes arrived, the peer closed, or the wait ended.
    std::string Receive(std::size_t count, int wait_ms, bool *closed = nullptr) {
        std::string got;
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
        while (got.size() < count) {
            int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                            end - std::chrono::steady_clock::now())
                                            .count());
            pollfd p{fd_, POLLIN, 0};
            if (left <= 0 || poll(&p, 1, left) <= 0) break;
            char buffer[8192];
            ssize_t n = recv(fd_, buffer, std::min(sizeof buffer, count - got.size()), 0);
            if (n <= 0) {
                if (closed != nullptr) *closed = true;
                break;
            }
            got.append(buffer, static_cast<std::size_t>(n));
        }
        return got;
    }

    // True when the peer closes without sending anything.
    bool ClosesWithoutAnswer() {
        bool closed = false;
        return Receive(4, 10000, &closed).empty() && closed;
    }
    // True when nothing arrives and the connection stays open for the wait.
    bool StaysSilent(int wait_ms) {
        bool closed = false;
        return Receive(4, wait_ms, &closed).empty() && !closed;
    }

    std::uint32_t ReceiveLength(int wait_ms = 10000) {
        std::string header = Receive(4, wait_ms);
        if (header.size() != 4) return 0xFFFFFFFF;
        std::uint32_t length;
        std::memcpy(&length, header.data(), 4);
        return ntohl(length);
    }
    std::string ReceiveFrame() {
        std::uint32_t length = ReceiveLength();
        return length > 4096 ? "" : Receive(length, 10000);
    }

private:
    int fd_ = -1;
    bool connected_ = false;
};

std::string Command(const std::string &mac, const std::string &password = "WQZNE847",
                    const std::string &user = "TALVO") {
    return "{\"MsgName\":\"DeviceReboot\",\"Wired_MacAddr\":\"" + mac +
           "\",\"Device_Type\":\"DeviceManagerSoftware\",\"UserName\":\"" + user + "\",\"PasswordMd5\":\"" +
           talvo_sim::Md5Hex(password) + "\",\"ProductId\":\"KARVEN\",\"Odm_Name\":\"TALVO\"}";
}

class TcpTest : public FleetTest {
protected:
    Json Exchange(const std::string &payload) {
        CommandClient client(kAddress);
        EXPECT_TRUE(client.Connected());
        client.SendFrame(payload);
        return Parse(client.ReceiveFrame());
    }
};

TEST_F(TcpTest, RightCredentialsRebootTheReceiver) {
    Json answer = Exchange(Command("02:54:56:00:00:01"));
    ASSERT_TRUE(answer);
    EXPECT_EQ(Member(answer.get(), "MsgName"), "DeviceRebootAck");
    EXPECT_EQ(Member(answer.get(), "Result"), "Success");
    EXPECT_EQ(Member(answer.get(), "Wired_MacAddr"), kMac);
    EXPECT_EQ(Member(answer.get(), "ProductId"), "KARVEN");
    EXPECT_TRUE(Eventually([&] { return fleet.Snapshot(kMac).reboots == 1; }));
    EXPECT_LT(fleet.Snapshot(kMac).run_time, 100u);

    auto requests = fleet.Requests(kMac);
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.front().protocol, "tcp");
    EXPECT_EQ(requests.front().payload, Command("02:54:56:00:00:01"));
}

TEST_F(TcpTest, WrongCredentialsOrMacAreRefusedWithoutReboot) {
    EXPECT_EQ(Member(Exchange(Command(kMac, "wrong")).get(), "Result"), "UserNameOrPasswordNotMatch");
    EXPECT_EQ(Member(Exchange(Command(kMac, "WQZNE847", "admin")).get(), "Result"), "UserNameOrPasswordNotMatch");
    EXPECT_EQ(Member(Exchange(Command("02:54:56:00:00:02")).get(), "Result"), "MacNotMatch");
    EXPECT_EQ(fleet.Snapshot(kMac).reboots, 0);
}

TEST_F(TcpTest, AnswerFaults) {
    fleet.InjectFault(kMac, "DeviceReboot", Fault{FaultType::ForeignMsgName});
    EXPECT_EQ(Member(Exchange(Command(kMac)).get(), "MsgName"), "DeviceReboot");
    fleet.InjectFault(kMac, "DeviceReboot", Fault{FaultType::ResultText, 0, "success"});
    EXPECT_EQ(Member(Exchange(Command(kMac)).get(), "Result"), "success");
    fleet.InjectFault(kMac, "DeviceReboot", Fault{FaultType::BrokenBody});
    EXPECT_FALSE(Exchange(Command(kMac)));
    EXPECT_EQ(fleet.Snapshot(kMac).reboots, 0) << "a spoilt answer does not reboot";

    for (std::uint32_t length : {0u, 4097u, 5000u}) {
        fleet.InjectFault(kMac, "DeviceReboot", Fault{FaultType::FrameLength, static_cast<int>(length)});
        CommandClient client(kAddress);
        client.SendFrame(Command(kMac));
        EXPECT_EQ(client.ReceiveLength(), length);
    }
}

TEST_F(TcpTest, SilenceKeepsTheConnectionOpenAndCloseEndsIt) {
    fleet.InjectFault(kMac, "DeviceReboot", Fault{FaultType::Silence});
    CommandClient silent(kAddress);
    silent.SendFrame(Command(kMac));
    EXPECT_TRUE(silent.StaysSilent(1000));

    fleet.InjectFault(kMac, "DeviceReboot", Fault{FaultType::Close});
    CommandClient closing(kAddress);
    closing.SendFrame(Command(kMac));
    EXPECT_TRUE(closing.ClosesWithoutAnswer());
}

TEST_F(TcpTest, FramesOutsideOneTo4096BytesAndUnknownCommandsAreDropped) {
    for (std::uint32_t length : {0u, 4097u}) {
        CommandClient client(kAddress);
        std::uint32_t header = htonl(length);
        client.SendRaw(std::string(reinterpret_cast<char *>(&header), 4));
        EXPECT_TRUE(client.ClosesWithoutAnswer()) << length;
    }
    CommandClient client(kAddress);
    client.SendFrame("{\"MsgName\":\"DeviceShutdown\"}");
    EXPECT_TRUE(client.ClosesWithoutAnswer());
    // A request arriving in pieces is answered once whole.
    CommandClient pieces(kAddress);
    std::string frame;
    std::string payload = Command(kMac, "wrong");
    std::uint32_t header = htonl(static_cast<std::uint32_t>(payload.size()));
    frame = std::string(reinterpret_cast<char *>(&header), 4) + payload;
    pieces.SendRaw(frame.substr(0, 2));
    pieces.SendRaw(frame.substr(2, 20));
    pieces.SendRaw(frame.substr(22));
    EXPECT_EQ(Member(Parse(pieces.ReceiveFrame()).get(), "Result"), "UserNameOrPasswordNotMatch");
}

TEST_F(TcpTest, OfflineReceiverRefusesTheCommandPort) {
    fleet.TakeOffline(kMac);
    EXPECT_FALSE(CommandClient(kAddress).Connected());
    fleet.BringBack(kMac);
    EXPECT_TRUE(CommandClient(kAddress).Connected());
}

} // namespace
} // namespace sim_test
