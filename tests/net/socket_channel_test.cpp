// The socket layer against small peers of the test network.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "log_capture.h"
#include "net/socket_channel.h"
#include "tcp_peer.h"

namespace {

using korvel::SocketChannel;
using korvel::testing::LogCapture;
using korvel::testing::TcpPeer;

constexpr uint32_t kLoopback = 0x7F000001;
constexpr uint32_t kStreamClient = korvel::CHANNEL_STREAM | korvel::CHANNEL_CLIENT;
constexpr uint32_t kBlockingNoDelay =
    korvel::OPTION_BLOCKING | korvel::OPTION_REUSE_ADDRESS | korvel::OPTION_NO_DELAY;

// A stream client of the TCP command, connected to `peer`.
void Connect(SocketChannel &channel, const TcpPeer &peer) {
    ASSERT_EQ(channel.CreateChannel(0, 0, kStreamClient, kBlockingNoDelay), 0);
    ASSERT_EQ(channel.ConnectChannel(peer.Address(), peer.Port()), 0);
}

void Pause() { std::this_thread::sleep_for(std::chrono::milliseconds(50)); }

TEST(ParseIPv4Test, ReadsDottedTexts) {
    struct Case {
        const char *text;
        int result;
        uint32_t value;
    } cases[] = {
        {"192.168.1.20", 0, 0xC0A80114}, {"127.0.0.1", 0, 0x7F000001}, {"a.b.c.d", 0, 0},
        {"10.x.0.7", 0, 0x0A000000},      // "%d.%d.%d.%d" stops at the first unreadable part
        {"1.2.3", -1, 0},                {"1.2.3.4.5", -1, 0},         {"", -1, 0},
        {nullptr, -1, 0},
    };
    for (const auto &c : cases) {
        uint32_t value = 99;
        EXPECT_EQ(korvel::ParseIPv4(c.text, value), c.result) << (c.text ? c.text : "null");
        EXPECT_EQ(value, c.value) << (c.text ? c.text : "null");
    }
}

TEST(SocketChannelTest, FramesTravelBothWays) {
    std::string got_from_library;
    const std::string full(korvel::kMaxFramePayload, 'z');
    TcpPeer peer([&](int connection) {
        got_from_library = TcpPeer::ReceiveFrame(connection);
        TcpPeer::SendFrame(connection, full);
    });
    SocketChannel channel;
    Connect(channel, peer);
    const std::string command = R"({"MsgName":"DeviceReboot"})";
    EXPECT_EQ(channel.ZR01_TcpSend_API(command.data(), static_cast<int>(command.size())),
              static_cast<int>(command.size()));
    char buffer[korvel::kMaxFramePayload + 1] = {0};
    EXPECT_EQ(channel.ZR01_TcpRecv_API(buffer, korvel::kMaxFramePayload), 4096);
    EXPECT_EQ(std::string(buffer), full);
    EXPECT_EQ(channel.CloseChannel(), 0);
    EXPECT_EQ(channel.Socket(), korvel::platform::kInvalidSocket);
    peer.Join();
    EXPECT_EQ(got_from_library, command);
}

TEST(SocketChannelTest, EmptyFrameSendsOnlyTheHeader) {
    std::vector<unsigned char> received(8, 0xFF);
    long count = -1;
    TcpPeer peer([&](int connection) { count = recv(connection, received.data(), received.size(), MSG_WAITALL); });
    {
        SocketChannel channel;
        Connect(channel, peer);
        EXPECT_EQ(channel.ZR01_TcpSend_API("", 0), 0);
        EXPECT_EQ(channel.ZR01_TcpSend_API(nullptr, -1), -1);
    } // closing ends the peer's receive
    peer.Join();
    ASSERT_EQ(count, 4);
    EXPECT_EQ(std::vector<unsigned char>(received.begin(), received.begin() + 4),
              (std::vector<unsigned char>{0, 0, 0, 0}));
}

TEST(SocketChannelTest, LengthPrefixInPiecesIsCompleted) {
    TcpPeer peer([](int connection) {
        const unsigned char prefix[4] = {0, 0, 0x01, 0x02}; // 258
        for (unsigned char byte : prefix) {
            TcpPeer::SendAll(connection, &byte, 1);
            Pause();
        }
        std::string payload(258, 'p');
        TcpPeer::SendAll(connection, payload.data(), 100);
        Pause();
        TcpPeer::SendAll(connection, payload.data() + 100, 158);
    });
    SocketChannel channel;
    Connect(channel, peer);
    char buffer[korvel::kMaxFramePayload + 1] = {0};
    EXPECT_EQ(channel.ZR01_TcpRecv_API(buffer, korvel::kMaxFramePayload), 258);
    EXPECT_EQ(std::string(buffer), std::string(258, 'p'));
}

TEST(SocketChannelTest, LengthsOutOfRangeAndClosedPeersGiveZero) {
    struct Case {
        uint32_t length;
        const char *logged;
    } cases[] = {{0, "ZR01_TcpRecv_API err recv_len 0"}, {4097, "ZR01_TcpRecv_API err recv_len 4097"},
                 {5000, "ZR01_TcpRecv_API err recv_len 5000"}};
    for (const auto &c : cases) {
        LogCapture log;
        TcpPeer peer([&](int connection) {
            unsigned char prefix[4] = {static_cast<unsigned char>(c.length >> 24),
                                       static_cast<unsigned char>(c.length >> 16),
                                       static_cast<unsigned char>(c.length >> 8), static_cast<unsigned char>(c.length)};
            TcpPeer::SendAll(connection, prefix, 4);
            std::string filler(c.length, 'f');
            TcpPeer::SendAll(connection, filler.data(), filler.size());
        });
        SocketChannel channel;
        Connect(channel, peer);
        char buffer[korvel::kMaxFramePayload + 1] = {0};
        EXPECT_EQ(channel.ZR01_TcpRecv_API(buffer, korvel::kMaxFramePayload), 0) << c.length;
        EXPECT_TRUE(log.Contains(c.logged)) << c.length;
    }
    // A smaller buffer lowers the limit: nothing is written past it.
    TcpPeer small([](int connection) { TcpPeer::SendFrame(connection, std::string(100, 's')); });
    SocketChannel channel;
    Connect(channel, small);
    char buffer[64];
    EXPECT_EQ(channel.ZR01_TcpRecv_API(buffer, sizeof buffer), 0);

    TcpPeer closing([](int connection) { TcpPeer::SendAll(connection, "\0\0", 2); });
    SocketChannel closed;
    Connect(closed, closing);
    char unused[korvel::kMaxFramePayload];
    EXPECT_EQ(closed.ZR01_TcpRecv_API(unused, sizeof unused), 0); // closed within the prefix
}

TEST(SocketChannelTest, SilentPayloadFailsAfterSixWaits) {
    LogCapture log;
    TcpPeer peer([](int connection) {
        TcpPeer::SendAll(connection, "\0\0\0\x10", 4);
        char ignored;
        recv(connection, &ignored, 1, 0); // until the library closes
    });
    SocketChannel channel;
    Connect(channel, peer);
    char buffer[korvel::kMaxFramePayload];
    EXPECT_EQ(channel.ZR01_TcpRecv_API(buffer, sizeof buffer), -1);
    EXPECT_TRUE(log.Contains(":ZR01_TcpRecv_API timeout return"));
    int waits = 0;
    for (const auto &line : log.Lines()) waits += line.find("ZR01_TcpRecv_API select timeout") != std::string::npos;
    EXPECT_EQ(waits, 6);
    channel.CloseChannel();
}

TEST(SocketChannelTest, LargeBodyArrivesByteExactThroughShortSends) {
    constexpr size_t kSize = 8 << 20;
    std::string body(kSize, '\0');
    for (size_t i = 0; i < kSize; ++i) body[i] = static_cast<char>(i * 131 + (i >> 12));
    std::string received;
    TcpPeer peer([&](int connection) {
        unsigned char prefix[4];
        if (!TcpPeer::ReceiveAll(connection, prefix, 4)) return;
        received.resize(kSize);
        for (size_t done = 0; done < kSize;) { // more than the socket buffers hold: the sender sees short sends
            ssize_t n = recv(connection, received.data() + done, std::min<size_t>(65536, kSize - done), 0);
            if (n <= 0) return;
            done += static_cast<size_t>(n);
        }
    });
    {
        SocketChannel channel;
        Connect(channel, peer);
        EXPECT_EQ(channel.ZR01_TcpSend_API(body.data(), static_cast<int>(kSize)), static_cast<int>(kSize));
    }
    peer.Join();
    EXPECT_TRUE(received == body);
}

TEST(SocketChannelTest, SendToAPeerThatNeverReadsTimesOut) {
    LogCapture log;
    std::promise<void> sent;
    TcpPeer peer([&](int) { sent.get_future().wait_for(std::chrono::seconds(60)); }); // never reads
    SocketChannel channel;
    Connect(channel, peer);
    std::string body(64 << 20, 'x');
    EXPECT_EQ(channel.ZR01_TcpSend_API(body.data(), static_cast<int>(body.size())), -1);
    sent.set_value();
    EXPECT_TRUE(log.Contains("ZR01_TcpSend_API timeout2 return"));
    channel.CloseChannel();
}

TEST(SocketChannelTest, ConnectToAClosedPortMayBeTriedAgain) {
    LogCapture log;
    uint16_t closed_port;
    {
        SocketChannel unused; // bound, never listening, then closed
        ASSERT_EQ(unused.CreateChannel(0, 0, kStreamClient, kBlockingNoDelay), 0);
        closed_port = unused.LocalPort();
    }
    SocketChannel channel;
    ASSERT_EQ(channel.CreateChannel(0, 0, kStreamClient, kBlockingNoDelay), 0);
    EXPECT_EQ(channel.ConnectChannel(kLoopback, closed_port), -2);
    EXPECT_TRUE(log.Contains("connect error, try again!"));
    EXPECT_EQ(channel.RemotePort(), 0); // nothing recorded on failure
}

TEST(SocketChannelTest, MulticastChannelJoinsSendsReceivesAndLeaves) {
    constexpr uint32_t kGroup = 0xE0000102; // 224.0.1.2
    constexpr uint16_t kPort = 50123;
    SocketChannel channel;
    ASSERT_EQ(channel.CreateChannel(0, kPort, korvel::CHANNEL_DATAGRAM | korvel::CHANNEL_MULTICAST,
                                    korvel::OPTION_REUSE_ADDRESS | korvel::OPTION_NO_DELAY),
              0);
    EXPECT_EQ(channel.LocalPort(), kPort);
    char buffer[2048];
    EXPECT_LT(channel.ReceiveRaw(buffer, sizeof buffer), 0); // non-blocking, nothing there
    ASSERT_EQ(channel.ConnectChannel(kGroup, kPort), 0);
    EXPECT_TRUE(channel.GroupJoined());
    const std::string datagram(1500, 'm');
    EXPECT_EQ(channel.SendDatagram(datagram.data(), datagram.size()), 1500);
    ASSERT_EQ(channel.WaitReadable(10000), 1);
    EXPECT_EQ(channel.ReceiveRaw(buffer, sizeof buffer), 1024); // at most 1024 bytes taken
    EXPECT_EQ(channel.CloseChannel(), 0);
    EXPECT_FALSE(channel.GroupJoined());
}

TEST(SocketChannelTest, ServerChannelListens) {
    SocketChannel server;
    ASSERT_EQ(server.CreateChannel(kLoopback, 0, korvel::CHANNEL_SERVER | korvel::CHANNEL_STREAM, kBlockingNoDelay),
              0);
    ASSERT_NE(server.LocalPort(), 0);
    EXPECT_EQ(server.ConnectChannel(kLoopback, 1), 0); // servers do not connect
    SocketChannel client;
    ASSERT_EQ(client.CreateChannel(0, 0, kStreamClient, kBlockingNoDelay), 0);
    EXPECT_EQ(client.ConnectChannel(kLoopback, server.LocalPort()), 0);
}

TEST(SocketChannelTest, LocalAddressesRespectTheCount) {
    uint32_t addresses[4] = {0, 0, 0, 0};
    uint32_t count = 4;
    if (korvel::GetLocalAddresses(count, addresses) != 0) GTEST_SKIP() << "host name does not resolve here";
    EXPECT_LE(count, 4u);
    uint32_t none = 0;
    EXPECT_EQ(korvel::GetLocalAddresses(none, addresses), 0);
    EXPECT_EQ(none, 0u);
}

} // namespace
