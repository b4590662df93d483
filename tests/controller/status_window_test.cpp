// The device status window: its fields from the receiver's status, the
// model rule for the signal strength and the section rule, and the window
// fitting what shows.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <functional>

#include "app/dev_status_dlg.h"
#include "app/qm_dlg.h"
#include "common/ip_address_edit.h"
#include "controller_fixture.h"
#include "korvel.h"

namespace talvo::testing {
namespace {

using Section = CDevStatusDlg::Section;

struct Shown {
    bool hotspot, wired, station, version, signal;
    bool operator==(const Shown &) const = default;
};

void PrintTo(const Shown &s, std::ostream *out) {
    *out << "{hotspot " << s.hotspot << ", wired " << s.wired << ", station " << s.station << ", version "
         << s.version << ", signal " << s.signal << "}";
}

Shown WhatShows(const CDevStatusDlg &window) {
    auto shown = [&](Section section) { return !window.SectionBox(section)->isHidden(); };
    return {shown(Section::kHotspot), shown(Section::kWired), shown(Section::kStation), shown(Section::kVersion),
            !window.SignalBox()->isHidden() && !window.SignalLabel()->isHidden()};
}

QString Text(const CDevStatusDlg &window, const char *field) {
    return window.findChild<QLineEdit *>(QString::fromLatin1(field))->text();
}

QString Address(const CDevStatusDlg &window, const char *field) {
    return window.findChild<IpAddressEdit *>(QString::fromLatin1(field))->Text();
}

bool Ticked(const CDevStatusDlg &window, const char *field) {
    return window.findChild<QCheckBox *>(QString::fromLatin1(field))->isChecked();
}

class StatusWindowTest : public ControllerTest {
protected:
    // A receiver reporting the given wired and station addresses and hotspot.
    static talvo_sim::ReceiverConfig Receiver(int index, const std::string &model, const char *wired,
                                              const char *station, const char *hotspot) {
        talvo_sim::ReceiverConfig receiver;
        char mac[18];
        std::snprintf(mac, sizeof mac, "02:54:56:00:30:%02X", index);
        receiver.mac = mac;
        receiver.address = "127.13.0." + std::to_string(index + 1);
        receiver.model = model;
        talvo_sim::Settings &status = receiver.settings[talvo_sim::kDevStatus];
        status["wired_ipaddr_status"] = wired;
        status["wlan1_ipaddr_status"] = station;
        status["wifi_on_status"] = hotspot;
        status["wifi_signal_strength_status"] = "87";
        return receiver;
    }

    void Start(const std::vector<talvo_sim::ReceiverConfig> &receivers) {
        std::vector<StoredDevice> devices = AddReceivers(receivers);
        WriteDevices(devices);
        StartLibrary();
        LogIn();
        std::vector<std::string> macs;
        for (const StoredDevice &device : devices) macs.push_back(device.mac);
        WaitForOnline(macs);
        window_ = OpenMainWindow();
    }

    // Opens the status window for `mac` through the main window's button
    // and runs `look` on it.
    void Inspect(const std::string &mac, const std::function<void(CDevStatusDlg &)> &look) {
        bool opened = false;
        windows_.on_open = [&](CQMDlg &owner) {
            CDevStatusDlg window(&owner);
            window.show();
            look(window);
            opened = true;
        };
        TickOnly(*window_, {mac});
        FindButton(window_.get(), QStringLiteral("查看设备状态"))->click();
        windows_.on_open = {};
        EXPECT_TRUE(opened) << mac << ": " << prompts_.Texts().join(' ').toStdString();
    }

    std::unique_ptr<CQMDlg> window_;
};

TEST_F(StatusWindowTest, SectionsShowByTheInterfaceAddressesAndTheHotspotAndTheWindowFitsThem) {
    struct Case {
        const char *model;
        const char *wired;
        const char *station;
        const char *hotspot;
        Shown shown;
    };
    const Case cases[] = {
        {"TALVO_JX", "", "", "true", {true, false, false, true, true}},
        {"TALVO_JX", "", "", "false", {false, false, false, true, true}},
        {"TALVO_JX", "", "192.168.5.7", "true", {true, false, true, true, true}},
        {"TALVO_JX", "", "192.168.5.7", "false", {false, false, true, true, true}},
        {"TALVO_JX", "127.13.0.5", "", "TRUE", {true, true, false, true, true}},
        {"TALVO_JX", "127.13.0.6", "", "false", {false, true, false, true, true}},
        {"TALVO_JX", "127.13.0.7", "192.168.5.7", "false", {true, true, true, true, true}},
        // TALVO_MX reports no signal strength, whichever sections show.
        {"TALVO_MX", "127.13.0.8", "192.168.5.7", "true", {true, true, true, true, false}},
        {"TALVO_MX", "127.13.0.9", "", "true", {true, true, false, true, false}},
        {"talvo_mx", "", "", "true", {true, false, false, true, false}},
    };
    std::vector<talvo_sim::ReceiverConfig> receivers;
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i)
        receivers.push_back(Receiver(i, cases[i].model, cases[i].wired, cases[i].station, cases[i].hotspot));
    Start(receivers);
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
        const Case &c = cases[i];
        Inspect(receivers[static_cast<std::size_t>(i)].mac, [&](CDevStatusDlg &window) {
            EXPECT_EQ(WhatShows(window), c.shown) << i << ": " << c.model << " " << c.wired << "/" << c.station;
            for (int section = 0; section < CDevStatusDlg::kSectionCount; ++section) {
                QGroupBox *box = window.SectionBox(static_cast<Section>(section));
                if (box->isHidden()) continue;
                EXPECT_TRUE(window.rect().contains(box->geometry())) << i << " " << section;
            }
            EXPECT_EQ(window.SignalBox()->text(), c.shown.signal ? QStringLiteral("87") : QString()) << i;
        });
    }
}

TEST_F(StatusWindowTest, FieldsShowTheReceiversStatusAndVersion) {
    talvo_sim::ReceiverConfig receiver = Receiver(1, "TALVO_SX", "127.13.0.2", "192.168.5.7", "true");
    receiver.version = "TALVO_SX-V3.0.2";
    talvo_sim::Settings &status = receiver.settings[talvo_sim::kDevStatus];
    status["wired_use_dhcp_status"] = "TRUE";
    status["wlan1_use_dhcp_status"] = "false";
    status["wifi_ssid_status"] = "Hall";
    status["wifi_fre_stauts"] = "2.4G";
    status["wifi_channel_status"] = "6";
    status["wired_gateway_status"] = "127.0.0.1";
    status["wlan1_secdns_status"] = "8.8.4.4";
    Start({receiver});
    Inspect(receiver.mac, [&](CDevStatusDlg &window) {
        EXPECT_EQ(window.windowTitle(), QStringLiteral("设备状态"));
        EXPECT_TRUE(window.findChildren<QPushButton *>().isEmpty()); // no buttons
        EXPECT_TRUE(Ticked(window, "wifi_on_status"));
        EXPECT_TRUE(Ticked(window, "wired_use_dhcp_status")); // TRUE in capitals counts
        EXPECT_FALSE(Ticked(window, "wlan1_use_dhcp_status"));
        EXPECT_EQ(Text(window, "wifi_ssid_status"), QStringLiteral("Hall"));
        EXPECT_EQ(Text(window, "wifi_fre_stauts"), QStringLiteral("2.4G"));
        EXPECT_EQ(Text(window, "wifi_channel_status"), QStringLiteral("6"));
        EXPECT_EQ(Text(window, "wired_mac_addr_status"), QString::fromStdString(receiver.mac));
        EXPECT_EQ(Address(window, "wired_ipaddr_status"), QStringLiteral("127.13.0.2"));
        EXPECT_EQ(Address(window, "wired_gateway_status"), QStringLiteral("127.0.0.1"));
        EXPECT_EQ(Address(window, "wlan1_ipaddr_status"), QStringLiteral("192.168.5.7"));
        EXPECT_EQ(Address(window, "wlan1_secdns_status"), QStringLiteral("8.8.4.4"));
        EXPECT_EQ(Text(window, "version"), QStringLiteral("TALVO_SX-V3.0.2"));
        EXPECT_TRUE(Text(window, "wifi_ssid_status").size() <= 32);
        for (QLineEdit *box : window.findChildren<QLineEdit *>()) {
            EXPECT_TRUE(box->isReadOnly() || !box->parentWidget()->inherits("QGroupBox"));
        }
        for (QCheckBox *box : window.findChildren<QCheckBox *>()) EXPECT_FALSE(box->isEnabled());
        for (IpAddressEdit *box : window.findChildren<IpAddressEdit *>()) EXPECT_FALSE(box->isEnabled());
    });
}

TEST_F(StatusWindowTest, AFailedStatusQueryLeavesEveryFieldEmptyAndEverySectionShownAndAFailedVersionOnlyItsBox) {
    talvo_sim::ReceiverConfig receiver = Receiver(1, "TALVO_MX", "", "", "false");
    Start({receiver});
    Fleet().InjectFault(receiver.mac, talvo_sim::kDevStatus, talvo_sim::Fault(talvo_sim::FaultType::Status, 500));
    Inspect(receiver.mac, [&](CDevStatusDlg &window) {
        EXPECT_EQ(WhatShows(window), (Shown{true, true, true, true, true}));
        for (QLineEdit *box : window.findChildren<QLineEdit *>()) {
            EXPECT_TRUE(box->text().isEmpty() || !box->parentWidget()->inherits("QGroupBox"));
        }
        for (IpAddressEdit *box : window.findChildren<IpAddressEdit *>()) EXPECT_TRUE(box->IsBlank());
    });

    Fleet().ClearFaults(receiver.mac);
    // The version is read from the network settings.
    Fleet().InjectFault(receiver.mac, talvo_sim::kNetSettings, talvo_sim::Fault(talvo_sim::FaultType::Status, 500));
    Inspect(receiver.mac, [&](CDevStatusDlg &window) {
        EXPECT_EQ(WhatShows(window), (Shown{false, false, false, true, false}));
        EXPECT_TRUE(Text(window, "version").isEmpty());
        EXPECT_EQ(Text(window, "wired_mac_addr_status"), QString::fromStdString(receiver.mac));
    });
}

TEST_F(StatusWindowTest, TheStatusButtonOpensTheWindowForTheTickedDevice) {
    talvo_sim::ReceiverConfig receiver = Receiver(1, "TALVO_HX", "127.13.0.2", "", "true");
    Start({receiver});
    SetWindowOpener(nullptr);
    QString shown_mac;
    WhenModal<CDevStatusDlg>([&](CDevStatusDlg &window) {
        shown_mac = Text(window, "wired_mac_addr_status");
        window.reject();
    });
    TickOnly(*window_, {receiver.mac});
    FindButton(window_.get(), QStringLiteral("查看设备状态"))->click();
    EXPECT_EQ(shown_mac, QString::fromStdString(receiver.mac));
}

} // namespace
} // namespace talvo::testing
