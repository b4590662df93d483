#include "controller_fixture.h"

#include <QApplication>
#include <QPushButton>
#include <QTableView>

#include <chrono>
#include <thread>

#include "korvel.h"

namespace talvo::testing {

bool ScriptedPrompter::Show(QWidget *, PromptKind kind, const QString &text) {
    shown_.push_back({kind, text});
    if (while_shown) std::exchange(while_shown, {})();
    if (answers_.empty()) return true;
    bool answer = answers_.front();
    answers_.pop_front();
    return answer;
}

QStringList ScriptedPrompter::Texts() const {
    QStringList texts;
    for (const ShownPrompt &prompt : shown_) texts << prompt.text;
    return texts;
}

// Every fixture starts far beyond the last, so that the window's process-wide
// last refresh time of an earlier test never holds a refresh back.
FakeClock::FakeClock() {
    static std::int64_t next = 1'000'000;
    next += 100'000;
    now_ = next;
}

QStringList RecordingOpener::Windows() const {
    QStringList windows;
    for (const OpenedWindow &opened : opened_) windows << opened.window;
    return windows;
}

void RecordingOpener::Record(const char *window, CQMDlg &owner) {
    opened_.push_back({QString::fromUtf8(window), owner.CurrentDeviceMac()});
    if (on_open) on_open(owner);
}

namespace {

std::string Quoted(const std::string &text) { return "\"" + text + "\""; }

} // namespace

std::string DeviceStore(const std::vector<StoredDevice> &devices) {
    std::string text = "{\"DevOperateUserName\":\"TALVO\",\"DevOperatePwdMd5\":\"" +
                       talvo_sim::Md5Hex("WQZNE847") + "\",\"Dev_Num\":" + std::to_string(devices.size());
    if (!devices.empty()) text += ",\"Devices\":[";
    for (std::size_t i = 0; i < devices.size(); ++i) {
        const StoredDevice &d = devices[i];
        text += std::string(i ? "," : "") + "{\"Wifi_SSID\":" + Quoted(d.ssid) + ",\"Wired_IpAddr\":" + Quoted(d.ip) +
                ",\"Device_Type\":" + Quoted(d.model) + ",\"Device_Ver\":" + Quoted(d.version) +
                ",\"Wired_MacAddr\":" + Quoted(d.mac) +
                ",\"Device_UserName\":\"TALVO\",\"Device_PwdMd5\":\"\",\"Device_Alias\":" + Quoted(d.alias) +
                ",\"Device_Group\":" + Quoted(d.group) + "}";
    }
    if (!devices.empty()) text += "]";
    return text + "}";
}

std::string GroupStore(const std::vector<std::string> &names) {
    std::string text = "{\"Group_Num\":" + std::to_string(names.size());
    if (!names.empty()) text += ",\"Groups\":[";
    for (std::size_t i = 0; i < names.size(); ++i)
        text += std::string(i ? "," : "") + "{\"Group_Name\":" + Quoted(names[i]) + "}";
    if (!names.empty()) text += "]";
    return text + "}";
}

std::vector<StoredDevice> UnreachableDevices(int count) {
    std::vector<StoredDevice> devices;
    for (int i = 0; i < count; ++i) {
        char mac[18];
        std::snprintf(mac, sizeof mac, "02:54:56:00:%02X:%02X", (i >> 8) & 0xFF, i & 0xFF);
        StoredDevice device;
        device.mac = mac;
        device.ip = "127.250." + std::to_string(i / 250) + "." + std::to_string(i % 250 + 1);
        device.group = kDefaultGroup;
        devices.push_back(device);
    }
    return devices;
}

bool WaitFor(const std::function<bool()> &condition, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        QApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

QPushButton *FindButton(QWidget *window, const QString &text) {
    for (QPushButton *button : window->findChildren<QPushButton *>())
        if (button->text() == text) return button;
    ADD_FAILURE() << "no button " << text.toStdString();
    return nullptr;
}

void ControllerTest::SetUp() {
    SetPrompter(&prompts_);
    SetClock(&clock_);
    SetWindowOpener(&windows_);
}

void ControllerTest::TearDown() {
    if (started_) ZR_QM_DeInit();
    fleet_.reset();
    SetWindowOpener(nullptr);
    SetClock(nullptr);
    SetPrompter(nullptr);
}

void ControllerTest::WriteDevices(const std::vector<StoredDevice> &devices) {
    cwd_.Write("DevsInfo.ini", DeviceStore(devices));
}

void ControllerTest::WriteGroups(const std::vector<std::string> &names) {
    cwd_.Write("GroupsInfo.ini", GroupStore(names));
}

void ControllerTest::StartLibrary() {
    ASSERT_EQ(ZR_QM_Init(), 0);
    started_ = true;
}

void ControllerTest::LogIn(const char *user, const char *password) { ASSERT_GE(ZR_QM_Login(user, password), 0); }

void ControllerTest::StartAsOrdinaryUser() {
    StartLibrary();
    ASSERT_EQ(ZR_QM_AddUser("viewer", "viewer123", ZR_QM_USER_ORDINARY), 0);
    ASSERT_EQ(ZR_QM_Login("viewer", "viewer123"), ZR_QM_USER_ORDINARY);
}

talvo_sim::Fleet &ControllerTest::Fleet() {
    if (!fleet_) {
        talvo_sim::FleetOptions options;
        options.announce_on_add = false;
        fleet_ = std::make_unique<talvo_sim::Fleet>(options);
        fleet_->Start();
    }
    return *fleet_;
}

std::vector<StoredDevice> ControllerTest::AddReceivers(const std::vector<talvo_sim::ReceiverConfig> &receivers) {
    std::vector<StoredDevice> devices;
    for (const talvo_sim::ReceiverConfig &receiver : receivers) {
        Fleet().Add(receiver);
        StoredDevice device;
        device.mac = receiver.mac;
        device.ip = receiver.address;
        device.model = receiver.model;
        device.group = kDefaultGroup;
        device.version = receiver.version.empty() ? receiver.model + "-V2.1.0" : receiver.version;
        // The stored name is the one the receiver reports, so a row does not
        // depend on when the receiver's own report arrives.
        auto net = receiver.settings.find(talvo_sim::kNetSettings);
        if (net != receiver.settings.end() && net->second.count("wifi_ssid")) device.ssid = net->second.at("wifi_ssid");
        devices.push_back(device);
    }
    return devices;
}

int ControllerTest::StateOf(const std::string &mac) {
    int state = -1;
    ZR_QM_GetDeviceState(mac.c_str(), &state);
    return state;
}

void ControllerTest::WaitForOnline(const std::vector<std::string> &macs, bool online) {
    bool reached = WaitFor([&] {
        ZR_QM_UpdateAllDeviceState();
        for (const std::string &mac : macs) {
            int state = StateOf(mac);
            bool is_online = state >= ZR_QM_STATE_IDLE && state <= ZR_QM_STATE_UPGRADE;
            if (is_online != online) return false;
        }
        return true;
    });
    ASSERT_TRUE(reached) << "devices did not reach their state";
}

std::unique_ptr<CQMDlg> ControllerTest::OpenMainWindow() { return std::make_unique<CQMDlg>(); }

void ControllerTest::TickOnly(CQMDlg &window, const std::vector<std::string> &macs) {
    DeviceListModel &list = window.DeviceList();
    for (int row = 0; row < list.rowCount(); ++row) {
        bool wanted = false;
        for (const std::string &mac : macs) wanted = wanted || list.Mac(row) == QByteArray::fromStdString(mac);
        list.SetTicked(row, wanted);
    }
}

} // namespace talvo::testing
