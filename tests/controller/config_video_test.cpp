// The video output page: the rows and lists of each model, the values
// loaded, and the fields Save writes for each model.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include "config/dev_vid_out_cfg_dlg.h"
#include "config_fixture.h"

namespace talvo::testing {
namespace {

using talvo_sim::kVideoOut;
using Bar = CDevVidOutCfgDlg::Bar;

class VideoPageTest : public ConfigTest {
protected:
    static QStringList VisibleLabels(const CDevVidOutCfgDlg &page) {
        QStringList labels;
        for (int row : page.Rows().VisibleRows()) labels << page.Rows().RowLabel(row)->text();
        return labels;
    }
    static std::vector<std::string> Keys(const SentFields &fields) {
        std::vector<std::string> keys;
        for (const auto &entry : fields) keys.push_back(entry.first);
        return keys;
    }
};

const talvo_sim::Settings kStored = {
    {"video_hdmi_resu", "1280x720"}, {"video_vga_resu", "1024x768"}, {"video_osd_transparency", "40"},
    {"input_vga_gain", "30"},        {"input_vga_sharp", "20"},      {"sound_volume", "70"},
    {"display_mode", "4"},           {"osd_on", "true"},             {"rotate_str", "90"},
    {"auto_fullscreen", "true"},     {"auto_shutdown", "true"},      {"auto_shutdown_sec", "120"},
};

TEST_F(VideoPageTest, EachModelShowsItsRowsAndSaveWritesOnlyTheirFields) {
    struct Case {
        const char *model;
        QStringList rows;
        SentFields sent; // loaded from kStored and saved unchanged
    };
    const SentFields bars = {{"video_osd_transparency", "40"}, {"input_vga_sharp", "20"}, {"sound_volume", "70"}};
    auto with = [&](const SentFields &more) {
        SentFields fields = bars;
        for (const auto &[key, value] : more) fields[key] = value;
        return fields;
    };
    const Case cases[] = {
        {"TALVO_JX",
         {"HDMI 分辨率", "VGA 分辨率", "OSD是否显示", "OSD透明度", "VGA Gain", "锐  度", "音  量", "显示模式",
          "自动满屏"},
         with({{"video_hdmi_resu", "1280x720"},
               {"video_vga_resu", "1024x768"},
               {"osd_on", "true"},
               {"input_vga_gain", "30"},
               {"display_mode", "4"},
               {"auto_fullscreen", "true"}})},
        {"TALVO_SX",
         {"HDMI 分辨率", "VGA 分辨率", "OSD是否显示", "OSD透明度", "VGA Gain", "锐  度", "音  量", "屏幕旋转",
          "自动满屏", "自动关闭显示"},
         with({{"video_hdmi_resu", "1280x720"},
               {"video_vga_resu", "1024x768"},
               {"osd_on", "true"},
               {"input_vga_gain", "30"},
               {"rotate_str", "90"},
               {"auto_fullscreen", "true"},
               {"auto_shutdown", "true"},
               {"auto_shutdown_sec", "120"}})},
        {"TALVO_TX",
         {"HDMI 分辨率", "OSD是否显示", "OSD透明度", "锐  度", "音  量", "屏幕旋转", "自动满屏", "自动关闭显示"},
         with({{"video_hdmi_resu", "1280x720"},
               {"osd_on", "true"},
               {"rotate_str", "90"},
               {"auto_fullscreen", "true"},
               {"auto_shutdown", "true"},
               {"auto_shutdown_sec", "120"}})},
        {"TALVO_HX",
         {"HDMI 分辨率", "VGA 分辨率", "OSD透明度", "VGA Gain", "锐  度", "音  量"},
         with({{"video_hdmi_resu", "1280x720"}, {"video_vga_resu", "1024x768"}, {"input_vga_gain", "30"}})},
        {"TALVO_MX", {"HDMI 分辨率", "OSD透明度", "锐  度", "音  量"}, with({{"video_hdmi_resu", "1280x720"}})},
        {"TALVO_NX", {"HDMI 分辨率", "OSD透明度", "锐  度", "音  量"}, with({{"video_hdmi_resu", "1280x720"}})},
    };
    std::vector<talvo_sim::ReceiverConfig> receivers;
    for (const Case &c : cases)
        receivers.push_back(Receiver(c.model, {{kVideoOut, kStored}}, static_cast<int>(receivers.size()) + 1));
    Start(receivers);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case &c = cases[i];
        SCOPED_TRACE(c.model);
        MakeCurrent(macs_[i]);
        auto page = OpenPage<CDevVidOutCfgDlg>();
        EXPECT_EQ(VisibleLabels(*page), c.rows);
        page->Load();
        ClearRequests();
        page->Ui().save->click();
        const SentFields sent = OnlySave(kVideoOut, macs_[i]);
        EXPECT_EQ(Keys(sent), Keys(c.sent));
        EXPECT_EQ(sent, c.sent);
        EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("保存成功！")});
    }
}

// The library only ever names one of the six models, so a model the page
// does not know is seen by the rules alone: every row where the page puts
// it, only the three track-bar fields written.
TEST_F(VideoPageTest, AModelThePageDoesNotKnowShowsEveryRowAndWritesOnlyTheTrackBars) {
    EXPECT_EQ(FindVideoModel("TALVO_ZX"), nullptr);
    EXPECT_EQ(FindVideoModel("talvo_sx"), FindVideoModel("TALVO_SX"));
    for (int row = 0; row < kVideoRowCount; ++row) {
        EXPECT_TRUE(ShowsRow(nullptr, VideoRow(row)));
        const bool bar = row == kOsdTransparencyRow || row == kSharpnessRow || row == kVolumeRow;
        EXPECT_EQ(WritesRow(nullptr, VideoRow(row)), bar) << row;
    }
}

TEST_F(VideoPageTest, EachModelHasItsResolutionDisplayModeAndRotationLists) {
    const QStringList common_hdmi = {"1920x1200", "1920x1080P60", "1920x1080P30", "1600x1200", "1680x1050",
                                     "1440x900",  "1366x768",     "1280x1024",    "1280x800",  "1280x720",
                                     "1024x768",  "800x600"};
    const QStringList sx_vga = {"auto",      "1920x1080", "1680x1050", "1440x900", "1366x768",
                                "1280x1024", "1280x800",  "1280x720",  "1024x768", "800x600"};
    struct Case {
        const char *model;
        QStringList hdmi, vga, modes, rotations;
    };
    const Case cases[] = {
        {"TALVO_JX",
         QStringList{"auto", "3840x2160 60P", "3840x2160 30P", "2560x1600"} + common_hdmi,
         {"auto", "1920x1080", "1600x1200", "1680x1050", "1440x900", "1366x768", "1280x1024", "1280x800", "1280x720",
          "1024x768", "800x600"},
         {"正常四画面模式", "正常九画面模式", "固定四画面模式", "固定九画面模式", "手机四画面模式", "手机九画面模式"},
         {}},
        {"TALVO_SX", QStringList{"auto", "3840x2160P30"} + common_hdmi, sx_vga, {}, {"正常显示", "旋转90", "旋转270"}},
        {"TALVO_TX", QStringList{"auto", "3840x2160P30"} + common_hdmi, sx_vga, {}, {"正常显示", "旋转90", "旋转270"}},
        {"TALVO_HX",
         QStringList{"auto"} + common_hdmi,
         {"auto", "1920x1200", "1920x1080", "1600x1200", "1680x1050", "1440x900", "1366x768", "1280x1024", "1280x800",
          "1280x720", "1024x768", "800x600"},
         {},
         {}},
        {"TALVO_MX", QStringList{"auto"} + common_hdmi, {}, {}, {}},
        {"TALVO_NX", QStringList{"auto"} + common_hdmi, {}, {}, {}},
    };
    std::vector<talvo_sim::ReceiverConfig> receivers;
    for (const Case &c : cases) receivers.push_back(Receiver(c.model, {}, static_cast<int>(receivers.size()) + 1));
    Start(receivers);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].model);
        MakeCurrent(macs_[i]);
        auto page = OpenPage<CDevVidOutCfgDlg>();
        EXPECT_EQ(ListItems(page->Ui().hdmi), cases[i].hdmi);
        EXPECT_EQ(ListItems(page->Ui().vga), cases[i].vga);
        EXPECT_EQ(ListItems(page->Ui().display_mode), cases[i].modes);
        EXPECT_EQ(ListItems(page->Ui().rotation), cases[i].rotations);
    }
}

TEST_F(VideoPageTest, JxResolutionsAndDisplayModesLoadAndSaveByTheirValues) {
    Start(Receiver("TALVO_JX", {{kVideoOut, {{"video_hdmi_resu", "3840x2160_60"}, {"display_mode", "2"}}}}));
    auto page = OpenPage<CDevVidOutCfgDlg>();
    page->Load();
    const auto &ui = page->Ui();
    EXPECT_EQ(ui.hdmi->currentText(), QStringLiteral("3840x2160 60P"));
    EXPECT_EQ(ui.display_mode->currentText(), QStringLiteral("固定九画面模式"));

    ui.hdmi->setCurrentIndex(2);
    ui.display_mode->setCurrentIndex(1);
    ClearRequests();
    ui.save->click();
    SentFields sent = OnlySave(kVideoOut);
    EXPECT_EQ(sent.at("video_hdmi_resu"), "3840x2160_30");
    EXPECT_EQ(sent.at("display_mode"), "3");

    // A value not in the list leaves the selection as it was.
    Fleet().SetSetting(mac_, kVideoOut, "video_hdmi_resu", "640x480");
    Fleet().SetSetting(mac_, kVideoOut, "display_mode", "9");
    page->Load();
    EXPECT_EQ(ui.hdmi->currentText(), QStringLiteral("3840x2160 30P"));
    EXPECT_EQ(ui.display_mode->currentText(), QStringLiteral("正常九画面模式"));
}

TEST_F(VideoPageTest, OsdAndAutoShutDownTogglesDecideWhatIsSent) {
    Start(Receiver("TALVO_SX", {{kVideoOut, kStored}}));
    auto page = OpenPage<CDevVidOutCfgDlg>();
    page->Load();
    const auto &ui = page->Ui();
    EXPECT_EQ(ui.rotation->currentText(), QStringLiteral("旋转90"));
    EXPECT_TRUE(ui.bars[Bar::kOsdTransparencyBar]->isEnabled());
    EXPECT_TRUE(ui.shutdown_seconds->isEnabled());
    EXPECT_EQ(ui.shutdown_seconds->text(), QStringLiteral("120"));

    ui.osd_on->click();
    ui.auto_shutdown->click();
    EXPECT_FALSE(ui.bars[Bar::kOsdTransparencyBar]->isEnabled());
    EXPECT_FALSE(ui.bar_texts[Bar::kOsdTransparencyBar]->isEnabled());
    EXPECT_FALSE(ui.shutdown_seconds->isEnabled());
    ClearRequests();
    ui.save->click();
    SentFields sent = OnlySave(kVideoOut);
    EXPECT_EQ(sent.at("osd_on"), "false");
    EXPECT_EQ(sent.count("video_osd_transparency"), 0u);
    EXPECT_EQ(sent.at("auto_shutdown"), "false");
    EXPECT_EQ(sent.count("auto_shutdown_sec"), 0u);

    page->Load(); // the device now says off
    EXPECT_FALSE(ui.osd_on->isChecked());
    EXPECT_FALSE(ui.bars[Bar::kOsdTransparencyBar]->isEnabled());
    ui.auto_shutdown->click();
    ui.shutdown_seconds->setText(QStringLiteral("45"));
    ClearRequests();
    ui.save->click();
    EXPECT_EQ(OnlySave(kVideoOut).at("auto_shutdown_sec"), "45");
}

TEST_F(VideoPageTest, TrackBarsShowTheirValuesAsPercentages) {
    Start(Receiver("TALVO_HX", {{kVideoOut, {{"input_vga_gain", "abc"}, {"sound_volume", "65"}}}}));
    auto page = OpenPage<CDevVidOutCfgDlg>();
    page->Load();
    const auto &ui = page->Ui();
    EXPECT_EQ(ui.bars[Bar::kVgaGainBar]->value(), 0); // not a number
    EXPECT_EQ(ui.bar_texts[Bar::kVgaGainBar]->text(), QStringLiteral("0%"));
    EXPECT_EQ(ui.bar_texts[Bar::kVolumeBar]->text(), QStringLiteral("65%"));
    ui.bars[Bar::kSharpnessBar]->setValue(37);
    EXPECT_EQ(ui.bar_texts[Bar::kSharpnessBar]->text(), QStringLiteral("37%"));
    ClearRequests();
    ui.save->click();
    EXPECT_EQ(OnlySave(kVideoOut).at("input_vga_sharp"), "37");
}

TEST_F(VideoPageTest, ADeviceTheLibraryCannotDescribeIsLaidOutAsTalvoHx) {
    Start(Receiver("TALVO_TX"));
    ASSERT_EQ(ZR_QM_DelDevice(mac_.c_str()), 0);
    auto page = OpenPage<CDevVidOutCfgDlg>();
    EXPECT_EQ(VisibleLabels(*page),
              (QStringList{"HDMI 分辨率", "VGA 分辨率", "OSD透明度", "VGA Gain", "锐  度", "音  量"}));
    EXPECT_EQ(page->Ui().vga->count(), 12);
}

TEST_F(VideoPageTest, SaveReportsTheDevicesRefusals) {
    Start(Receiver("TALVO_JX", {{talvo_sim::kMultiMode, {{"multi_display_enable", "true"},
                                                          {"multi_display_type", "multicast"}}}}));
    auto page = OpenPage<CDevVidOutCfgDlg>();
    page->Load();
    page->Ui().display_mode->setCurrentIndex(1); // 正常九画面模式
    page->Ui().save->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("组播模式下，不支持九画面！")});
    EXPECT_EQ(Fleet().GetSettings(mac_, kVideoOut).at("display_mode"), "0");

    ClearRequests();
    page->Ui().display_mode->setCurrentIndex(0);
    Fleet().InjectFault(mac_, "save", talvo_sim::Fault(talvo_sim::FaultType::ErrCode, 3));
    page->Ui().save->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("保存失败！")});
}

TEST_F(VideoPageTest, SaveLogsInAgainWhenTheSessionHasExpired) {
    Start(Receiver("TALVO_MX"));
    auto page = OpenPage<CDevVidOutCfgDlg>();
    page->Load();
    Fleet().ExpireSessions(mac_);
    ClearRequests();
    page->Ui().save->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("保存成功！")});
    EXPECT_EQ(OnlySave(kVideoOut).at("video_hdmi_resu"), "auto");
}

} // namespace
} // namespace talvo::testing
