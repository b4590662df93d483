#include "config/dev_net_cfg_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/cp936.h"
#include "common/cp936_validator.h"
#include "common/ip_address_edit.h"
#include "common/log.h"
#include "common/prompt.h"
#include "res/connection_icons.h"

namespace talvo {
namespace {

constexpr char kLogUnit[] = "DevNetCfgDlg";
constexpr char kModelWithoutSignalLevel[] = "TALVO_MX";
const QString kConnecting = QStringLiteral("正在连接中（大概需要10秒钟）……");

QLabel *Label(const char *text, QWidget *parent) { return new QLabel(QString::fromUtf8(text), parent); }

QLabel *Title(const char *text, QWidget *parent) {
    QLabel *title = Label(text, parent);
    QFont font = title->font();
    font.setBold(true);
    title->setFont(font);
    return title;
}

QLineEdit *PasswordBox(int limit, QWidget *parent) {
    auto *box = new QLineEdit(parent);
    box->setEchoMode(QLineEdit::Password);
    box->setMaxLength(limit);
    return box;
}

template <std::size_t N> void FillChoices(QComboBox *list, const std::array<NetChoice, N> &choices) {
    for (const NetChoice &choice : choices) list->addItem(QString::fromUtf8(choice.shown));
}

template <std::size_t N> int FindChoice(const std::array<NetChoice, N> &choices, const QByteArray &value) {
    for (std::size_t i = 0; i < N; ++i)
        if (value == choices[i].value) return static_cast<int>(i);
    return -1;
}

template <std::size_t N> const char *ChoiceValue(const std::array<NetChoice, N> &choices, int index) {
    return index >= 0 && index < static_cast<int>(N) ? choices[static_cast<std::size_t>(index)].value : "";
}

// The record fields of the five wired addresses, in the order of the page's
// address controls.
using AddressField = char (NetConfig::*)[16];
constexpr std::array<AddressField, 5> kAddressFields = {&NetConfig::wired_ipaddr, &NetConfig::wired_ipmask,
                                                        &NetConfig::wired_ipgateway, &NetConfig::wired_pridns,
                                                        &NetConfig::wired_secdns};

} // namespace

CDevNetCfgDlg::CDevNetCfgDlg(QWidget *parent) : ReloadingPage(parent) {
    BuildControls();
    BuildLayout();
    FillChoices(ui_.band, kBands);
    ui_.channel->addItems(BandChannels(0));
    FillChoices(ui_.signal, kSignalLevels);
    ShowSections(sections_);
    SetConnectionIcon(false);
    connect(ui_.save, &QPushButton::clicked, this, &CDevNetCfgDlg::OnSave);
    connect(ui_.cancel, &QPushButton::clicked, this, &CDevNetCfgDlg::OnCancel);
    connect(ui_.connect, &QPushButton::clicked, this, &CDevNetCfgDlg::OnConnect);
    connect(ui_.dhcp, &QCheckBox::clicked, this, &CDevNetCfgDlg::OnDhcpClicked);
    connect(ui_.hotspot_on, &QCheckBox::clicked, this, &CDevNetCfgDlg::OnHotspotClicked);
    connect(ui_.band, &QComboBox::currentIndexChanged, this, &CDevNetCfgDlg::OnBandChanged);
    Load();
    ui_.password->setFocus();
    ui_.ssid->setFocus();
}

void CDevNetCfgDlg::BuildControls() {
    ui_.hotspot_on = new QCheckBox(QStringLiteral("启用热点"), this);
    ui_.ssid = new QLineEdit(this);
    ui_.ssid->setMaxLength(kSsidLimit);
    LimitToCp936Bytes(ui_.ssid, kSsidLimit); // a character code page 936 lacks would be sent as '?'
    ui_.password = PasswordBox(kPasswordLimit, this);
    ui_.confirmation = PasswordBox(kPasswordLimit, this);
    ui_.band = new QComboBox(this);
    ui_.channel = new QComboBox(this);
    ui_.signal_label = Label("信号强度等级", this);
    ui_.signal = new QComboBox(this);
    ui_.dhcp = new QCheckBox(this);
    for (IpAddressEdit *&address : ui_.addresses) address = new IpAddressEdit(this);
    ui_.router_ssid = new QLineEdit(this);
    LimitToCp936Bytes(ui_.router_ssid, kRouterSsidBytes);
    ui_.router_password = PasswordBox(kRouterPasswordBytes, this);
    LimitToCp936Bytes(ui_.router_password, kRouterPasswordBytes);
    ui_.state_icon = new QLabel(this);
    ui_.state_text = new QLineEdit(this);
    ui_.state_text->setReadOnly(true);
    ui_.state_text->setMaxLength(kStateTextLimit);
    ui_.connect = PageButton(QStringLiteral("连接"), this);
    ui_.save = PageButton(QStringLiteral("保存"), this);
    ui_.cancel = PageButton(QStringLiteral("取消"), this);
    hotspot_settings_ = {ui_.ssid, ui_.password, ui_.confirmation, ui_.band, ui_.channel, ui_.signal};
}

// One grid: labels in even columns, right-aligned, their controls in the odd
// column beside them. The hotspot takes columns 0 and 1; the station or the
// wired section, whichever shows, columns 2 and 3.
void CDevNetCfgDlg::BuildLayout() {
    grid_ = new QGridLayout;
    grid_->setHorizontalSpacing(12);
    QList<QWidget *> hotspot; // always shown
    grid_->addWidget(Title("WiFi热点设置", this), 0, 0, Qt::AlignRight);
    grid_->addWidget(ui_.hotspot_on, 1, 0, Qt::AlignRight);
    AddRow(grid_, 2, 0, Label("WiFi SSID", this), ui_.ssid, hotspot);
    AddRow(grid_, 3, 0, Label("输入WiFi密码", this), ui_.password, hotspot);
    AddRow(grid_, 4, 0, Label("确认WiFi密码", this), ui_.confirmation, hotspot);
    AddRow(grid_, 5, 0, Label("频　段", this), ui_.band, hotspot);
    AddRow(grid_, 6, 0, Label("信　道", this), ui_.channel, hotspot);
    AddRow(grid_, 7, 0, ui_.signal_label, ui_.signal, hotspot);

    AddRow(grid_, 0, 2, Title("WiFi 网卡设置", this), nullptr, station_section_);
    AddRow(grid_, 1, 2, Label("路由器 SSID", this), ui_.router_ssid, station_section_);
    AddRow(grid_, 2, 2, Label("密   码", this), ui_.router_password, station_section_);
    AddRow(grid_, 3, 2, Label("连 接 状 态", this), ui_.state_icon, station_section_);
    AddRow(grid_, 4, 2, ui_.connect, ui_.state_text, station_section_);

    static const char *const address_labels[] = {"IP地址", "子网掩码", "网　关", "首选DNS", "备用DNS"};
    AddRow(grid_, 0, 2, Title("有线设置", this), nullptr, wired_section_);
    AddRow(grid_, 1, 2, Label("DHCP", this), ui_.dhcp, wired_section_);
    for (std::size_t i = 0; i < ui_.addresses.size(); ++i)
        AddRow(grid_, static_cast<int>(i) + 2, 2, Label(address_labels[i], this), ui_.addresses[i], wired_section_);
    grid_->setRowStretch(8, 1);

    auto *page = new QVBoxLayout(this);
    page->addLayout(grid_, 1);
    AddButtonRow(page, {ui_.save, ui_.cancel});
}

void CDevNetCfgDlg::AddRow(QGridLayout *grid, int row, int column, QWidget *label, QWidget *control,
                           QList<QWidget *> &section) {
    grid->addWidget(label, row, column, Qt::AlignRight | Qt::AlignVCenter);
    section << label;
    if (!control) return;
    grid->addWidget(control, row, column + 1, Qt::AlignLeft | Qt::AlignVCenter);
    section << control;
}

void CDevNetCfgDlg::Load() {
    const QByteArray mac = DeviceMac();
    if (IsDeviceOffline(mac)) return;
    NetConfig config{};
    const int result = Blocking([&] { return ZR_QM_GetDeviceNetConf(mac.constData(), &config); });
    if (result != 0) return;
    ShowValues(config);
    ShowSections(DecideSections(FieldBytes(config.wired_use_dhcp), FieldBytes(config.connect_status)));
    ShowSignalRow();
    if (sections_.wired) ui_.dhcp->setFocus();
}

void CDevNetCfgDlg::ShowValues(const NetConfig &config) {
    ui_.dhcp->setChecked(IsTrueText(config.wired_use_dhcp));
    for (std::size_t i = 0; i < ui_.addresses.size(); ++i)
        ui_.addresses[i]->SetText(FieldText(config.*kAddressFields[i]));
    OnDhcpClicked();

    ui_.hotspot_on->setChecked(IsTrueText(config.wifi_on));
    ui_.ssid->setText(FieldText(config.wifi_ssid));
    SelectBandAndChannel(FieldBytes(config.wifi_fre), FieldBytes(config.wifi_channel));
    const int signal = FindChoice(kSignalLevels, FieldBytes(config.wifi_signal_strength));
    if (signal >= 0) ui_.signal->setCurrentIndex(signal);
    OnHotspotClicked();

    ui_.router_ssid->setText(FieldText(config.router_wifi_ssid));
    ui_.router_password->setText(FieldText(config.router_passwd));
    const QByteArray status = FieldBytes(config.connect_status);
    SetConnectionIcon(status.compare("Connected", Qt::CaseInsensitive) == 0);
    ui_.state_text->setText(StationStateText(status));
}

// A band the page does not know leaves band and channels as they were. The
// channel is looked up among the 2.4 GHz channels first, then the 5 GHz ones,
// and chosen by its place in the list.
void CDevNetCfgDlg::SelectBandAndChannel(const QByteArray &band, const QByteArray &channel) {
    const int band_index = FindChoice(kBands, band);
    if (band_index >= 0) {
        ui_.band->setCurrentIndex(band_index);
        OnBandChanged(band_index);
    }
    const QString text = QString::fromLatin1(channel);
    int index = BandChannels(0).indexOf(text);
    if (index < 0) index = BandChannels(1).indexOf(text);
    if (index >= 0 && index < ui_.channel->count()) ui_.channel->setCurrentIndex(index);
}

void CDevNetCfgDlg::ShowSections(const NetSections &sections) {
    sections_ = sections;
    for (QWidget *widget : station_section_) widget->setVisible(sections.station);
    for (QWidget *widget : wired_section_) widget->setVisible(sections.wired);
    const int side_stretch = sections.columns == 4 ? 1 : 0;
    grid_->setColumnStretch(0, 1);
    grid_->setColumnStretch(1, 1);
    grid_->setColumnStretch(2, side_stretch);
    grid_->setColumnStretch(3, side_stretch);
}

// The signal level row shows unless the model has no signal level setting;
// when the model cannot be read, the row stays.
void CDevNetCfgDlg::ShowSignalRow() {
    QByteArray model;
    const bool shown = !ReadDeviceModel(DeviceMac(), model) || model != kModelWithoutSignalLevel;
    ui_.signal_label->setVisible(shown);
    ui_.signal->setVisible(shown);
}

void CDevNetCfgDlg::SetConnectionIcon(bool connected) {
    connected_icon_ = connected;
    ui_.state_icon->setPixmap(ConnectionIcon(connected));
}

void CDevNetCfgDlg::OnDhcpClicked() {
    const bool manual = !ui_.dhcp->isChecked();
    for (IpAddressEdit *address : ui_.addresses) address->setEnabled(manual);
    if (sections_.wired) ui_.dhcp->setFocus();
}

void CDevNetCfgDlg::OnHotspotClicked() {
    const bool on = ui_.hotspot_on->isChecked();
    for (QWidget *control : hotspot_settings_) control->setEnabled(on);
}

void CDevNetCfgDlg::OnBandChanged(int band) {
    if (band < 0) return;
    ui_.channel->clear();
    ui_.channel->addItems(BandChannels(band));
    ui_.channel->setCurrentIndex(0);
}

void CDevNetCfgDlg::OnSave() {
    const QByteArray mac = DeviceMac();
    if (RefuseWhenOffline(this, mac)) return;
    NetConfig old{};
    const int result = Blocking([&] { return ZR_QM_GetDeviceNetConf(mac.constData(), &old); });
    if (result != 0) {
        TALVO_LOG("[%s]:[%d]get device net configure failed, iRet:%d.\n", result);
        return;
    }
    // Fields left empty are not sent: the device keeps those values.
    NetConfig next{};
    if (sections_.wired) FillWired(next, old);
    if (!FillHotspot(next, mac)) return;
    if (sections_.station) FillRouter(next, old);
    ReportSave(this, Send(mac, next));
}

// DHCP on sends no addresses; with DHCP off only the addresses that differ
// from the device's are sent.
void CDevNetCfgDlg::FillWired(NetConfig &next, const NetConfig &old) const {
    if (ui_.dhcp->isChecked()) {
        WriteField(next.wired_use_dhcp, QByteArray("true"));
        return;
    }
    WriteField(next.wired_use_dhcp, QByteArray("false"));
    for (std::size_t i = 0; i < ui_.addresses.size(); ++i) {
        if (ui_.addresses[i]->IsBlank()) continue;
        const QByteArray address = ui_.addresses[i]->Text().toLatin1();
        if (address != FieldBytes(old.*kAddressFields[i])) WriteField(next.*kAddressFields[i], address);
    }
}

// False, after its message, when the hotspot's name or password is refused.
bool CDevNetCfgDlg::FillHotspot(NetConfig &next, const QByteArray &mac) {
    if (!ui_.hotspot_on->isChecked()) {
        WriteField(next.wifi_on, QByteArray("false"));
        return true;
    }
    WriteField(next.wifi_on, QByteArray("true"));
    const int band = ui_.band->currentIndex();
    WriteField(next.wifi_fre, QByteArray(ChoiceValue(kBands, band)));
    const QStringList &channels = BandChannels(band);
    const int channel = ui_.channel->currentIndex();
    if (channel >= 0 && channel < channels.size()) WriteField(next.wifi_channel, channels[channel]);
    QByteArray model;
    if (ReadDeviceModel(mac, model) && model != kModelWithoutSignalLevel)
        WriteField(next.wifi_signal_strength, QByteArray(ChoiceValue(kSignalLevels, ui_.signal->currentIndex())));

    const QByteArray ssid = ToCp936(ui_.ssid->text());
    if (!IsValidSsid(ssid)) {
        Notice(this, QStringLiteral("SSID不合法！"));
        return false;
    }
    WriteField(next.wifi_ssid, ssid);
    const QByteArray password = ToCp936(ui_.password->text());
    const QString problem = HotspotPasswordProblem(password, ToCp936(ui_.confirmation->text()));
    if (!problem.isEmpty()) {
        Notice(this, problem);
        return false;
    }
    WriteField(next.wifi_pwd, password);
    return true;
}

void CDevNetCfgDlg::FillRouter(NetConfig &next, const NetConfig &old) const {
    const QByteArray ssid = ToCp936(ui_.router_ssid->text());
    if (!ssid.isEmpty() && ssid != FieldBytes(old.router_wifi_ssid)) WriteField(next.router_wifi_ssid, ssid);
    const QByteArray password = ToCp936(ui_.router_password->text());
    if (!password.isEmpty() && password != FieldBytes(old.router_passwd)) WriteField(next.router_passwd, password);
}

bool CDevNetCfgDlg::Send(const QByteArray &mac, const NetConfig &config) {
    const int result = Blocking([&] { return ZR_QM_SetDeviceNetConf(mac.constData(), &config); });
    if (result != 0) TALVO_LOG("[%s]:[%d]set device net configure failed, iRet:%d.\n", result);
    return result == 0;
}

void CDevNetCfgDlg::OnConnect() {
    const QByteArray mac = DeviceMac();
    if (RefuseWhenOffline(this, mac)) return;
    const QByteArray ssid = ToCp936(ui_.router_ssid->text());
    const QByteArray password = ToCp936(ui_.router_password->text());
    if (ssid.isEmpty()) {
        Notice(this, QStringLiteral("SSID不能为空！"));
        return;
    }
    if (password.isEmpty()) {
        Notice(this, QStringLiteral("密码不能为空！"));
        return;
    }
    NetConfig config{};
    WriteField(config.router_wifi_ssid, ssid);
    WriteField(config.router_passwd, password);
    ui_.state_text->setText(kConnecting);
    ui_.state_text->repaint(); // shown while the device joins its router
    if (!Send(mac, config)) {
        ui_.state_text->setText(QStringLiteral("连接失败"));
        SetConnectionIcon(false);
        ReportSave(this, false);
        return;
    }
    ui_.state_text->setText(QStringLiteral("已连接"));
    Load();
    ReportSave(this, true);
}

} // namespace talvo
