// The network settings page (tab "网络配置"): the receiver's own Wi-Fi
// hotspot, its Wi-Fi card that joins a router ("WiFi 网卡") and its wired
// port. The hotspot section always shows; of the other two at most one shows,
// beside it, as the device's settings call for. Save sends only what the page
// means to change: the hotspot, the wired settings when they show, and the
// router's name and password when they show and were changed.
#pragma once

#include <QByteArray>
#include <QList>

#include <array>

#include "config/config_page.h"
#include "config/net_settings_rules.h"
#include "korvel.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace talvo {

class IpAddressEdit;

class CDevNetCfgDlg : public ReloadingPage {
    Q_OBJECT

  public:
    // Field limits of the boxes. The router boxes take no more bytes than
    // the record's fields hold.
    static constexpr int kSsidLimit = 32;
    static constexpr int kPasswordLimit = 20;
    static constexpr int kRouterSsidBytes = sizeof(NetConfig::router_wifi_ssid) - 1;
    static constexpr int kRouterPasswordBytes = sizeof(NetConfig::router_passwd) - 1;
    static constexpr int kStateTextLimit = 128;

    struct Controls {
        QCheckBox *hotspot_on;
        QLineEdit *ssid;
        QLineEdit *password;
        QLineEdit *confirmation;
        QComboBox *band;
        QComboBox *channel;
        QLabel *signal_label;
        QComboBox *signal;
        QCheckBox *dhcp;
        std::array<IpAddressEdit *, 5> addresses; // IP, mask, gateway, preferred DNS, alternate DNS
        QLineEdit *router_ssid;
        QLineEdit *router_password;
        QLabel *state_icon;
        QLineEdit *state_text;
        QPushButton *connect;
        QPushButton *save;
        QPushButton *cancel;
    };

    explicit CDevNetCfgDlg(QWidget *parent);

    const Controls &Ui() const { return ui_; }
    QLineEdit *HotspotSsidBox() const { return ui_.ssid; }
    const NetSections &Sections() const { return sections_; }
    // True while the connected icon shows.
    bool ShowsConnected() const { return connected_icon_; }

  public slots:
    void Load() override;
    void OnSave();
    void OnConnect();
    void OnCancel() { CloseWindow(); }
    void OnDhcpClicked();
    void OnHotspotClicked();
    void OnBandChanged(int band);

  private:
    void BuildControls();
    void BuildLayout();
    void AddRow(QGridLayout *grid, int row, int column, QWidget *label, QWidget *control, QList<QWidget *> &section);
    void ShowValues(const NetConfig &config);
    void SelectBandAndChannel(const QByteArray &band, const QByteArray &channel);
    void ShowSections(const NetSections &sections);
    void ShowSignalRow();
    void SetConnectionIcon(bool connected);
    bool FillHotspot(NetConfig &next, const QByteArray &mac);
    void FillWired(NetConfig &next, const NetConfig &old) const;
    void FillRouter(NetConfig &next, const NetConfig &old) const;
    bool Send(const QByteArray &mac, const NetConfig &config);

    Controls ui_{};
    QGridLayout *grid_ = nullptr;
    QList<QWidget *> hotspot_settings_; // enabled only while the hotspot is on
    QList<QWidget *> station_section_;
    QList<QWidget *> wired_section_;
    // Until a load decides otherwise, neither section shows, so that a
    // failed first read never lets Save send settings the page did not read.
    NetSections sections_;
    bool connected_icon_ = false;
};

} // namespace talvo
