#include "app/dev_status_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <cstddef>
#include <vector>

#include "app/qm_dlg.h"
#include "common/busy_cursor.h"
#include "common/cp936.h"
#include "common/ip_address_edit.h"

namespace talvo {
namespace {

constexpr int kTextLimit = 32; // characters of each text box

enum class Kind { Check, Text, Address };

// One control of the window and the status field it shows. The control's
// object name is the field's name.
struct StatusRow {
    CDevStatusDlg::Section section;
    const char *label;
    Kind kind;
    const char *check_text;
    const char *field;
    std::size_t offset;
    std::size_t width;
};

#define STATUS_FIELD(name) #name, offsetof(DeviceNetStatus, name), sizeof(DeviceNetStatus::name)

const StatusRow kRows[] = {
    {CDevStatusDlg::kHotspot, "WiFi开关", Kind::Check, "WiFi Enable", STATUS_FIELD(wifi_on_status)},
    {CDevStatusDlg::kHotspot, "SSID", Kind::Text, nullptr, STATUS_FIELD(wifi_ssid_status)},
    {CDevStatusDlg::kHotspot, "频段", Kind::Text, nullptr, STATUS_FIELD(wifi_fre_stauts)},
    {CDevStatusDlg::kHotspot, "信道", Kind::Text, nullptr, STATUS_FIELD(wifi_channel_status)},
    {CDevStatusDlg::kHotspot, "信号强度", Kind::Text, nullptr, STATUS_FIELD(wifi_signal_strength_status)},
    {CDevStatusDlg::kHotspot, "IP地址", Kind::Address, nullptr, STATUS_FIELD(wifi_ipaddr_status)},
    {CDevStatusDlg::kHotspot, "子网掩码", Kind::Address, nullptr, STATUS_FIELD(wifi_ipmask_status)},
    {CDevStatusDlg::kHotspot, "MAC地址", Kind::Text, nullptr, STATUS_FIELD(wifi_mac_addr_status)},
    {CDevStatusDlg::kWired, "DHCP", Kind::Check, "Use DHCP", STATUS_FIELD(wired_use_dhcp_status)},
    {CDevStatusDlg::kWired, "IP地址", Kind::Address, nullptr, STATUS_FIELD(wired_ipaddr_status)},
    {CDevStatusDlg::kWired, "子网掩码", Kind::Address, nullptr, STATUS_FIELD(wired_ipmask_status)},
    {CDevStatusDlg::kWired, "网关", Kind::Address, nullptr, STATUS_FIELD(wired_gateway_status)},
    {CDevStatusDlg::kWired, "MAC地址", Kind::Text, nullptr, STATUS_FIELD(wired_mac_addr_status)},
    {CDevStatusDlg::kWired, "首选DNS", Kind::Address, nullptr, STATUS_FIELD(wired_pridns_status)},
    {CDevStatusDlg::kWired, "备用DNS", Kind::Address, nullptr, STATUS_FIELD(wired_secdns_status)},
    {CDevStatusDlg::kStation, "DHCP", Kind::Check, "Use DHCP", STATUS_FIELD(wlan1_use_dhcp_status)},
    {CDevStatusDlg::kStation, "IP地址", Kind::Address, nullptr, STATUS_FIELD(wlan1_ipaddr_status)},
    {CDevStatusDlg::kStation, "子网掩码", Kind::Address, nullptr, STATUS_FIELD(wlan1_ipmask_status)},
    {CDevStatusDlg::kStation, "网关", Kind::Address, nullptr, STATUS_FIELD(wlan1_gateway_status)},
    {CDevStatusDlg::kStation, "MAC地址", Kind::Text, nullptr, STATUS_FIELD(wlan1_mac_addr_status)},
    {CDevStatusDlg::kStation, "首选DNS", Kind::Address, nullptr, STATUS_FIELD(wlan1_pridns_status)},
    {CDevStatusDlg::kStation, "备用DNS", Kind::Address, nullptr, STATUS_FIELD(wlan1_secdns_status)},
};

#undef STATUS_FIELD

constexpr const char *kSectionTitles[CDevStatusDlg::kSectionCount] = {"WiFi热点状态", "有线状态", "WiFi网卡状态",
                                                                       "版本信息"};
constexpr char kVersionBox[] = "version";
constexpr char kSignalField[] = "wifi_signal_strength_status";

QByteArray FieldOf(const DeviceNetStatus &status, const StatusRow &row) {
    return FieldBytes(reinterpret_cast<const char *>(&status) + row.offset, row.width);
}

QByteArray FieldOf(const DeviceNetStatus &status, const char *name) {
    for (const StatusRow &row : kRows)
        if (qstrcmp(row.field, name) == 0) return FieldOf(status, row);
    return {};
}

bool IsTrue(const QByteArray &value) { return value.compare("true", Qt::CaseInsensitive) == 0; }

QLineEdit *ReadOnlyBox(QWidget *parent) {
    auto *box = new QLineEdit(parent);
    box->setReadOnly(true);
    box->setMaxLength(kTextLimit);
    return box;
}

QWidget *Control(const StatusRow &row, QWidget *parent) {
    QWidget *control = nullptr;
    switch (row.kind) {
    case Kind::Check:
        control = new QCheckBox(QString::fromUtf8(row.check_text), parent);
        control->setEnabled(false);
        break;
    case Kind::Text:
        control = ReadOnlyBox(parent);
        break;
    case Kind::Address:
        control = new IpAddressEdit(parent);
        control->setEnabled(false);
        break;
    }
    control->setObjectName(QString::fromLatin1(row.field));
    return control;
}

} // namespace

CDevStatusDlg::CDevStatusDlg(CQMDlg *owner) : QDialog(owner) {
    setWindowTitle(QStringLiteral("设备状态"));
    BuildSections();
    const QByteArray mac = owner->CurrentDeviceMac();
    DeviceNetStatus status{};
    {
        BusyCursor busy; // the receiver answers meanwhile
        if (ZR_QM_GetDevicStatus(mac.constData(), &status) != 0) return; // empty, every section shown
        ShowSignalStrength(mac, status);
        Fill(status);
        ShowVersion(mac);
    }
    ApplySectionRule(status);
}

void CDevStatusDlg::BuildSections() {
    auto *column = new QVBoxLayout(this);
    column->setSizeConstraint(QLayout::SetFixedSize); // hidden sections give their room back
    QGridLayout *grids[kSectionCount] = {};
    for (int section = 0; section < kSectionCount; ++section) {
        sections_[section] = new QGroupBox(QString::fromUtf8(kSectionTitles[section]), this);
        grids[section] = new QGridLayout(sections_[section]);
        grids[section]->setColumnMinimumWidth(1, 240);
        column->addWidget(sections_[section]);
    }
    for (const StatusRow &row : kRows) {
        QGroupBox *box = sections_[row.section];
        QGridLayout *grid = grids[row.section];
        auto *label = new QLabel(QString::fromUtf8(row.label), box);
        QWidget *control = Control(row, box);
        const int line = grid->rowCount();
        grid->addWidget(label, line, 0);
        grid->addWidget(control, line, 1);
        if (qstrcmp(row.field, kSignalField) == 0) {
            signal_label_ = label;
            signal_box_ = static_cast<QLineEdit *>(control);
        }
    }
    QLineEdit *version = ReadOnlyBox(sections_[kVersion]);
    version->setObjectName(QString::fromLatin1(kVersionBox));
    grids[kVersion]->addWidget(new QLabel(QStringLiteral("版本号"), sections_[kVersion]), 0, 0);
    grids[kVersion]->addWidget(version, 0, 1);
}

// TALVO_MX receivers report no signal strength: its label and box stay
// hidden for them, whatever else shows.
void CDevStatusDlg::ShowSignalStrength(const QByteArray &mac, const DeviceNetStatus &status) {
    DeviceInfo info{};
    const bool mx = ZR_QM_GetDeviceInfo(mac.constData(), &info) == 0 &&
                    FieldBytes(info.Device_Type).compare("TALVO_MX", Qt::CaseInsensitive) == 0;
    signal_label_->setVisible(!mx);
    signal_box_->setVisible(!mx);
    if (!mx) signal_box_->setText(FromCp936(FieldOf(status, kSignalField)));
}

void CDevStatusDlg::Fill(const DeviceNetStatus &status) {
    for (const StatusRow &row : kRows) {
        if (qstrcmp(row.field, kSignalField) == 0) continue; // the model rule's
        QWidget *control = findChild<QWidget *>(QString::fromLatin1(row.field));
        const QByteArray value = FieldOf(status, row);
        switch (row.kind) {
        case Kind::Check:
            static_cast<QCheckBox *>(control)->setChecked(IsTrue(value));
            break;
        case Kind::Text:
            static_cast<QLineEdit *>(control)->setText(FromCp936(value));
            break;
        case Kind::Address:
            static_cast<IpAddressEdit *>(control)->SetText(QString::fromLatin1(value));
            break;
        }
    }
}

void CDevStatusDlg::ShowVersion(const QByteArray &mac) {
    char version[32] = {};
    if (ZR_QM_GetDeviceVersion(mac.constData(), version) != 0) return;
    findChild<QLineEdit *>(QString::fromLatin1(kVersionBox))->setText(FromCp936(FieldBytes(version)));
}

// A receiver without a wired or without a station address shows neither
// section of the missing interface, and the hotspot section only while its
// hotspot is on. With both addresses every section shows.
void CDevStatusDlg::ApplySectionRule(const DeviceNetStatus &status) {
    const bool wired = !FieldOf(status, "wired_ipaddr_status").isEmpty();
    const bool station = !FieldOf(status, "wlan1_ipaddr_status").isEmpty();
    if (wired && station) return;
    sections_[kWired]->setVisible(wired);
    sections_[kStation]->setVisible(station);
    sections_[kHotspot]->setVisible(IsTrue(FieldOf(status, "wifi_on_status")));
}

} // namespace talvo
