// Discovery against the simulated fleet: searches fill the search list,
// announcements refresh managed devices, and every received datagram passes
// the header checks first.
#include <gmock/gmock.h>

#include <filesystem>

#include "discovery_fixture.h"
#include "net/discovery_messages.h"

namespace discovery_test {
namespace {

using ::testing::UnorderedElementsAre;

constexpr char kSearchRequest[] =
    "{\"MsgName\":\"SearchDevice\",\"Device_Type\":\"DeviceManagerSoftware\",\"Odm_Name\":\"TALVO\",\"Product_Id\":"
    "\"KARVEN\"}";

const DeviceInfo *FindIn(const std::vector<DeviceInfo> &list, const std::string &mac) {
    for (const DeviceInfo &info : list)
        if (mac == info.Wired_MacAddr) return &info;
    return nullptr;
}

std::vector<DeviceInfo> SearchList() {
    DeviceInfo *devices = nullptr;
    int count = ZR_QM_GetSearchDeviceList(&devices);
    return TakeList(count, devices);
}

TEST_F(DiscoveryTest, SearchListsEveryAnsweringReceiverOnceAndNoManagedOne) {
    auto jx = AddReceiver(1, "TALVO_JX");
    auto sx = AddReceiver(2, "TALVO_SX");
    fleet.TakeOffline(AddReceiver(3).mac);
    auto managed = AddReceiver(4);
    Manage({Record(managed.mac, "TALVO_JX", managed.address)});
    ZR_QM_ClearSearchDeviceList();

    ASSERT_EQ(ZR_QM_SearchDevice(), 0);
    ASSERT_EQ(ZR_QM_SearchDevice(), 0);
    WaitUntilFleetSaw({"\"SearchDeviceAck\""}, 6); // three receivers answered twice
    Drain();

    EXPECT_THAT(FoundMacs(), UnorderedElementsAre(jx.mac, sx.mac));
    std::vector<DeviceInfo> list = SearchList();
    const DeviceInfo *found = FindIn(list, jx.mac);
    ASSERT_NE(found, nullptr);
    EXPECT_STREQ(found->Wifi_SSID, "TALVO-0001");
    EXPECT_EQ(std::string(found->Wired_IpAddr), jx.address);
    EXPECT_STREQ(found->Device_Type, "TALVO_JX");
    EXPECT_STREQ(found->Device_Ver, "TALVO_JX-V2.1.0");
    EXPECT_EQ(std::string(found->Device_Group), kDefaultGroup);
    EXPECT_STREQ(FindIn(list, sx.mac)->Device_Type, "TALVO_SX");

    int requests = 0;
    for (const auto &datagram : fleet.Datagrams()) requests += datagram.text == kSearchRequest;
    EXPECT_EQ(requests, 2) << "both searches go out exactly as the receivers expect them";
    EXPECT_EQ(korvel::DiscoveryRequestText("UpdateDeviceInfo"),
              "{\"MsgName\":\"UpdateDeviceInfo\",\"Device_Type\":\"DeviceManagerSoftware\",\"Odm_Name\":\"TALVO\","
              "\"Product_Id\":\"KARVEN\"}");
}

TEST_F(DiscoveryTest, OnlyMessagesOfKnownModelsOfThisMakerAndProductAreDispatched) {
    const std::string no_name = "JsonString2Obj failed, not json string or json string has no MsgName content!";
    const std::string bad_address = "announcement with an address that is no ipv4 address dropped.";
    struct Case {
        const char *what;
        std::string mac;
        std::string text;
        bool listed;
        std::string log; // a fragment of the line logged, or none
    };
    auto ack = [](int i, const Members &changes = {}) { return Announcement("SearchDeviceAck", MacOf(i), changes); };
    // An answer of exactly `size` bytes, its version padded.
    auto sized = [&](int i, size_t size) {
        size_t bare = ack(i, {{"Device_Ver", "V"}}).size();
        return ack(i, {{"Device_Ver", "V" + std::string(size - bare, 'x')}});
    };
    const std::vector<Case> cases = {
        {"name in lower case", MacOf(101), Announcement("searchdeviceack", MacOf(101)), true, ""},
        {"name in capitals", MacOf(102), Announcement("SEARCHDEVICEACK", MacOf(102)), true, ""},
        {"maker in lower case", MacOf(103), ack(103, {{"Odm_Name", "talvo"}}), false, ""},
        {"product in lower case", MacOf(104), ack(104, {{"Product_Id", "karven"}}), false, ""},
        {"no maker", MacOf(105), ack(105, {{"Odm_Name", kOmit}}), false, ""},
        {"no product", MacOf(106), ack(106, {{"Product_Id", kOmit}}), false, ""},
        {"model in lower case", MacOf(107), ack(107, {{"Device_Type", "talvo_jx"}}), false, ""},
        {"unknown model", MacOf(108), ack(108, {{"Device_Type", "TALVO_ZX"}}), false, ""},
        {"answer typed as a manager", MacOf(109), ack(109, {{"Device_Type", "DeviceManagerSoftware"}}), false, ""},
        {"another manager's search", MacOf(110), Announcement("SearchDevice", MacOf(110)), false, ""},
        {"an update request", MacOf(111), Announcement("UpdateDeviceInfo", MacOf(111)), false, ""},
        {"this library's own search", "", kSearchRequest, false, ""},
        {"unknown message name", MacOf(112), Announcement("SearchDeviceAnswer", MacOf(112)), false,
         "]unkown json cmd!"},
        {"no message name", MacOf(113), ack(113, {{"MsgName", kOmit}}), false, no_name},
        {"not JSON", MacOf(114), "SearchDeviceAck " + MacOf(114), false, no_name},
        {"no MAC address", "", ack(115, {{"Wired_MacAddr", kOmit}}), false, "announcement without mac address dropped."},
        {"address that is a host name", MacOf(119), ack(119, {{"Wired_IpAddr", "evil.example"}}), false, bad_address},
        {"address with a user part", MacOf(120), ack(120, {{"Wired_IpAddr", "u@127.0.0.9"}}), false, bad_address},
        {"address out of range", MacOf(121), ack(121, {{"Wired_IpAddr", "127.0.0.256"}}), false, bad_address},
        {"address with a port", MacOf(122), ack(122, {{"Wired_IpAddr", "127.0.0.9:81"}}), false, bad_address},
        {"no address", MacOf(123), ack(123, {{"Wired_IpAddr", kOmit}}), true, ""},
        {"1023 bytes", MacOf(116), sized(116, 1023), true, ""},
        {"1024 bytes, cut", MacOf(117), sized(117, 1024), false, no_name},
        {"64 KB", MacOf(118), sized(118, 65000), false, no_name},
    };
    for (const Case &c : cases) {
        LogCapture log;
        sender.Send(c.text);
        Drain();
        EXPECT_EQ(Contains(FoundMacs(), c.mac), c.listed) << c.what;
        if (c.log.empty()) {
            EXPECT_FALSE(log.Contains("JsonString2Obj") || log.Contains("unkown") || log.Contains("dropped")) << c.what;
        } else {
            EXPECT_TRUE(log.Contains(c.log)) << c.what;
        }
    }
    EXPECT_STREQ(FindIn(SearchList(), MacOf(116))->Device_Ver, ("V" + std::string(30, 'x')).c_str())
        << "a text longer than its field is cut";
}

TEST_F(DiscoveryTest, AnnouncementsRefreshManagedDevicesOnlyAndSaveWhatChanged) {
    auto managed = AddReceiver(1);
    auto other = AddReceiver(2);
    Manage({Record(managed.mac, "TALVO_JX", "127.0.99.1")});
    ZR_QM_ClearSearchDeviceList();

    fleet.Announce(managed.mac); // "DeviceOnline"
    ASSERT_TRUE(Eventually([&] { return std::string(ManagedInfo(managed.mac).Device_Ver) == "TALVO_JX-V2.1.0"; }));
    DeviceInfo info = ManagedInfo(managed.mac);
    EXPECT_EQ(std::string(info.Wired_IpAddr), managed.address);
    EXPECT_STREQ(info.Wifi_SSID, "TALVO-0001");
    EXPECT_EQ(std::string(info.Device_Group), kDefaultGroup) << "an announcement carries no group";
    EXPECT_TRUE(Eventually([&] { return cwd_.Read("DevsInfo.ini").find("TALVO_JX-V2.1.0") != std::string::npos; }));

    fleet.Announce(other.mac);
    WaitUntilFleetSaw({"\"DeviceOnline\"", other.mac}, 1);
    Drain();
    EXPECT_TRUE(FoundMacs().empty()) << "an unmanaged receiver's announcement enters no list";
    EXPECT_EQ(ManagedMacs(), std::vector<std::string>{managed.mac});

    fleet.SetVersion(managed.mac, "TALVO_JX-V2.2.0");
    ASSERT_EQ(ZR_QM_UpdateDeviceInfo(), 0); // answered with "UpdateDeviceInfoAck"
    ASSERT_TRUE(Eventually([&] { return std::string(ManagedInfo(managed.mac).Device_Ver) == "TALVO_JX-V2.2.0"; }));
    ASSERT_TRUE(Eventually([&] { return cwd_.Read("DevsInfo.ini").find("TALVO_JX-V2.2.0") != std::string::npos; }));

    // The same values once more: nothing changes, nothing is written.
    std::filesystem::remove(cwd_.File("DevsInfo.ini"));
    const Members same = {{"Wifi_SSID", ""}, {"Wired_IpAddr", managed.address}, {"Device_Ver", "TALVO_JX-V2.2.0"}};
    sender.Send(Announcement("DeviceOnline", managed.mac, same));
    sender.Send(Announcement("updatedeviceinfoack", managed.mac, same));
    Drain();
    EXPECT_FALSE(std::filesystem::exists(cwd_.File("DevsInfo.ini")));
    EXPECT_STREQ(ManagedInfo(managed.mac).Wifi_SSID, "TALVO-0001") << "an empty name never clears one";
}

TEST_F(DiscoveryTest, AnnouncedAddressIsHandedOverBetweenManagedDevices) {
    auto first = AddReceiver(1);
    auto second = AddReceiver(2);
    // The second device's record still holds the address the first one has now.
    Manage({Record(first.mac, "TALVO_JX", "127.0.99.1"), Record(second.mac, "TALVO_JX", first.address)});

    fleet.Announce(first.mac);
    ASSERT_TRUE(Eventually([&] {
        return std::string(ManagedInfo(first.mac).Wired_IpAddr) == first.address &&
               std::string(ManagedInfo(second.mac).Wired_IpAddr) == "0.0.0.0";
    }));
    fleet.Announce(second.mac);
    ASSERT_TRUE(Eventually([&] { return std::string(ManagedInfo(second.mac).Wired_IpAddr) == second.address; }));
    EXPECT_EQ(std::string(ManagedInfo(first.mac).Wired_IpAddr), first.address);
    ASSERT_TRUE(Eventually([&] { return cwd_.Read("DevsInfo.ini").find(second.address) != std::string::npos; }));

    // An address that is no dotted IPv4 text never reaches a managed device.
    sender.Send(Announcement("DeviceOnline", first.mac, {{"Wired_IpAddr", "evil.example"}}));
    Drain();
    EXPECT_EQ(std::string(ManagedInfo(first.mac).Wired_IpAddr), first.address);

    // Announcing the address a device holds already is no change.
    std::filesystem::remove(cwd_.File("DevsInfo.ini"));
    fleet.Announce(first.mac);
    WaitUntilFleetSaw({"\"DeviceOnline\"", first.mac}, 2);
    Drain();
    EXPECT_FALSE(std::filesystem::exists(cwd_.File("DevsInfo.ini")));
}

} // namespace
} // namespace discovery_test
