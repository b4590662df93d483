#include "config/dev_cfg_dlg.h"

#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "config/dev_compere_cfg_dlg.h"
#include "config/dev_net_cfg_dlg.h"
#include "config/dev_pin_code_dlg.h"
#include "config/dev_vid_out_cfg_dlg.h"
#include "config/maintenance_pages.h"
#include "config/multi_display_mode_dlg.h"
#include "res/state_icons.h"

namespace talvo {
namespace {

// Tab captions, in tab order.
constexpr std::array<const char *, CDevCfgDlg::kTabCount> kTabCaptions = {
    "网络配置",     "视频输出配置",    "投屏码设置",       "组播设置", "主持人模式",
    "恢复出厂设置", "修改设备WEB密码", "开、待机画面更新", "重启设备", "升级",
};

} // namespace

CDevCfgDlg::CDevCfgDlg(QWidget *parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("配置"));
    setWindowIcon(ProgramIcon());
    tabs_ = new QTabWidget(this);
    tabs_->setUsesScrollButtons(false);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);

    CreatePages();
    AddTabs();
    tabs_->setCurrentIndex(kNetworkTab);
    network_->HotspotSsidBox()->setFocus();
    // Connected only now: filling the tabs selects tab 0, which must not
    // load the network page a second time.
    connect(tabs_, &QTabWidget::currentChanged, this, &CDevCfgDlg::OnTabChanged);
    setMinimumWidth(tabs_->tabBar()->sizeHint().width() + 2 * layout->contentsMargins().left());
}

// Pages are created in this order because each one may read from the device
// while it is created (the network page loads its settings, the pin code page
// too, the video output and multi-display pages read the model).
void CDevCfgDlg::CreatePages() {
    network_ = new CDevNetCfgDlg(tabs_);
    video_output_ = new CDevVidOutCfgDlg(tabs_);
    pin_code_ = new CDevPinCodeDlg(tabs_);
    host_mode_ = new CDevCompereCfgDlg(tabs_);
    pages_[kFactoryResetTab] = CreateRestoreFactoryPage(tabs_);
    pages_[kWebPasswordTab] = CreateChangePasswordPage(tabs_);
    pages_[kScreenImagesTab] = CreateScreenPage(tabs_);
    pages_[kRebootTab] = CreateRebootPage(tabs_);
    multi_display_ = new CMultiDisplayModeDlg(tabs_);
    pages_[kSystemUpdateTab] = CreateSystemUpdatePage(tabs_);
    reloading_ = {network_, video_output_, pin_code_, multi_display_, host_mode_};
    for (std::size_t tab = 0; tab < reloading_.size(); ++tab) pages_[tab] = reloading_[tab];
}

void CDevCfgDlg::AddTabs() {
    for (int tab = 0; tab < kTabCount; ++tab)
        tabs_->addTab(Page(tab), QString::fromUtf8(kTabCaptions[static_cast<std::size_t>(tab)]));
}

void CDevCfgDlg::OnTabChanged(int index) {
    host_mode_->StopRefreshTimer();
    if (index >= 0 && index < static_cast<int>(reloading_.size())) reloading_[static_cast<std::size_t>(index)]->Load();
}

void CDevCfgDlg::done(int result) {
    host_mode_->StopRefreshTimer();
    QDialog::done(result);
}

} // namespace talvo
