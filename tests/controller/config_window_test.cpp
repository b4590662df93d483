// The configuration window: its ten tabs, the network page shown first, the
// reload of tabs 0 to 4 when chosen, the host-mode timer on tab changes,
// "取消" closing the whole window, and every page acting on the main
// window's current device at the moment its action runs.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTableWidget>

#include "config/dev_compere_cfg_dlg.h"
#include "config/dev_net_cfg_dlg.h"
#include "config/dev_pin_code_dlg.h"
#include "config/dev_vid_out_cfg_dlg.h"
#include "config/multi_display_mode_dlg.h"
#include "config_fixture.h"

namespace talvo::testing {
namespace {

class ConfigWindowTest : public ConfigTest {};

// The class of a tab's page; a page still to come is a plain widget named
// after its class.
QString PageClass(const QWidget *page) {
    const QString name = QString::fromLatin1(page->metaObject()->className()).remove(QStringLiteral("talvo::"));
    return name == QLatin1String("QWidget") ? page->objectName() : name;
}

TEST_F(ConfigWindowTest, EveryModelGetsTheTenTabsAndOpensOnTheNetworkPageWithTheDevicesSettings) {
    std::vector<talvo_sim::ReceiverConfig> receivers;
    for (std::size_t i = 0; i < talvo_sim::ModelNames().size(); ++i)
        receivers.push_back(Receiver(talvo_sim::ModelNames()[i], {}, static_cast<int>(i) + 1));
    Start(receivers);
    const QStringList captions = {"网络配置",        "视频输出配置",     "投屏码设置",       "组播设置",
                                  "主持人模式",      "恢复出厂设置",     "修改设备WEB密码", "开、待机画面更新",
                                  "重启设备",        "升级"};
    const QStringList classes = {"CDevNetCfgDlg",         "CDevVidOutCfgDlg", "CDevPinCodeDlg", "CMultiDisplayModeDlg",
                                 "CDevCompereCfgDlg",     "CDevRestoreFactoryDlg", "CDevChangePwdDlg",
                                 "CDevScreenDlg",         "CDevRebootDlg",    "CDevSystemUpdateDlg"};
    for (const std::string &mac : macs_) {
        MakeCurrent(mac);
        Fleet().SetSetting(mac, talvo_sim::kNetSettings, "wifi_ssid", "Hall " + mac.substr(15));
        auto window = OpenConfiguration();
        window->show();
        EXPECT_EQ(window->windowTitle(), QStringLiteral("配置"));
        QStringList shown_captions, shown_classes;
        for (int tab = 0; tab < window->Tabs()->count(); ++tab) {
            shown_captions << window->Tabs()->tabText(tab);
            shown_classes << PageClass(window->Tabs()->widget(tab));
        }
        EXPECT_EQ(shown_captions, captions);
        EXPECT_EQ(shown_classes, classes);
        EXPECT_EQ(window->Tabs()->currentIndex(), CDevCfgDlg::kNetworkTab);
        EXPECT_TRUE(window->NetworkPage().isVisible());
        EXPECT_EQ(window->NetworkPage().HotspotSsidBox()->text(), QString::fromStdString("Hall " + mac.substr(15)));
        EXPECT_EQ(window->focusWidget(), window->NetworkPage().HotspotSsidBox());
    }
}

TEST_F(ConfigWindowTest, ReturningToATabShowsTheDevicesValuesAgainNotTheUnsavedEdits) {
    Start(Receiver("TALVO_JX"));
    auto window = OpenConfiguration();
    CDevVidOutCfgDlg &video = window->VideoOutputPage();
    window->Tabs()->setCurrentIndex(CDevCfgDlg::kVideoOutputTab);
    QSlider *volume = video.Ui().bars[CDevVidOutCfgDlg::kVolumeBar];
    EXPECT_EQ(volume->value(), 80);
    volume->setValue(15);
    window->NetworkPage().HotspotSsidBox()->setText(QStringLiteral("Edited"));
    Fleet().SetSetting(mac_, talvo_sim::kVideoOut, "sound_volume", "65"); // changed on the device meanwhile

    window->Tabs()->setCurrentIndex(CDevCfgDlg::kPinCodeTab);
    window->Tabs()->setCurrentIndex(CDevCfgDlg::kVideoOutputTab);
    EXPECT_EQ(volume->value(), 65);
    EXPECT_EQ(video.Ui().bar_texts[CDevVidOutCfgDlg::kVolumeBar]->text(), QStringLiteral("65%"));
    window->Tabs()->setCurrentIndex(CDevCfgDlg::kNetworkTab);
    EXPECT_EQ(window->NetworkPage().HotspotSsidBox()->text(), QStringLiteral("TALVO-2001"));
    EXPECT_TRUE(Saves(talvo_sim::kVideoOut).empty());
}

TEST_F(ConfigWindowTest, EveryTabChangeStopsTheHostModeTimerAndChoosingTheTabAgainReloadsIt) {
    talvo_sim::ReceiverConfig receiver = Receiver("TALVO_SX");
    receiver.host_members = {{"127.0.0.21", "windows", "Laptop"}};
    Start(receiver);
    auto window = OpenConfiguration();
    window->show();
    CDevCompereCfgDlg &host = window->HostModePage();
    EXPECT_EQ(host.Ui().members->rowCount(), 0); // empty until first chosen
    EXPECT_FALSE(host.RefreshTimer().isActive());

    for (int tab = 0; tab < CDevCfgDlg::kTabCount; ++tab) {
        if (tab == CDevCfgDlg::kHostModeTab) continue;
        window->Tabs()->setCurrentIndex(CDevCfgDlg::kHostModeTab);
        ASSERT_TRUE(host.RefreshTimer().isActive());
        EXPECT_EQ(host.RefreshTimer().interval(), 5000);
        window->Tabs()->setCurrentIndex(tab);
        EXPECT_FALSE(host.RefreshTimer().isActive()) << "tab " << tab;
    }
    Fleet().SetHostMembers(mac_, {{"127.0.0.21", "windows", "Laptop"}, {"127.0.0.22", "android", "Phone"}});
    window->Tabs()->setCurrentIndex(CDevCfgDlg::kHostModeTab);
    EXPECT_EQ(host.Ui().members->rowCount(), 2);
    window->close();
    EXPECT_FALSE(host.RefreshTimer().isActive());
}

TEST_F(ConfigWindowTest, CancelOnAnyPageClosesTheWholeWindow) {
    Start(Receiver("TALVO_TX"));
    for (int tab = 0; tab < CDevCfgDlg::kTabCount; ++tab) {
        auto window = OpenConfiguration();
        window->show();
        window->Tabs()->setCurrentIndex(tab);
        QPushButton *cancel = nullptr;
        for (QPushButton *button : window->Page(tab)->findChildren<QPushButton *>())
            if (button->text() == QStringLiteral("取消")) cancel = button;
        if (!cancel) continue; // the host mode page has none
        cancel->click();
        EXPECT_FALSE(window->isVisible()) << "tab " << tab;
        EXPECT_EQ(window->result(), QDialog::Rejected);
    }
}

TEST_F(ConfigWindowTest, PagesActOnTheMainWindowsCurrentDeviceAtTheMomentTheActionRuns) {
    Start({Receiver("TALVO_JX", {}, 1), Receiver("TALVO_JX", {}, 2)});
    auto window = OpenConfiguration(); // for the first receiver
    MakeCurrent(macs_[1]);
    ClearRequests();
    window->PinCodePage().Ui().enabled->click();
    window->PinCodePage().Ui().save->click();
    EXPECT_EQ(OnlySave(talvo_sim::kPinCode, macs_[1]), (SentFields{{"use_input_code", "true"}}));
    EXPECT_TRUE(Saves(talvo_sim::kPinCode, macs_[0]).empty());
    window->Tabs()->setCurrentIndex(CDevCfgDlg::kVideoOutputTab);
    EXPECT_TRUE(Fleet().Requests(macs_[0]).empty());
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("保存成功！")});
}

TEST_F(ConfigWindowTest, AnOfflineDeviceLoadsNothingAndEverySaveSaysSo) {
    talvo_sim::ReceiverConfig receiver = Receiver("TALVO_SX");
    receiver.host_members = {{"127.0.0.21", "windows", "Laptop"}};
    Start(receiver);
    auto window = OpenConfiguration();
    window->Tabs()->setCurrentIndex(CDevCfgDlg::kHostModeTab);
    ASSERT_EQ(window->HostModePage().Ui().members->rowCount(), 1);
    window->Tabs()->setCurrentIndex(CDevCfgDlg::kNetworkTab);
    TakeOffline(mac_);
    ClearRequests();

    for (int tab = 0; tab <= CDevCfgDlg::kHostModeTab; ++tab) window->Tabs()->setCurrentIndex(tab);
    EXPECT_FALSE(window->HostModePage().RefreshTimer().isActive());
    EXPECT_EQ(window->HostModePage().Ui().members->rowCount(), 1); // left as it was
    EXPECT_EQ(window->NetworkPage().HotspotSsidBox()->text(), QStringLiteral("TALVO-2001"));
    window->HostModePage().Ui().members->setCurrentCell(0, 1);
    window->HostModePage().OnRowClicked(0);
    for (QPushButton *action : window->HostModePage().Ui().actions) action->click(); // nothing happens
    window->HostModePage().Ui().refresh->click();
    EXPECT_TRUE(prompts_.Texts().isEmpty());

    window->NetworkPage().Ui().save->click();
    window->NetworkPage().Ui().connect->click();
    window->VideoOutputPage().Ui().save->click();
    window->PinCodePage().Ui().save->click();
    window->MultiDisplayPage().Ui().save->click();
    EXPECT_EQ(prompts_.Texts(), QStringList(5, QStringLiteral("设备不在线！")));
    EXPECT_TRUE(Fleet().Requests(mac_).empty());
}

TEST_F(ConfigWindowTest, TheProgramOpensTheWindowModallyForTheCurrentDeviceAndDestroysItAfter) {
    Start(Receiver("TALVO_HX"));
    SetWindowOpener(nullptr);
    bool seen = false;
    WhenModal<CDevCfgDlg>([&](CDevCfgDlg &window) {
        seen = true;
        EXPECT_EQ(window.parentWidget(), main_.get());
        EXPECT_EQ(window.Tabs()->count(), CDevCfgDlg::kTabCount);
        EXPECT_EQ(window.NetworkPage().HotspotSsidBox()->text(), QStringLiteral("TALVO-2001"));
        window.close();
    });
    FindButton(main_.get(), QStringLiteral("设备配置"))->click();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(main_->findChildren<CDevCfgDlg *>().isEmpty());
}

} // namespace
} // namespace talvo::testing
