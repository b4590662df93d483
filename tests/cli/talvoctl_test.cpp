// talvoctl end to end: the program against simulated receivers, its output,
// its JSON and its exit statuses.
#include <sys/stat.h>

#include <algorithm>
#include <fstream>

#include "eventually.h"
#include "talvoctl_fixture.h"

namespace talvoctl_test {
namespace {

using talvo_sim::ReceiverConfig;

bool Contains(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

// The array member of a document, or the document itself when it is the array.
std::vector<const cJSON *> Items(const cJSON *array) {
    std::vector<const cJSON *> items;
    const cJSON *item = nullptr;
    cJSON_ArrayForEach(item, array) items.push_back(item);
    return items;
}

const cJSON *FindByMac(const cJSON *array, const std::string &mac) {
    for (const cJSON *item : Items(array)) {
        if (Text(item, "mac") == mac) return item;
    }
    return nullptr;
}

double Number(const cJSON *object, const char *key) {
    const cJSON *item = cJSON_GetObjectItemCaseSensitive(object, key);
    return cJSON_IsNumber(item) ? item->valuedouble : -1;
}

int Reboots(talvo_sim::Fleet &fleet, const std::string &mac) { return fleet.Snapshot(mac).reboots; }

TEST_F(TalvoctlTest, SearchesAdoptsAndListsTheFleetWithLiveStates) {
    ReceiverConfig jx = AddReceiver(1, "TALVO_JX", "idle", 90061);
    ReceiverConfig sx = AddReceiver(2, "TALVO_SX", "share", 60);
    ReceiverConfig hx = AddReceiver(3, "TALVO_HX", "standby", 60);

    RunResult search = Run({"search", "--json"});
    ASSERT_EQ(search.status, 0) << Describe(search);
    JsonPtr found = ParseJson(search.out);
    ASSERT_EQ(Items(found.get()).size(), 3u) << search.out;
    EXPECT_EQ(Text(FindByMac(found.get(), sx.mac), "model"), "TALVO_SX");
    EXPECT_EQ(Text(FindByMac(found.get(), sx.mac), "address"), sx.address);

    RunResult adopt = Run({"adopt", jx.mac, sx.mac, hx.mac});
    ASSERT_EQ(adopt.status, 0) << Describe(adopt);
    EXPECT_TRUE(Contains(StoreFile("DevsInfo.ini"), jx.mac)) << "the library's store holds the adopted devices";

    RunResult list = Run({"list", "--json"});
    ASSERT_EQ(list.status, 0) << Describe(list);
    JsonPtr devices = ParseJson(list.out);
    ASSERT_EQ(Items(devices.get()).size(), 3u) << list.out;
    const cJSON *idle = FindByMac(devices.get(), jx.mac);
    EXPECT_EQ(Text(idle, "state_name"), "idle");
    EXPECT_EQ(Text(idle, "state"), "运行");
    EXPECT_GE(Number(idle, "run_seconds"), 90061) << "the second refresh records the run time";
    EXPECT_EQ(Text(idle, "run_time").rfind("1天01:01:0", 0), 0u) << Text(idle, "run_time");
    EXPECT_EQ(Text(idle, "group"), "默认分组");
    EXPECT_EQ(Text(FindByMac(devices.get(), sx.mac), "state_name"), "casting");
    EXPECT_EQ(Text(FindByMac(devices.get(), hx.mac), "state"), "待机");

    RunResult table = Run({"list"});
    ASSERT_EQ(table.status, 0) << Describe(table);
    EXPECT_EQ(table.out.rfind("GROUP", 0), 0u) << table.out;
    EXPECT_TRUE(Contains(table.out, "ONLINE/OFFLINE")) << table.out;
    EXPECT_TRUE(Contains(table.out, "投屏")) << table.out;

    RunResult stats = Run({"stats", "--json"});
    ASSERT_EQ(stats.status, 0) << Describe(stats);
    JsonPtr counters = ParseJson(stats.out);
    EXPECT_EQ(Number(counters.get(), "running"), 1);
    EXPECT_EQ(Number(counters.get(), "casting"), 1);
    EXPECT_EQ(Number(counters.get(), "standby"), 1);
    EXPECT_EQ(Number(counters.get(), "total"), 3);
}

TEST_F(TalvoctlTest, RefusedCommandsNameTheLibraryError) {
    ReceiverConfig online = AddReceiver(1);
    ReceiverConfig offline = AddReceiver(2);
    ReceiverConfig locked = AddReceiver(3);
    Manage({online, offline, locked});
    fleet_.TakeOffline(offline.mac);
    fleet_.SetCredentials(locked.mac, "TALVO", talvo_sim::Md5Hex("another password"));

    struct Case {
        std::vector<std::string> args;
        std::map<std::string, std::string> env;
        int status;
        std::string error;
    };
    const Case cases[] = {
        {{"list"}, {{"TALVOCTL_PASSWORD", "wrong"}}, 1, "ZR_QM_ERR_PASSWORD"},
        {{"list"}, {{"TALVOCTL_USER", "nobody"}}, 1, "ZR_QM_ERR_USER_NOT_FOUND"},
        {{"list"}, {{"TALVOCTL_PASSWORD", ""}}, 2, "usage"},
        {{"reboot", "02:54:56:00:60:99"}, {}, 1, "ZR_QM_ERR_DEV_NOT_FOUND"},
        {{"reboot", offline.mac}, {}, 1, "ZR_QM_ERR_DEV_OFFLINE"},
        {{"config", "get", "net", locked.mac}, {}, 1, "ZR_QM_ERR_DEV_LOGIN"},
        {{"reboot", locked.mac}, {}, 1, "ZR_QM_ERR_DEV_AUTH"}, // HTTP login refused, then the TCP command
        {{"reboot"}, {}, 2, "usage"},
        {{"reboot", online.mac, "--all"}, {}, 2, "usage"},
        {{"frobnicate"}, {}, 2, "usage"},
        {{"add", "300.1.2.3"}, {}, 2, "ZR_QM_ERR_PARAM"},
        {{"add", "127.0.61.1"}, {}, 1, "ZR_QM_ERR_CONNECT"},
        {{"reset", online.mac}, {}, 2, "usage"},
    };
    for (const Case &c : cases) {
        RunResult run = Run(c.args, c.env);
        EXPECT_EQ(run.status, c.status) << c.args[0] << "\n" << Describe(run);
        EXPECT_TRUE(Contains(run.err, "talvoctl: " + c.error + ": ")) << c.args[0] << "\n" << Describe(run);
    }
    EXPECT_EQ(Reboots(fleet_, online.mac), 0) << "no refused command reached a receiver";
    EXPECT_EQ(Reboots(fleet_, locked.mac), 0);

    RunResult json = Run({"--json", "reboot", "02:54:56:00:60:99"});
    EXPECT_EQ(json.status, 1);
    JsonPtr error = ParseJson(json.out);
    const cJSON *details = cJSON_GetObjectItemCaseSensitive(error.get(), "error");
    EXPECT_EQ(Text(details, "name"), "ZR_QM_ERR_DEV_NOT_FOUND");
    EXPECT_EQ(Number(details, "code"), -8388604);
    RunResult usage = Run({"reboot", online.mac, "--all", "--json"});
    EXPECT_EQ(usage.status, 2);
    JsonPtr usage_error = ParseJson(usage.out);
    EXPECT_EQ(Text(cJSON_GetObjectItemCaseSensitive(usage_error.get(), "error"), "name"), "usage")
        << "a script reads a wrong command line's failure as JSON too";
}

TEST_F(TalvoctlTest, BatchRebootReportsEveryDeviceAndSumsUp) {
    ReceiverConfig a = AddReceiver(1), b = AddReceiver(2, "TALVO_SX"), refusing = AddReceiver(3, "TALVO_MX");
    ReceiverConfig away = AddReceiver(4);
    Manage({a, b, refusing, away});
    fleet_.InjectFault(refusing.mac, "reboot", {talvo_sim::FaultType::ErrCode, 1});
    fleet_.InjectFault(refusing.mac, "DeviceReboot", {talvo_sim::FaultType::ResultText, 0, "Busy"});
    fleet_.TakeOffline(away.mac);

    RunResult run = Run({"reboot", "--all", "--json"});
    EXPECT_EQ(run.status, 1) << Describe(run);
    JsonPtr document = ParseJson(run.out);
    EXPECT_EQ(Text(document.get(), "result"), "ZR_QM_ERR_BATCH_PARTIAL");
    EXPECT_EQ(Number(document.get(), "succeeded"), 2);
    EXPECT_EQ(Number(document.get(), "failed"), 1);
    EXPECT_EQ(Number(document.get(), "skipped"), 1) << "--all leaves out devices that are not online";
    const cJSON *devices = cJSON_GetObjectItemCaseSensitive(document.get(), "devices");
    EXPECT_EQ(Text(FindByMac(devices, refusing.mac), "result"), "ZR_QM_ERR_DEV_REFUSED");
    EXPECT_EQ(Text(FindByMac(devices, away.mac), "result"), "skipped");
    EXPECT_TRUE(cJSON_IsTrue(cJSON_GetObjectItemCaseSensitive(FindByMac(devices, a.mac), "ok")));
    EXPECT_TRUE(Contains(run.err, "ZR_QM_ERR_BATCH_PARTIAL")) << run.err;
    EXPECT_TRUE(korvel::testing::Eventually([&] { return Reboots(fleet_, a.mac) == 1 && Reboots(fleet_, b.mac) == 1; }));
    EXPECT_EQ(Reboots(fleet_, refusing.mac), 0);

    // The receivers back from their reboots: a plain reboot of one of them over
    // the TCP command, in words for a person.
    ASSERT_TRUE(korvel::testing::Eventually([&] { return fleet_.Snapshot(a.mac).presence == talvo_sim::Presence::Online; }));
    RunResult one = Run({"reboot", "--tcp", a.mac});
    EXPECT_EQ(one.status, 0) << Describe(one);
    EXPECT_TRUE(Contains(one.out, a.mac) && Contains(one.out, "rebooting")) << one.out;
    EXPECT_TRUE(korvel::testing::Eventually([&] { return Reboots(fleet_, a.mac) == 2; }));
}

TEST_F(TalvoctlTest, GroupsAndAliasesTravelInCodePage936) {
    ReceiverConfig a = AddReceiver(1), b = AddReceiver(2);
    Manage({a, b});

    RunResult add = Run({"group", "add", "会议室"});
    ASSERT_EQ(add.status, 0) << Describe(add);
    EXPECT_TRUE(Contains(StoreFile("GroupsInfo.ini"), "\xBB\xE1\xD2\xE9\xCA\xD2")) << "the store holds CP936 bytes";
    ASSERT_EQ(Run({"group", "move", "会议室", a.mac}).status, 0);
    RunResult alias = Run({"alias", b.mac, "前台"});
    ASSERT_EQ(alias.status, 0) << Describe(alias);
    EXPECT_TRUE(Contains(alias.out, "前台")) << alias.out;

    RunResult groups = Run({"groups", "--json"});
    ASSERT_EQ(groups.status, 0) << Describe(groups);
    JsonPtr list = ParseJson(groups.out);
    std::vector<const cJSON *> items = Items(list.get());
    ASSERT_EQ(items.size(), 2u) << groups.out;
    EXPECT_EQ(Text(items[0], "group"), "默认分组") << "the default group comes first";
    EXPECT_EQ(Number(items[0], "devices"), 1);
    EXPECT_EQ(Text(items[1], "group"), "会议室");
    EXPECT_EQ(Number(items[1], "devices"), 1);

    RunResult members = Run({"list", "--group", "会议室", "--json"});
    ASSERT_EQ(members.status, 0) << Describe(members);
    JsonPtr rows = ParseJson(members.out);
    ASSERT_EQ(Items(rows.get()).size(), 1u);
    EXPECT_EQ(Text(Items(rows.get())[0], "mac"), a.mac);

    const std::string devices_before = StoreFile("DevsInfo.ini");
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string error;
    };
    const Case refused[] = {
        {{"alias", b.mac, "smile \xF0\x9F\x98\x80"}, 2, "ZR_QM_ERR_PARAM"}, // no CP936 form
        {{"alias", b.mac, std::string(64, '\xE5') /* no UTF-8 */}, 2, "ZR_QM_ERR_PARAM"},
        {{"alias", b.mac, std::string(128, 'x')}, 2, "ZR_QM_ERR_PARAM"},
        {{"group", "add", "会议室"}, 1, "ZR_QM_ERR_GROUP"},
        {{"group", "delete", "默认分组"}, 1, "ZR_QM_ERR_GROUP"},
        {{"group", "move", "nowhere", a.mac}, 1, "ZR_QM_ERR_GROUP"},
        {{"group", "frob"}, 2, "usage"},
    };
    for (const Case &c : refused) {
        RunResult run = Run(c.args);
        EXPECT_EQ(run.status, c.status) << Describe(run);
        EXPECT_TRUE(Contains(run.err, c.error)) << Describe(run);
    }
    EXPECT_EQ(StoreFile("DevsInfo.ini"), devices_before) << "refused changes leave the device store alone";

    RunResult removed = Run({"group", "delete", "会议室"});
    ASSERT_EQ(removed.status, 0) << Describe(removed);
    EXPECT_FALSE(Contains(StoreFile("GroupsInfo.ini"), "\xBB\xE1\xD2\xE9\xCA\xD2"));
}

TEST_F(TalvoctlTest, SettingsAreReadAndOnlyTheGivenFieldsWritten) {
    ReceiverConfig r = AddReceiver(1);
    Manage({r});

    RunResult get = Run({"config", "get", "net", r.mac, "--json"});
    ASSERT_EQ(get.status, 0) << Describe(get);
    JsonPtr net = ParseJson(get.out);
    EXPECT_EQ(Text(net.get(), "wifi_ssid"), "Room 1");
    EXPECT_EQ(Text(net.get(), "dev_type"), "TALVO_JX");

    RunResult set = Run({"config", "set", "net", r.mac, "wifi_on=true", "wifi_ssid=大厅"});
    ASSERT_EQ(set.status, 0) << Describe(set);
    EXPECT_EQ(fleet_.GetSettings(r.mac, talvo_sim::kNetSettings)["wifi_ssid"], "\xB4\xF3\xCC\xFC")
        << "the receiver gets CP936 bytes";
    EXPECT_TRUE(Contains(set.out, "大厅")) << "the settings read back: " << set.out;

    fleet_.ClearRequests(r.mac);
    const std::vector<std::string> refused[] = {
        {"config", "set", "net", r.mac, "wifi_ssid=Lobby"},           // sent only with wifi_on=true
        {"config", "set", "net", r.mac, "wired_ipaddr=127.0.0.9"},    // only with wired_use_dhcp=false
        {"config", "set", "video", r.mac, "bogus=1"},
        {"config", "set", "pin", r.mac, "input_code=1234"},           // read only
        {"config", "set", "video", r.mac, "rotate_str="},
        {"config", "set", "video", r.mac, "rotate_str"},
        {"config", "get", "audio", r.mac},
    };
    for (const auto &args : refused) {
        RunResult run = Run(args);
        EXPECT_EQ(run.status, 2) << args[4] << "\n" << Describe(run);
    }
    for (const talvo_sim::RequestRecord &request : fleet_.Requests(r.mac)) {
        EXPECT_NE(request.action, "save") << "a refused setting was sent: " << request.path;
    }

    RunResult video = Run({"config", "set", "video", r.mac, "rotate_str=90", "--json"});
    ASSERT_EQ(video.status, 0) << Describe(video);
    EXPECT_EQ(fleet_.GetSettings(r.mac, talvo_sim::kVideoOut)["rotate_str"], "90");
}

TEST_F(TalvoctlTest, KernelUpdateFollowsTheInstallWithAProgressBar) {
    ReceiverConfig a = AddReceiver(1, "TALVO_HX"), b = AddReceiver(2, "TALVO_HX"), other = AddReceiver(3, "TALVO_SX");
    Manage({a, b, other});
    std::string kernel = Folder().Write("uImage-HX.bin", std::string(300000, 'k'));
    std::string misnamed = Folder().Write("uImage.bin", "k");

    RunResult run = RunOnTerminal({"update", "kernel", kernel, a.mac, b.mac});
    ASSERT_EQ(run.status, 0) << Describe(run);
    EXPECT_TRUE(Contains(run.out, "update kernel  [")) << run.out;
    EXPECT_TRUE(Contains(run.out, "100%  2/2 done")) << run.out;
    EXPECT_TRUE(Contains(run.out, "kernel updated")) << run.out;
    for (const ReceiverConfig &r : {a, b}) {
        talvo_sim::ReceiverSnapshot snapshot = fleet_.Snapshot(r.mac);
        EXPECT_EQ(snapshot.files["kernel_update"].size, 300000u);
        EXPECT_EQ(snapshot.files["kernel_update"].file_name, "uImage-HX.bin");
        EXPECT_EQ(snapshot.progress["kernel_progress"], 100);
    }

    struct Case {
        std::vector<std::string> args;
        int status;
    };
    const Case refused[] = {
        {{"update", "kernel", misnamed, a.mac}, 2},         // not the model's file name
        {{"update", "kernel", kernel, a.mac, other.mac}, 2}, // two models
        {{"update", "filesystem", kernel, a.mac}, 2},       // .bin is no file-system image
        {{"update", "kernel", Folder().File("missing.bin"), a.mac}, 1},
        {{"screen", "startup", kernel, a.mac}, 2},          // no .jpg
    };
    for (const Case &c : refused) {
        RunResult r = Run(c.args);
        EXPECT_EQ(r.status, c.status) << Describe(r);
    }
    EXPECT_EQ(fleet_.Snapshot(other.mac).files.count("kernel_update"), 0u);
}

// The update is done where each receiver finished its install, not when the
// most advanced one did: a receiver whose progress cannot be read fails.
TEST_F(TalvoctlTest, UpdateSucceedsOnlyWhereEachReceiverFinishes) {
    ReceiverConfig done = AddReceiver(1, "TALVO_SX"), stuck = AddReceiver(2, "TALVO_SX");
    Manage({done, stuck});
    fleet_.InjectFault(stuck.mac, "filesystem_progress", {talvo_sim::FaultType::ErrCode, -1});
    std::string image = Folder().Write("upgrade-SX-TALVO.tar.lzma", std::string(100000, 's'));

    RunResult run = Run({"update", "filesystem", image, "--all", "--json"});
    EXPECT_EQ(run.status, 1) << Describe(run);
    JsonPtr document = ParseJson(run.out);
    EXPECT_EQ(Text(document.get(), "result"), "ZR_QM_ERR_BATCH_PARTIAL");
    const cJSON *devices = cJSON_GetObjectItemCaseSensitive(document.get(), "devices");
    EXPECT_EQ(Text(FindByMac(devices, done.mac), "result"), "ok");
    EXPECT_EQ(Text(FindByMac(devices, stuck.mac), "result"), "ZR_QM_ERR_DEV_REFUSED");
    EXPECT_EQ(fleet_.Snapshot(done.mac).progress["filesystem_progress"], 100);
}

TEST_F(TalvoctlTest, StatusHostModeAndAccounts) {
    ReceiverConfig r = AddReceiver(1);
    fleet_.SetHostMembers(r.mac, {{"192.168.49.20", "windows", "laptop", "true", "false", 1}});
    Manage({r});

    RunResult status = Run({"status", r.mac, "--json"});
    ASSERT_EQ(status.status, 0) << Describe(status);
    JsonPtr document = ParseJson(status.out);
    EXPECT_EQ(Text(cJSON_GetObjectItemCaseSensitive(document.get(), "device"), "mac"), r.mac);
    EXPECT_EQ(Text(cJSON_GetObjectItemCaseSensitive(document.get(), "network"), "version"), "TALVO_JX-V2.1.0");

    RunResult host = Run({"host", "list", r.mac});
    ASSERT_EQ(host.status, 0) << Describe(host);
    EXPECT_TRUE(Contains(host.out, "192.168.49.20") && Contains(host.out, "laptop")) << host.out;
    RunResult single = Run({"host", "single", r.mac, "192.168.49.20"});
    EXPECT_EQ(single.status, 0) << Describe(single);
    std::vector<talvo_sim::RequestRecord> requests = fleet_.Requests(r.mac);
    EXPECT_TRUE(std::any_of(requests.begin(), requests.end(), [](const talvo_sim::RequestRecord &q) {
        return q.section == "compere_mode" && q.query.count("single_display") && q.query.at("single_display") == "true";
    }));

    ASSERT_EQ(Run({"users", "add", "bob", "bobpass12", "--type", "ordinary"}).status, 0);
    RunResult accounts = Run({"users", "list", "--json"});
    ASSERT_EQ(accounts.status, 0) << Describe(accounts);
    JsonPtr users = ParseJson(accounts.out);
    ASSERT_EQ(Items(users.get()).size(), 2u);
    EXPECT_EQ(Text(Items(users.get())[1], "type"), "ordinary");

    std::map<std::string, std::string> bob{{"TALVOCTL_USER", "bob"}, {"TALVOCTL_PASSWORD", "bobpass12"}};
    EXPECT_EQ(Run({"list"}, bob).status, 0) << "an ordinary user looks at devices";
    RunResult refused = Run({"reboot", r.mac}, bob);
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(Contains(refused.err, "not_permitted")) << refused.err;
    EXPECT_EQ(Run({"users", "list"}, bob).status, 1);
    EXPECT_EQ(Run({"users", "password", "bobpass34"}, bob).status, 0) << "and changes his own password";
    EXPECT_EQ(Run({"list"}, bob).status, 1) << "the old password no longer logs in";
    EXPECT_EQ(Run({"users", "delete", "admin"}).status, 1);
}

TEST_F(TalvoctlTest, MaintenanceCommandsSendTheirRequests) {
    struct Case {
        std::vector<std::string> args; // the receiver's MAC follows
        std::string action, section;
        std::map<std::string, std::string> query;
    };
    const Case cases[] = {
        {{"reset", "--yes"}, "reset", "dev_reset", {}},
        {{"wifi", "off"}, "close", "dev_wifi", {}},
        {{"control", "sleep"}, "sleep", "dev_control", {}},
        {{"web-password", "--current", "admin", "--new", "web-pass-2"}, "update", "login_pwd",
         {{"admin_pwd_old", talvo_sim::Md5Hex("admin")}, {"admin_pwd_new", talvo_sim::Md5Hex("web-pass-2")}}},
        {{"password", "--current", "WQZNE847", "--new", "dev-pass-2"}, "update", "QM_login_pwd",
         {{"admin_pwd_old", talvo_sim::Md5Hex("WQZNE847")}, {"admin_pwd_new", talvo_sim::Md5Hex("dev-pass-2")}}},
    };
    std::vector<ReceiverConfig> receivers;
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) receivers.push_back(AddReceiver(i + 1));
    Manage(receivers);

    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case &c = cases[i];
        std::vector<std::string> args = c.args;
        args.push_back(receivers[i].mac);
        RunResult run = Run(args);
        EXPECT_EQ(run.status, 0) << c.args[0] << "\n" << Describe(run);
        std::vector<talvo_sim::RequestRecord> requests = fleet_.Requests(receivers[i].mac);
        auto sent = std::find_if(requests.begin(), requests.end(), [&](const talvo_sim::RequestRecord &q) {
            return q.action == c.action && q.section == c.section;
        });
        ASSERT_NE(sent, requests.end()) << c.args[0] << ": no " << c.action << "/" << c.section;
        EXPECT_FALSE(sent->cookie.empty()) << c.args[0] << " is sent within the session of a login";
        for (const auto &[key, value] : c.query) EXPECT_EQ(sent->query[key], value) << c.args[0] << " " << key;
    }

    const std::vector<std::string> refused[] = {
        {"password", "--current", "WQZNE847", "--new", "short", receivers[0].mac}, // 6 to 16 characters
        {"web-password", "--current", "", "--new", "seven77", receivers[0].mac},   // 8 to 16 characters
        {"control", "explode", receivers[0].mac},
        {"wifi", "maybe", receivers[0].mac},
    };
    for (const auto &args : refused) {
        RunResult run = Run(args);
        EXPECT_EQ(run.status, 2) << args[0] << "\n" << Describe(run);
    }
}

TEST_F(TalvoctlTest, ScreenImagesAndFirmwareReachTheReceivers) {
    ReceiverConfig jx = AddReceiver(1, "TALVO_JX"), hx = AddReceiver(2, "TALVO_HX");
    Manage({jx, hx});
    // A JPEG head: start of image, then a baseline frame header of 1920 x 1080.
    std::string jpeg = "\xFF\xD8\xFF\xC0";
    jpeg += std::string("\x00\x11\x08\x04\x38\x07\x80", 7) + std::string(4000, '\x01');
    std::string image = Folder().Write("standby.jpg", jpeg);
    std::string firmware = Folder().Write("TALVO_JX.tar.bz2", std::string(200000, 'f'));

    RunResult screen = Run({"screen", "standby", image, jx.mac});
    ASSERT_EQ(screen.status, 0) << Describe(screen);
    EXPECT_EQ(fleet_.Snapshot(jx.mac).files["standby_screen"].size, jpeg.size());
    RunResult too_big = Run({"screen", "startup", image, hx.mac}); // TALVO_HX takes exactly 800 x 600
    EXPECT_EQ(too_big.status, 2) << Describe(too_big);
    EXPECT_TRUE(Contains(too_big.err, "800x600")) << too_big.err;

    RunResult upgrade = Run({"upgrade", firmware, jx.mac, "--json"});
    ASSERT_EQ(upgrade.status, 0) << Describe(upgrade);
    JsonPtr document = ParseJson(upgrade.out);
    EXPECT_EQ(Text(document.get(), "result"), "ok");
    EXPECT_EQ(fleet_.Snapshot(jx.mac).files["upgrade"].md5, talvo_sim::Md5Hex(std::string(200000, 'f')));
    EXPECT_EQ(fleet_.Snapshot(jx.mac).progress["upgradeprogress"], 100) << "the install was followed to its end";
    EXPECT_EQ(Run({"upgrade", firmware, hx.mac}).status, 2) << "TALVO_HX's firmware has another name";
    EXPECT_EQ(fleet_.Snapshot(hx.mac).files.count("upgrade"), 0u);
}

TEST_F(TalvoctlTest, AddsByAddressRenamesGroupsAndDeletesDevices) {
    ReceiverConfig r = AddReceiver(1, "TALVO_NX");
    RunResult add = Run({"add", r.address, "--json"});
    ASSERT_EQ(add.status, 0) << Describe(add);
    JsonPtr added = ParseJson(add.out);
    ASSERT_EQ(Items(added.get()).size(), 1u);
    EXPECT_EQ(Text(Items(added.get())[0], "mac"), r.mac);
    EXPECT_EQ(Text(Items(added.get())[0], "model"), "TALVO_NX");
    RunResult again = Run({"add", r.address});
    EXPECT_EQ(again.status, 1);
    EXPECT_TRUE(Contains(again.err, "ZR_QM_ERR_DEV_EXISTS")) << again.err;

    ASSERT_EQ(Run({"group", "add", "lab"}).status, 0);
    ASSERT_EQ(Run({"group", "move", "lab", r.mac}).status, 0);
    RunResult rename = Run({"group", "rename", "lab", "实验室"});
    ASSERT_EQ(rename.status, 0) << Describe(rename);
    RunResult members = Run({"list", "--group", "实验室", "--json"});
    JsonPtr rows = ParseJson(members.out);
    ASSERT_EQ(Items(rows.get()).size(), 1u) << "the device follows its group's new name: " << members.out;

    RunResult removed = Run({"delete", r.mac});
    ASSERT_EQ(removed.status, 0) << Describe(removed);
    EXPECT_FALSE(Contains(StoreFile("DevsInfo.ini"), r.mac));
    EXPECT_EQ(Run({"delete", r.mac}).status, 1) << "no longer managed";
}

} // namespace
} // namespace talvoctl_test
