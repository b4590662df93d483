#include "config/multi_display_mode_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/cp936.h"
#include "common/cp936_validator.h"
#include "common/ip_address_edit.h"
#include "common/log.h"
#include "common/prompt.h"

namespace talvo {
namespace {

constexpr char kLogUnit[] = "MultiDisplayModeDlg";
constexpr char kFallbackModel[] = "TALVO_HX";

bool StartsWithT(const char *field) { return field[0] == 't'; }

// Index of the first of `count` choices whose value is `value`; 0 when none is.
template <std::size_t N> int FindChoice(const std::array<ModeChoice, N> &choices, int count, const QByteArray &value) {
    for (int i = 0; i < count && i < static_cast<int>(N); ++i)
        if (value == choices[static_cast<std::size_t>(i)].value) return i;
    return 0;
}

QByteArray Dotted(const IpAddressEdit *address) {
    const std::array<int, 4> f = address->Fields();
    return QStringLiteral("%1.%2.%3.%4").arg(f[0]).arg(f[1]).arg(f[2]).arg(f[3]).toLatin1();
}

// An address entry as wide as its four fields need, not as the row.
IpAddressEdit *AddressBox(QWidget *parent) {
    auto *box = new IpAddressEdit(parent);
    box->setMaximumWidth(box->minimumSizeHint().width());
    return box;
}

QLineEdit *RtspBox(QWidget *parent) {
    auto *box = new QLineEdit(parent);
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 36);
    return box;
}

} // namespace

CMultiDisplayModeDlg::CMultiDisplayModeDlg(QWidget *parent) : ReloadingPage(parent), rows_(this) {
    BuildControls();
    BuildRows();
    for (const ModeChoice &direction : kMultiDisplayDirections)
        ui_.direction->addItem(QString::fromUtf8(direction.shown));
    FillModes(DeviceModelOr(DeviceMac(), kFallbackModel));
    connect(ui_.enabled, &QCheckBox::clicked, this, &CMultiDisplayModeDlg::LayOutRows);
    connect(ui_.unicast_output, &QCheckBox::clicked, this, &CMultiDisplayModeDlg::LayOutRows);
    connect(ui_.mode, &QComboBox::currentIndexChanged, this, &CMultiDisplayModeDlg::LayOutRows);
    connect(ui_.direction, &QComboBox::currentIndexChanged, this, &CMultiDisplayModeDlg::LayOutRows);
    connect(ui_.save, &QPushButton::clicked, this, &CMultiDisplayModeDlg::OnSave);
    connect(ui_.cancel, &QPushButton::clicked, this, &CMultiDisplayModeDlg::OnCancel);
}

void CMultiDisplayModeDlg::BuildControls() {
    ui_.enabled = new QCheckBox(this);
    ui_.mode = new QComboBox(this);
    ui_.direction = new QComboBox(this);
    ui_.audio = new QCheckBox(this);
    ui_.unicast_output = new QCheckBox(this);
    ui_.unicast_address = AddressBox(this);
    ui_.multicast_address = AddressBox(this);
    ui_.rtsp_address = RtspBox(this);
    LimitToCp936Bytes(ui_.rtsp_address, kRtspLimit);
    ui_.rtsp_server_address = RtspBox(this);
    ui_.rtsp_server_address->setReadOnly(true);
    ui_.save = PageButton(QStringLiteral("保存"), this);
    ui_.cancel = PageButton(QStringLiteral("取消"), this);
}

// Rows in MultiDisplayRow order, so that a row's number is its MultiDisplayRow.
void CMultiDisplayModeDlg::BuildRows() {
    rows_.AddRow(QStringLiteral("启用"), {ui_.enabled});
    rows_.AddRow(QStringLiteral("多屏同显模式"), {ui_.mode});
    rows_.AddRow(QStringLiteral("多屏同显TX/RX"), {ui_.direction});
    rows_.AddRow(QStringLiteral("启用多屏同显声音"), {ui_.audio});
    rows_.AddRow(QStringLiteral("启用媒体流单播输出"), {ui_.unicast_output});
    rows_.AddRow(QStringLiteral("媒体流单播地址"), {ui_.unicast_address});
    rows_.AddRow(QStringLiteral("媒体流组播地址"), {ui_.multicast_address});
    rows_.AddRow(QStringLiteral("rtsp地址"), {ui_.rtsp_address});
    rows_.AddRow(QStringLiteral("rtsp地址"), {ui_.rtsp_server_address});

    auto *page = new QVBoxLayout(this);
    page->addLayout(rows_.Layout());
    page->addStretch(1);
    AddButtonRow(page, {ui_.save, ui_.cancel});
    LayOutRows();
}

void CMultiDisplayModeDlg::FillModes(const QByteArray &model) {
    const int count = OfferedModeCount(model);
    for (int mode = 0; mode < count; ++mode)
        ui_.mode->addItem(QString::fromUtf8(kMultiDisplayModes[static_cast<std::size_t>(mode)].shown));
}

void CMultiDisplayModeDlg::Load() {
    const QByteArray mac = DeviceMac();
    if (IsDeviceOffline(mac)) return;
    const QByteArray model = DeviceModelOr(mac, kFallbackModel);
    MulticastModeConfig config{};
    const int result = Blocking([&] { return ZR_QM_GetMulticastMode(mac.constData(), &config); });
    if (result != 0) return;
    ShowValues(model, config);
    LayOutRows();
}

void CMultiDisplayModeDlg::ShowValues(const QByteArray &model, const MulticastModeConfig &config) {
    const bool enabled = StartsWithT(config.multi_display_enable);
    ui_.enabled->setChecked(enabled);
    ui_.audio->setChecked(enabled && StartsWithT(config.multi_display_audio));
    ui_.unicast_output->setChecked(enabled && StartsWithT(config.multi_display_ip_enable));
    // The list may hold fewer modes than the model offers if the model
    // changed since the page was made; only the listed ones can be chosen.
    const int modes = std::min(OfferedModeCount(model), ui_.mode->count());
    ui_.mode->setCurrentIndex(FindChoice(kMultiDisplayModes, modes, FieldBytes(config.multi_display_type)));
    ui_.direction->setCurrentIndex(
        FindChoice(kMultiDisplayDirections, ui_.direction->count(), FieldBytes(config.multi_display_mode)));
    ui_.multicast_address->SetText(FieldText(config.multi_display_multi_ip));
    ui_.unicast_address->SetText(FieldText(config.multi_display_uni_ip));
    ui_.rtsp_address->setText(FieldText(config.multi_display_rtsp_addr));
    ui_.rtsp_server_address->setText(FieldText(config.multi_display_rtsp_srv_addr));
}

MultiDisplayChoice CMultiDisplayModeDlg::Choice() const {
    MultiDisplayChoice choice;
    choice.enabled = ui_.enabled->isChecked();
    choice.mode = ui_.mode->currentIndex();
    choice.direction = ui_.direction->currentIndex();
    choice.unicast_output = ui_.unicast_output->isChecked();
    return choice;
}

void CMultiDisplayModeDlg::LayOutRows() {
    const auto visible = VisibleRows(Choice());
    for (int row = 0; row < kMultiDisplayRowCount; ++row)
        rows_.SetRowVisible(row, visible[static_cast<std::size_t>(row)]);
}

void CMultiDisplayModeDlg::OnSave() {
    const QByteArray mac = DeviceMac();
    if (RefuseWhenOffline(this, mac)) return;
    const MultiDisplayChoice choice = Choice();
    MulticastModeConfig config{};
    WriteField(config.multi_display_enable, TrueFalse(choice.enabled));
    WriteField(config.multi_display_audio, TrueFalse(ui_.audio->isChecked()));
    WriteField(config.multi_display_ip_enable, TrueFalse(choice.unicast_output));
    if (choice.direction >= 0)
        WriteField(config.multi_display_mode,
                   QByteArray(kMultiDisplayDirections[static_cast<std::size_t>(choice.direction)].value));
    if (choice.mode >= 0)
        WriteField(config.multi_display_type,
                   QByteArray(kMultiDisplayModes[static_cast<std::size_t>(choice.mode)].value));
    if (choice.enabled && !FillAddresses(choice, config)) return;
    const int result = Blocking([&] { return ZR_QM_SetMulticastMode(mac.constData(), &config); });
    if (result != 0) TALVO_LOG("[%s]:[%d]set device multicast mode configure failed, iRet:%d.\n", result);
    if (result == ZR_QM_ERR_MULTICAST_IN_NINE)
        Notice(this, QStringLiteral("九画面模式下，不支持组播模式！"));
    else
        ReportSave(this, result == 0);
}

// Checks and fills the one address the choice needs; false, after its
// message, when that address is refused.
bool CMultiDisplayModeDlg::FillAddresses(const MultiDisplayChoice &choice, MulticastModeConfig &config) {
    if (choice.mode == kWirelessMode && choice.unicast_output && choice.direction == kSend) {
        if (!IsValidUnicastAddress(ui_.unicast_address->Fields())) {
            Notice(this, QStringLiteral("单播IP地址不能是组播地址、广播地址或0.0.0.0或者192.168.118.x"));
            return false;
        }
        WriteField(config.multi_display_uni_ip, Dotted(ui_.unicast_address));
    } else if (choice.mode == kWiredMode) {
        if (!IsValidMulticastAddress(ui_.multicast_address->Fields())) {
            Notice(this, QStringLiteral("组播IP地址应该是224.x.x.x - 239.x.x.x之间！"));
            return false;
        }
        WriteField(config.multi_display_multi_ip, Dotted(ui_.multicast_address));
    } else if (choice.mode == kRtspMode && choice.direction == kReceive) {
        const QByteArray address = ToCp936(ui_.rtsp_address->text());
        if (address.isEmpty()) {
            Notice(this, QStringLiteral("rtsp地址不能为空！"));
            return false;
        }
        WriteField(config.multi_display_rtsp_addr, address);
    }
    return true;
}

} // namespace talvo
