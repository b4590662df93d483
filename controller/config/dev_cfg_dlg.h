// The configuration window (caption "配置"): one receiver's settings and its
// single-device maintenance, on ten tabs that are the same for every model.
// All pages are created with the window and live as long as it. Choosing one
// of tabs 0 to 4 refills its page from the device, so edits that were not
// saved are dropped when the operator leaves the tab; tabs 5 to 9 keep what
// was typed. Every tab change stops the host-mode page's refresh timer.
//
// The window is opened by the main window, for its current device, once the
// device is online and the library has logged in to it.
#pragma once

#include <QDialog>

#include <array>

class QTabWidget;

namespace talvo {

class CDevCompereCfgDlg;
class CDevNetCfgDlg;
class CDevPinCodeDlg;
class CDevVidOutCfgDlg;
class CMultiDisplayModeDlg;
class ReloadingPage;

class CDevCfgDlg : public QDialog {
    Q_OBJECT

  public:
    enum Tab {
        kNetworkTab,
        kVideoOutputTab,
        kPinCodeTab,
        kMultiDisplayTab,
        kHostModeTab,
        kFactoryResetTab,
        kWebPasswordTab,
        kScreenImagesTab,
        kRebootTab,
        kSystemUpdateTab,
        kTabCount
    };

    // `parent` is the main window, whose current device the pages work on.
    explicit CDevCfgDlg(QWidget *parent);

    QTabWidget *Tabs() const { return tabs_; }
    QWidget *Page(int tab) const { return pages_[static_cast<std::size_t>(tab)]; }
    CDevNetCfgDlg &NetworkPage() const { return *network_; }
    CDevVidOutCfgDlg &VideoOutputPage() const { return *video_output_; }
    CDevPinCodeDlg &PinCodePage() const { return *pin_code_; }
    CMultiDisplayModeDlg &MultiDisplayPage() const { return *multi_display_; }
    CDevCompereCfgDlg &HostModePage() const { return *host_mode_; }

  public slots:
    void OnTabChanged(int index);

  protected:
    void done(int result) override;

  private:
    void CreatePages();
    void AddTabs();

    QTabWidget *tabs_ = nullptr;
    CDevNetCfgDlg *network_ = nullptr;
    CDevVidOutCfgDlg *video_output_ = nullptr;
    CDevPinCodeDlg *pin_code_ = nullptr;
    CMultiDisplayModeDlg *multi_display_ = nullptr;
    CDevCompereCfgDlg *host_mode_ = nullptr;
    std::array<QWidget *, kTabCount> pages_{};
    std::array<ReloadingPage *, kHostModeTab + 1> reloading_{}; // tabs 0 to 4
};

} // namespace talvo
