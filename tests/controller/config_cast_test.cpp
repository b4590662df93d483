// The pin code page and the multi-display mode page: what they load, the
// rows each multi-display choice shows, the address checks and what Save
// sends.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "common/ip_address_edit.h"
#include "config/dev_pin_code_dlg.h"
#include "config/multi_display_mode_dlg.h"
#include "config_fixture.h"

namespace talvo::testing {
namespace {

using talvo_sim::kMultiMode;
using talvo_sim::kPinCode;

class PinCodePageTest : public ConfigTest {};

TEST_F(PinCodePageTest, LoadShowsTheCodeOnlyWhileItIsRequired) {
    Start(Receiver("TALVO_JX", {{kPinCode, {{"use_input_code", "true"}, {"input_code", "4821"}}}}));
    auto page = OpenPage<CDevPinCodeDlg>();
    const auto &ui = page->Ui();
    EXPECT_TRUE(ui.enabled->isChecked());
    EXPECT_EQ(ui.code->text(), QStringLiteral("4821"));
    EXPECT_TRUE(ui.code->isEnabled());
    EXPECT_TRUE(ui.code->isReadOnly());

    for (const char *off : {"false", "True", ""}) { // only a leading 't' counts
        SCOPED_TRACE(off);
        Fleet().SetSetting(mac_, kPinCode, "use_input_code", off);
        page->Load();
        EXPECT_FALSE(ui.enabled->isChecked());
        EXPECT_TRUE(ui.code->text().isEmpty());
        EXPECT_FALSE(ui.code->isEnabled());
    }
    ui.enabled->click();
    EXPECT_TRUE(ui.code->isEnabled());
    ui.enabled->click();
    EXPECT_FALSE(ui.code->isEnabled());
}

TEST_F(PinCodePageTest, SaveSendsOnlyWhetherACodeIsRequired) {
    Start(Receiver("TALVO_SX"));
    auto page = OpenPage<CDevPinCodeDlg>();
    page->Ui().enabled->click();
    ClearRequests();
    page->Ui().save->click();
    EXPECT_EQ(OnlySave(kPinCode), (SentFields{{"use_input_code", "true"}}));
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("保存成功！")});
    EXPECT_TRUE(page->Ui().code->text().isEmpty()); // not reloaded

    page->Ui().enabled->click();
    ClearRequests();
    Fleet().InjectFault(mac_, "save", talvo_sim::Fault(talvo_sim::FaultType::ErrCode, 1));
    page->Ui().save->click();
    EXPECT_EQ(OnlySave(kPinCode), (SentFields{{"use_input_code", "false"}}));
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("保存失败！")});
}

class MultiDisplayPageTest : public ConfigTest {
protected:
    // Sets the page's choice as the operator would.
    static void Choose(CMultiDisplayModeDlg &page, bool enabled, int mode, int direction, bool unicast_output) {
        const auto &ui = page.Ui();
        if (ui.enabled->isChecked() != enabled) ui.enabled->click();
        ui.mode->setCurrentIndex(mode);
        ui.direction->setCurrentIndex(direction);
        if (ui.unicast_output->isChecked() != unicast_output) ui.unicast_output->click();
    }
    static QList<int> VisibleRows(const CMultiDisplayModeDlg &page) { return page.Rows().VisibleRows(); }
};

TEST_F(MultiDisplayPageTest, EachChoiceShowsExactlyItsRows) {
    struct Case {
        bool enabled;
        int mode, direction;
        bool unicast_output;
        QList<int> rows;
    };
    const Case cases[] = {
        {false, kWiredMode, kSend, true, {kEnableRow}},
        {false, kRtspMode, kReceive, false, {kEnableRow}},
        {true, kWiredMode, kReceive, false, {kEnableRow, kModeRow, kDirectionRow, kMulticastAddressRow}},
        {true, kWiredMode, kSend, true, {kEnableRow, kModeRow, kDirectionRow, kMulticastAddressRow}},
        {true, kWirelessMode, kReceive, true, {kEnableRow, kModeRow, kDirectionRow}},
        {true, kWirelessMode, kSend, false, {kEnableRow, kModeRow, kDirectionRow, kAudioRow, kUnicastOutputRow}},
        {true,
         kWirelessMode,
         kSend,
         true,
         {kEnableRow, kModeRow, kDirectionRow, kAudioRow, kUnicastOutputRow, kUnicastAddressRow}},
        {true, kRtspMode, kReceive, false, {kEnableRow, kModeRow, kDirectionRow, kRtspAddressRow}},
        {true, kRtspMode, kSend, false, {kEnableRow, kModeRow, kDirectionRow, kRtspServerAddressRow}},
    };
    Start(Receiver("TALVO_SX"));
    auto page = OpenPage<CMultiDisplayModeDlg>();
    page->Load();
    EXPECT_EQ(VisibleRows(*page), QList<int>{kEnableRow}); // the device's default: off
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << c.enabled << " mode " << c.mode << " direction " << c.direction
                                          << " unicast " << c.unicast_output);
        Choose(*page, c.enabled, c.mode, c.direction, c.unicast_output);
        EXPECT_EQ(VisibleRows(*page), c.rows);
    }
    // The labels of the rows, and the read-only one of the two RTSP rows.
    const QStringList labels = {"启用",           "多屏同显模式",   "多屏同显TX/RX", "启用多屏同显声音",
                                "启用媒体流单播输出", "媒体流单播地址", "媒体流组播地址", "rtsp地址",
                                "rtsp地址"};
    for (int row = 0; row < kMultiDisplayRowCount; ++row) EXPECT_EQ(page->Rows().RowLabel(row)->text(), labels[row]);
    EXPECT_TRUE(page->Ui().rtsp_server_address->isReadOnly());
    EXPECT_FALSE(page->Ui().rtsp_address->isReadOnly());
}

TEST_F(MultiDisplayPageTest, SaveChecksTheAddressTheChoiceNeedsAndSendsIt) {
    const QString bad_unicast = QStringLiteral("单播IP地址不能是组播地址、广播地址或0.0.0.0或者192.168.118.x");
    const QString bad_multicast = QStringLiteral("组播IP地址应该是224.x.x.x - 239.x.x.x之间！");
    struct Case {
        int mode, direction;
        bool unicast_output;
        QString address; // into the address the choice needs
        QString message; // empty: accepted
        SentFields sent;
    };
    const Case cases[] = {
        {kWirelessMode, kSend, true, "192.168.118.20", bad_unicast, {}},
        {kWirelessMode, kSend, true, "10.0.0.255", bad_unicast, {}},
        {kWirelessMode, kSend, true, "255.1.1.1", bad_unicast, {}},
        {kWirelessMode, kSend, true, "0.0.0.0", bad_unicast, {}},
        {kWirelessMode, kSend, true, "", bad_unicast, {}},
        {kWirelessMode, kSend, true, "224.1.2.3", bad_unicast, {}},
        {kWirelessMode, kSend, true, "239.0.0.1", bad_unicast, {}},
        {kWirelessMode,
         kSend,
         true,
         "10.0.0.1",
         "",
         {{"multi_display_enable", "true"},
          {"multi_display_mode", "out"},
          {"multi_display_type", "unicast"},
          {"multi_display_audio", "false"},
          {"multi_display_ip_enable", "true"},
          {"multi_display_uni_ip", "10.0.0.1"}}},
        {kWirelessMode,
         kSend,
         false,
         "192.168.118.20", // no unicast output: not checked, not sent
         "",
         {{"multi_display_enable", "true"},
          {"multi_display_mode", "out"},
          {"multi_display_type", "unicast"},
          {"multi_display_audio", "false"},
          {"multi_display_ip_enable", "false"}}},
        {kWirelessMode,
         kReceive,
         true,
         "192.168.118.20",
         "",
         {{"multi_display_enable", "true"},
          {"multi_display_mode", "in"},
          {"multi_display_type", "unicast"},
          {"multi_display_audio", "false"},
          {"multi_display_ip_enable", "true"}}},
        {kWiredMode, kReceive, false, "240.0.0.1", bad_multicast, {}},
        {kWiredMode, kReceive, false, "192.168.1.1", bad_multicast, {}},
        {kWiredMode, kSend, false, "223.255.255.255", bad_multicast, {}},
        {kWiredMode,
         kReceive,
         false,
         "239.255.255.250",
         "",
         {{"multi_display_enable", "true"},
          {"multi_display_mode", "in"},
          {"multi_display_type", "multicast"},
          {"multi_display_audio", "false"},
          {"multi_display_ip_enable", "false"},
          {"multi_display_multi_ip", "239.255.255.250"}}},
        {kWiredMode,
         kSend,
         false,
         "224.0.0.0",
         "",
         {{"multi_display_enable", "true"},
          {"multi_display_mode", "out"},
          {"multi_display_type", "multicast"},
          {"multi_display_audio", "false"},
          {"multi_display_ip_enable", "false"},
          {"multi_display_multi_ip", "224.0.0.0"}}},
        {kRtspMode, kReceive, false, "", QStringLiteral("rtsp地址不能为空！"), {}},
        {kRtspMode,
         kReceive,
         false,
         "rtsp://10.0.0.9:8554/live",
         "",
         {{"multi_display_enable", "true"},
          {"multi_display_mode", "in"},
          {"multi_display_type", "rtsp"},
          {"multi_display_audio", "false"},
          {"multi_display_ip_enable", "false"},
          {"multi_display_rtsp_addr", "rtsp://10.0.0.9:8554/live"}}},
        {kRtspMode,
         kSend,
         false,
         "",
         "",
         {{"multi_display_enable", "true"},
          {"multi_display_mode", "out"},
          {"multi_display_type", "rtsp"},
          {"multi_display_audio", "false"},
          {"multi_display_ip_enable", "false"}}},
    };
    Start(Receiver("TALVO_TX", {{kMultiMode, {{"multi_display_multi_ip", ""}}}}));
    auto page = OpenPage<CMultiDisplayModeDlg>();
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " direction " << c.direction << " unicast "
                                          << c.unicast_output << " " << c.address.toStdString());
        Fleet().SetSetting(mac_, kMultiMode, "multi_display_enable", "false");
        page->Load();
        Choose(*page, true, c.mode, c.direction, c.unicast_output);
        const auto &ui = page->Ui();
        ui.unicast_address->SetText(c.address);
        ui.multicast_address->SetText(c.address);
        ui.rtsp_address->setText(c.address);
        ClearRequests();
        ui.save->click();
        if (c.message.isEmpty()) {
            EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("保存成功！")});
            EXPECT_EQ(OnlySave(kMultiMode), c.sent);
        } else {
            EXPECT_EQ(prompts_.Texts(), QStringList{c.message});
            EXPECT_TRUE(Saves(kMultiMode).empty());
        }
    }
}

TEST_F(MultiDisplayPageTest, TheRtspAddressTakesUpTo255BytesAndIsSentWhole) {
    Start(Receiver("TALVO_SX"));
    auto page = OpenPage<CMultiDisplayModeDlg>();
    page->Load();
    Choose(*page, true, kRtspMode, kReceive, false);
    const QString address = QStringLiteral("rtsp://10.0.0.9:8554/") + QString(240, QLatin1Char('a'));
    page->show();
    page->Ui().rtsp_address->setFocus();
    QTest::keyClicks(page->Ui().rtsp_address, address);
    EXPECT_EQ(page->Ui().rtsp_address->text(), address.left(255));
    ClearRequests();
    page->Ui().save->click();
    EXPECT_EQ(OnlySave(kMultiMode).at("multi_display_rtsp_addr"), address.left(255).toStdString());
}

TEST_F(MultiDisplayPageTest, SavingWithMultiDisplayOffSendsFalseWithoutAddressChecks) {
    Start(Receiver("TALVO_SX", {{kMultiMode, {{"multi_display_enable", "true"},
                                              {"multi_display_audio", "true"},
                                              {"multi_display_type", "unicast"},
                                              {"multi_display_mode", "out"}}}}));
    auto page = OpenPage<CMultiDisplayModeDlg>();
    page->Load();
    const auto &ui = page->Ui();
    EXPECT_TRUE(ui.audio->isChecked());
    ui.unicast_address->SetText(QStringLiteral("255.255.255.255"));
    ui.enabled->click();
    ClearRequests();
    ui.save->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("保存成功！")});
    EXPECT_EQ(OnlySave(kMultiMode), (SentFields{{"multi_display_enable", "false"},
                                                {"multi_display_mode", "out"},
                                                {"multi_display_type", "unicast"},
                                                {"multi_display_audio", "true"},
                                                {"multi_display_ip_enable", "false"}}));

    // Off on the device clears the three flags whatever the others say.
    page->Load();
    EXPECT_FALSE(ui.enabled->isChecked());
    EXPECT_FALSE(ui.audio->isChecked());
}

TEST_F(MultiDisplayPageTest, RtspIsOfferedOnTalvoSxAndTxOnly) {
    const talvo_sim::Settings rtsp = {{"multi_display_enable", "true"},
                                      {"multi_display_type", "rtsp"},
                                      {"multi_display_mode", "out"},
                                      {"multi_display_multi_ip", "239.9.9.9"}};
    std::vector<talvo_sim::ReceiverConfig> receivers;
    for (const std::string &model : talvo_sim::ModelNames())
        receivers.push_back(Receiver(model, {{kMultiMode, rtsp}}, static_cast<int>(receivers.size()) + 1));
    Start(receivers);
    for (std::size_t i = 0; i < receivers.size(); ++i) {
        const std::string &model = receivers[i].model;
        SCOPED_TRACE(model);
        MakeCurrent(macs_[i]);
        auto page = OpenPage<CMultiDisplayModeDlg>();
        const bool has_rtsp = model == "TALVO_SX" || model == "TALVO_TX";
        QStringList modes = {"有线多屏显示", "无线多屏显示"};
        if (has_rtsp) modes << "rtsp多屏同显";
        EXPECT_EQ(ListItems(page->Ui().mode), modes);
        EXPECT_EQ(ListItems(page->Ui().direction), (QStringList{"接收", "发送"}));
        page->Load();
        // A mode the model does not offer selects the first entry.
        EXPECT_EQ(page->Ui().mode->currentIndex(), has_rtsp ? kRtspMode : kWiredMode);
        EXPECT_EQ(page->Ui().direction->currentIndex(), kSend);
        EXPECT_EQ(page->Ui().multicast_address->Text(), QStringLiteral("239.9.9.9"));
        EXPECT_EQ(page->Ui().rtsp_server_address->text(),
                  QString::fromStdString("rtsp://" + receivers[i].address + ":8554/live"));
    }
}

TEST_F(MultiDisplayPageTest, SaveReportsTheDevicesRefusals) {
    Start(Receiver("TALVO_JX", {{talvo_sim::kVideoOut, {{"display_mode", "3"}}}}));
    auto page = OpenPage<CMultiDisplayModeDlg>();
    page->Load();
    Choose(*page, true, kWiredMode, kSend, false);
    page->Ui().save->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("九画面模式下，不支持组播模式！")});
    EXPECT_EQ(Fleet().GetSettings(mac_, kMultiMode).at("multi_display_enable"), "false");

    ClearRequests();
    Choose(*page, true, kWirelessMode, kReceive, false);
    Fleet().InjectFault(mac_, "save", talvo_sim::Fault(talvo_sim::FaultType::ErrCode, 1));
    page->Ui().save->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("保存失败！")});
}

} // namespace
} // namespace talvo::testing
