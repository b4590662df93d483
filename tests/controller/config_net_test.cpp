// The network settings page: which sections a device's settings show, the
// values loaded, the toggles, what Save sends (only what changed, each
// check in order with its message) and Connect.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "common/ip_address_edit.h"
#include "config/dev_net_cfg_dlg.h"
#include "config_fixture.h"

namespace talvo::testing {
namespace {

using talvo_sim::kNetSettings;

class NetPageTest : public ConfigTest {
protected:
    // A receiver of `model` with these network settings, and its page.
    std::unique_ptr<CDevNetCfgDlg> OpenWith(const talvo_sim::Settings &net, const std::string &model = "TALVO_JX") {
        Start(Receiver(model, {{kNetSettings, net}}));
        auto page = OpenPage<CDevNetCfgDlg>();
        ClearRequests();
        return page;
    }
    static bool Shows(const CDevNetCfgDlg &page, QWidget *control) { return control->isVisibleTo(&page); }
};

// Types one character as a keyboard with an input method would.
void TypeCharacter(QWidget *box, QChar character) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(character));
    QApplication::sendEvent(box, &press);
}

const QStringList k24Channels = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"};
const QStringList k5Channels = {"36", "40", "44", "48", "149", "153", "157", "161", "165"};

TEST_F(NetPageTest, SectionsFollowTheWiredPortAndTheStationState) {
    struct Case {
        const char *wired_use_dhcp;
        const char *connect_status;
        bool station, wired;
        int columns;
    };
    const Case cases[] = {
        {"", "Offline", false, false, 2},    {"", "", false, false, 2},
        {"", "oFFline", false, false, 2},    {"", "Unconnected", true, false, 4},
        {"", "Connected", true, false, 4},   {"true", "Offline", false, true, 4},
        {"false", "", false, true, 4},       {"true", "Connected", false, false, 2},
        {"TRUE", "Connection failed", false, false, 2},
    };
    std::vector<talvo_sim::ReceiverConfig> receivers;
    for (const Case &c : cases)
        receivers.push_back(Receiver("TALVO_JX",
                                     {{kNetSettings,
                                       {{"wired_use_dhcp", c.wired_use_dhcp},
                                        {"connect_status", c.connect_status},
                                        {"router_wifi_ssid", "Office"}}}},
                                     static_cast<int>(receivers.size()) + 1));
    Start(receivers);
    for (const Case &c : cases) {
        const std::string mac = macs_[static_cast<std::size_t>(&c - cases)];
        SCOPED_TRACE(std::string("dhcp '") + c.wired_use_dhcp + "' status '" + c.connect_status + "'");
        MakeCurrent(mac);
        auto page = OpenPage<CDevNetCfgDlg>();
        const auto &ui = page->Ui();
        EXPECT_EQ(Shows(*page, ui.router_ssid), c.station);
        EXPECT_EQ(Shows(*page, ui.connect), c.station);
        EXPECT_EQ(Shows(*page, ui.dhcp), c.wired);
        EXPECT_EQ(Shows(*page, ui.addresses[4]), c.wired);
        EXPECT_TRUE(Shows(*page, ui.ssid));
        EXPECT_EQ(page->Sections().columns, c.columns);

        // Save sends the router fields and the wired fields only when their
        // section shows.
        ui.router_ssid->setText(QStringLiteral("Lobby"));
        ui.hotspot_on->setChecked(false);
        Fleet().ClearRequests(mac);
        ui.save->click();
        SentFields sent = OnlySave(kNetSettings, mac);
        EXPECT_EQ(sent.count("router_wifi_ssid"), c.station ? 1u : 0u);
        EXPECT_EQ(sent.count("wired_use_dhcp"), c.wired ? 1u : 0u);
        EXPECT_EQ(sent.at("wifi_on"), "false");
    }
}

TEST_F(NetPageTest, LoadShowsTheDevicesHotspotAndEnablesItsControlsOnlyWhileItIsOn) {
    auto page = OpenWith({{"wifi_on", "TRUE"},
                          {"wifi_ssid", "Hall 3"},
                          {"wifi_fre", "g5"},
                          {"wifi_channel", "157"},
                          {"wifi_signal_strength", "60"},
                          {"wifi_pwd", "secret99"},
                          {"wired_use_dhcp", "false"},
                          {"wired_ipaddr", "10.1.2.3"},
                          {"wired_secdns", ""}});
    const auto &ui = page->Ui();
    EXPECT_TRUE(ui.hotspot_on->isChecked());
    EXPECT_EQ(ui.ssid->text(), QStringLiteral("Hall 3"));
    EXPECT_EQ(ui.band->currentText(), QStringLiteral("5G"));
    EXPECT_EQ(ListItems(ui.channel), k5Channels);
    EXPECT_EQ(ui.channel->currentText(), QStringLiteral("157"));
    EXPECT_EQ(ui.signal->currentText(), QStringLiteral("中"));
    EXPECT_TRUE(ui.password->text().isEmpty()); // the device's password is never shown
    EXPECT_TRUE(ui.confirmation->text().isEmpty());
    EXPECT_FALSE(ui.dhcp->isChecked());
    EXPECT_EQ(ui.addresses[0]->Text(), QStringLiteral("10.1.2.3"));
    EXPECT_TRUE(ui.addresses[4]->IsBlank());
    for (IpAddressEdit *address : ui.addresses) EXPECT_TRUE(address->isEnabled());

    ui.dhcp->click();
    for (IpAddressEdit *address : ui.addresses) EXPECT_FALSE(address->isEnabled());
    for (QWidget *control : {static_cast<QWidget *>(ui.ssid), static_cast<QWidget *>(ui.password),
                             static_cast<QWidget *>(ui.confirmation), static_cast<QWidget *>(ui.band),
                             static_cast<QWidget *>(ui.channel), static_cast<QWidget *>(ui.signal)})
        EXPECT_TRUE(control->isEnabled());
    ui.hotspot_on->click();
    for (QWidget *control : {static_cast<QWidget *>(ui.ssid), static_cast<QWidget *>(ui.password),
                             static_cast<QWidget *>(ui.confirmation), static_cast<QWidget *>(ui.band),
                             static_cast<QWidget *>(ui.channel), static_cast<QWidget *>(ui.signal)})
        EXPECT_FALSE(control->isEnabled());
}

TEST_F(NetPageTest, ChoosingABandRefillsTheChannelsAndSelectsTheFirst) {
    auto page = OpenWith({{"wifi_fre", "g2_4"}, {"wifi_channel", "6"}});
    const auto &ui = page->Ui();
    EXPECT_EQ(ListItems(ui.band), (QStringList{"2.4G", "5G"}));
    EXPECT_EQ(ListItems(ui.signal), (QStringList{"高", "中", "低"}));
    EXPECT_EQ(ListItems(ui.channel), k24Channels);
    EXPECT_EQ(ui.channel->currentText(), QStringLiteral("6"));
    ui.band->setCurrentIndex(1);
    EXPECT_EQ(ListItems(ui.channel), k5Channels);
    EXPECT_EQ(ui.channel->currentText(), QStringLiteral("36"));
    ui.band->setCurrentIndex(0);
    EXPECT_EQ(ListItems(ui.channel), k24Channels);
    EXPECT_EQ(ui.channel->currentText(), QStringLiteral("1"));

    ui.band->setCurrentIndex(1);
    ui.channel->setCurrentIndex(8);
    ui.save->click();
    SentFields sent = OnlySave(kNetSettings);
    EXPECT_EQ(sent.at("wifi_fre"), "g5");
    EXPECT_EQ(sent.at("wifi_channel"), "165");
}

TEST_F(NetPageTest, TheSignalRowAndItsFieldAreLeftOutForTalvoMx) {
    const talvo_sim::Settings net = {{"wifi_signal_strength", "20"}};
    Start({Receiver("TALVO_MX", {{kNetSettings, net}}, 1), Receiver("TALVO_SX", {{kNetSettings, net}}, 2)});
    for (const std::string &mac : macs_) {
        const bool has_signal = mac == macs_[1];
        SCOPED_TRACE(has_signal ? "TALVO_SX" : "TALVO_MX");
        MakeCurrent(mac);
        auto page = OpenPage<CDevNetCfgDlg>();
        EXPECT_EQ(Shows(*page, page->Ui().signal), has_signal);
        EXPECT_EQ(Shows(*page, page->Ui().signal_label), has_signal);
        ClearRequests();
        page->Ui().save->click();
        SentFields sent = OnlySave(kNetSettings, mac);
        EXPECT_EQ(sent.count("wifi_signal_strength"), has_signal ? 1u : 0u);
        EXPECT_EQ(sent["wifi_signal_strength"], has_signal ? "20" : "");
    }
}

TEST_F(NetPageTest, SaveSendsTheHotspotAndOnlyTheWiredAddressesThatChanged) {
    struct Case {
        const char *name;
        std::function<void(const CDevNetCfgDlg::Controls &)> edit;
        SentFields expected;
    };
    const SentFields hotspot = {{"wifi_on", "true"},
                                {"wifi_ssid", "Hall"},
                                {"wifi_fre", "g2_4"},
                                {"wifi_channel", "6"},
                                {"wifi_signal_strength", "100"}};
    auto with = [](SentFields fields, const SentFields &more) {
        for (const auto &[key, value] : more) fields[key] = value;
        return fields;
    };
    const Case cases[] = {
        {"dhcp off, nothing changed", [](const auto &) {}, with(hotspot, {{"wired_use_dhcp", "false"}})},
        {"dhcp off, two addresses changed",
         [](const auto &ui) {
             ui.addresses[0]->SetText(QStringLiteral("10.9.8.7"));
             ui.addresses[2]->SetText(QStringLiteral("10.9.8.1"));
         },
         with(hotspot, {{"wired_use_dhcp", "false"}, {"wired_ipaddr", "10.9.8.7"}, {"wired_ipgateway", "10.9.8.1"}})},
        {"dhcp off, a blank address",
         [](const auto &ui) {
             ui.addresses[1]->Clear();
             ui.addresses[4]->SetText(QStringLiteral("8.8.4.4"));
         },
         with(hotspot, {{"wired_use_dhcp", "false"}, {"wired_secdns", "8.8.4.4"}})},
        {"dhcp on",
         [](const auto &ui) {
             ui.addresses[0]->SetText(QStringLiteral("10.9.8.7"));
             ui.dhcp->click();
         },
         with(hotspot, {{"wired_use_dhcp", "true"}})},
        {"new password",
         [](const auto &ui) {
             ui.password->setText(QStringLiteral("Abc12345"));
             ui.confirmation->setText(QStringLiteral("Abc12345"));
         },
         with(hotspot, {{"wired_use_dhcp", "false"}, {"wifi_pwd", "Abc12345"}})},
        {"hotspot off: no hotspot fields and no SSID check",
         [](const auto &ui) {
             ui.ssid->setText(QStringLiteral("-"));
             ui.password->setText(QStringLiteral("short"));
             ui.hotspot_on->click();
         },
         {{"wifi_on", "false"}, {"wired_use_dhcp", "false"}}},
    };
    auto page = OpenWith({{"wifi_on", "true"},
                          {"wifi_ssid", "Hall"},
                          {"wifi_fre", "g2_4"},
                          {"wifi_channel", "6"},
                          {"wired_use_dhcp", "false"},
                          {"wired_ipaddr", "10.1.2.3"},
                          {"wired_ipmask", "255.255.0.0"},
                          {"wired_ipgateway", "10.1.0.1"},
                          {"wired_pridns", "10.1.0.2"},
                          {"wired_secdns", "10.1.0.3"}});
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        page->Load();
        c.edit(page->Ui());
        ClearRequests();
        page->Ui().save->click();
        EXPECT_EQ(OnlySave(kNetSettings), c.expected);
        EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("保存成功！")});
        Fleet().SetSetting(mac_, kNetSettings, "wifi_on", "true"); // back to the start for the next case
        Fleet().SetSetting(mac_, kNetSettings, "wired_use_dhcp", "false");
        for (const auto &[key, value] : SentFields{{"wired_ipaddr", "10.1.2.3"},
                                                  {"wired_ipgateway", "10.1.0.1"},
                                                  {"wired_secdns", "10.1.0.3"}})
            Fleet().SetSetting(mac_, kNetSettings, key, value);
    }
}

TEST_F(NetPageTest, SaveRefusesABadHotspotNameOrPasswordWithItsMessageAndSendsNothing) {
    struct Case {
        QString ssid, password, confirmation, message;
    };
    const QString bad_ssid = QStringLiteral("SSID不合法！");
    const Case cases[] = {
        {"", "", "", bad_ssid},
        {"H", "", "", bad_ssid},
        {"-Hall", "", "", bad_ssid},
        {"'Hall", "", "", bad_ssid},
        {"Hall 100%", "", "", bad_ssid},
        {"Hall \"A\"", "", "", bad_ssid},
        {"Hall\\A", "", "", bad_ssid},
        {QStringLiteral("会议室"), "", "", bad_ssid},
        {"-Hall", "abc", "xyz", bad_ssid}, // the name is checked first
        {"Hall", "abcd1234", "abcd1235", QStringLiteral("密码不一致！")},
        {"Hall", "", "abcd1234", QStringLiteral("密码不一致！")},
        {"Hall", "abc123", "abc123", QStringLiteral("密码为8~16字符！")},
        {"Hall", "abcdefgh123456789", "abcdefgh123456789", QStringLiteral("密码为8~16字符！")},
        {"Hall", "abcd_1234", "abcd_1234", QStringLiteral("密码只能为数字或字母！")},
    };
    auto page = OpenWith({});
    for (const Case &c : cases) {
        SCOPED_TRACE(c.ssid.toStdString() + " / " + c.password.toStdString());
        page->Ui().ssid->setText(c.ssid);
        page->Ui().password->setText(c.password);
        page->Ui().confirmation->setText(c.confirmation);
        ClearRequests();
        page->Ui().save->click();
        EXPECT_EQ(prompts_.Texts(), QStringList{c.message});
        EXPECT_TRUE(Saves(kNetSettings).empty());
        EXPECT_EQ(page->Ui().ssid->text(), c.ssid); // the operator's input stays
    }
}

TEST_F(NetPageTest, ValidSsidRule) {
    EXPECT_TRUE(IsValidSsid("ab"));
    EXPECT_TRUE(IsValidSsid(QByteArray(32, 'a')));
    EXPECT_FALSE(IsValidSsid(QByteArray(33, 'a')));
    EXPECT_TRUE(IsValidSsid("a-'~ !#"));
    EXPECT_FALSE(IsValidSsid("a\tb"));
    EXPECT_FALSE(IsValidSsid("a\x7f"));
}

TEST_F(NetPageTest, SaveFailuresAreReportedOrLoggedAndTheReadFailureSendsNothing) {
    auto page = OpenWith({});
    Fleet().InjectFault(mac_, kNetSettings, talvo_sim::Fault(talvo_sim::FaultType::Status, 500, "", 1));
    page->Ui().save->click();
    EXPECT_TRUE(prompts_.Texts().isEmpty()); // the old settings could not be read: logged only
    EXPECT_TRUE(Saves(kNetSettings).empty());

    Fleet().InjectFault(mac_, "save", talvo_sim::Fault(talvo_sim::FaultType::ErrCode, 1));
    page->Ui().save->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("保存失败！")});
}

TEST_F(NetPageTest, StationStateShowsItsTextAndIcon) {
    struct Case {
        const char *status;
        QString text;
        bool connected;
    };
    const Case cases[] = {
        {"Connected", QStringLiteral("已连接"), true},
        {"Unconnected", QStringLiteral("未连接"), false},
        {"Connection failed", QStringLiteral("连接失败"), false},
        {"Connecting(about 10 seconds)...", QStringLiteral("正在连接中（大概需要10秒钟）……"), false},
        {"connected", QString(), true}, // the icon ignores letter case, the text does not
        {"Busy", QString(), false},
    };
    auto page = OpenWith({{"wired_use_dhcp", ""}, {"connect_status", "Unconnected"}});
    for (const Case &c : cases) {
        SCOPED_TRACE(c.status);
        Fleet().SetSetting(mac_, kNetSettings, "connect_status", c.status);
        page->Load();
        EXPECT_EQ(page->Ui().state_text->text(), c.text);
        EXPECT_EQ(page->ShowsConnected(), c.connected);
    }
    Fleet().SetSetting(mac_, kNetSettings, "connect_status", "Offline");
    page->Load();
    EXPECT_EQ(page->Ui().state_text->text(), QStringLiteral("无网卡"));
}

TEST_F(NetPageTest, ConnectSendsOnlyTheRouterNameAndPassword) {
    auto page = OpenWith({{"wired_use_dhcp", ""}, {"connect_status", "Unconnected"}});
    const auto &ui = page->Ui();
    ui.connect->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("SSID不能为空！")});
    ui.router_ssid->setText(QStringLiteral("Office"));
    ClearRequests();
    ui.connect->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("密码不能为空！")});
    EXPECT_TRUE(Saves(kNetSettings).empty());

    ui.router_password->setText(QStringLiteral("pass word"));
    ClearRequests();
    QString text_during_call;
    Fleet().SetSetting(mac_, kNetSettings, "connect_status", "Connected");
    prompts_.while_shown = [&] { text_during_call = ui.state_text->text(); };
    ui.connect->click();
    EXPECT_EQ(OnlySave(kNetSettings), (SentFields{{"router_wifi_ssid", "Office"}, {"router_passwd", "pass word"}}));
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("保存成功！")});
    EXPECT_EQ(text_during_call, QStringLiteral("已连接")); // reloaded from the device
    EXPECT_TRUE(page->ShowsConnected());

    Fleet().InjectFault(mac_, "save", talvo_sim::Fault(talvo_sim::FaultType::ErrCode, 1));
    ClearRequests();
    ui.connect->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("保存失败！")});
    EXPECT_EQ(ui.state_text->text(), QStringLiteral("连接失败"));
    EXPECT_FALSE(page->ShowsConnected());
}

TEST_F(NetPageTest, TheRouterBoxesTakeNoMoreThanTheirFieldsHold) {
    auto page = OpenWith({{"wired_use_dhcp", ""}, {"connect_status", "Unconnected"}});
    const auto &ui = page->Ui();
    page->show();
    QTest::keyClicks(ui.router_ssid, QString(70, QLatin1Char('s')));
    EXPECT_EQ(ui.router_ssid->text(), QString(63, QLatin1Char('s')));
    QTest::keyClicks(ui.router_password, QString(40, QLatin1Char('p')));
    EXPECT_EQ(ui.router_password->text(), QString(31, QLatin1Char('p')));

    // Double-byte characters count twice: 31 of them fill 62 of the 63 bytes.
    ui.router_ssid->clear();
    for (int i = 0; i < 40; ++i) TypeCharacter(ui.router_ssid, QChar(0x4F1A));
    EXPECT_EQ(ui.router_ssid->text(), QString(31, QChar(0x4F1A)));
    ui.connect->click();
    const SentFields sent = OnlySave(kNetSettings);
    EXPECT_EQ(sent.at("router_wifi_ssid").size(), 62u);
    EXPECT_EQ(sent.at("router_passwd"), std::string(31, 'p'));
}

} // namespace
} // namespace talvo::testing
