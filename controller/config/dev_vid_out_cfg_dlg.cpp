#include "config/dev_vid_out_cfg_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "common/busy_cursor.h"
#include "common/cp936.h"
#include "common/cp936_validator.h"
#include "common/prompt.h"
#include "korvel.h"

namespace talvo {
namespace {

constexpr char kFallbackModel[] = "TALVO_HX";

bool IsOneOf(const QByteArray &model, std::initializer_list<const char *> names) {
    for (const char *name : names)
        if (model.compare(name, Qt::CaseInsensitive) == 0) return true;
    return false;
}

void FillList(QComboBox *list, const VideoChoices &choices) {
    for (const VideoChoice &choice : choices)
        list->addItem(QString::fromUtf8(choice.shown), QByteArray(choice.Value()));
}

// Selects the entry whose value is `value`; any other value leaves the list.
void SelectValue(QComboBox *list, const QByteArray &value) {
    const int index = list->findData(value);
    if (index >= 0) list->setCurrentIndex(index);
}

QByteArray SelectedValue(const QComboBox *list) { return list->currentData().toByteArray(); }

QString Percent(int value) { return QStringLiteral("%1%").arg(value); }

// The record field of each track bar, in bar order.
using BarField = char (VideoOutConfig::*)[16];
constexpr std::array<BarField, CDevVidOutCfgDlg::kBarCount> kBarFields = {
    &VideoOutConfig::video_osd_transparency, &VideoOutConfig::input_vga_gain, &VideoOutConfig::input_vga_sharp,
    &VideoOutConfig::sound_volume};
constexpr std::array<VideoRow, CDevVidOutCfgDlg::kBarCount> kBarRows = {kOsdTransparencyRow, kVgaGainRow, kSharpnessRow,
                                                                        kVolumeRow};

} // namespace

CDevVidOutCfgDlg::CDevVidOutCfgDlg(QWidget *parent) : ReloadingPage(parent), rows_(this) {
    BuildControls();
    BuildRows();
    model_ = FindVideoModel(DeviceModelOr(DeviceMac(), kFallbackModel));
    FillLists();
    LayOutRows();
    connect(ui_.save, &QPushButton::clicked, this, &CDevVidOutCfgDlg::OnSave);
    connect(ui_.cancel, &QPushButton::clicked, this, &CDevVidOutCfgDlg::OnCancel);
    connect(ui_.osd_on, &QCheckBox::clicked, this, &CDevVidOutCfgDlg::OnOsdClicked);
    connect(ui_.auto_shutdown, &QCheckBox::clicked, this, &CDevVidOutCfgDlg::OnAutoShutdownClicked);
    for (QSlider *bar : ui_.bars) connect(bar, &QSlider::valueChanged, this, &CDevVidOutCfgDlg::OnBarMoved);
}

void CDevVidOutCfgDlg::BuildControls() {
    ui_.hdmi = new QComboBox(this);
    ui_.vga = new QComboBox(this);
    ui_.osd_on = new QCheckBox(this);
    for (std::size_t bar = 0; bar < kBarCount; ++bar) {
        ui_.bars[bar] = new QSlider(Qt::Horizontal, this);
        ui_.bars[bar]->setRange(0, 100);
        ui_.bars[bar]->setMinimumWidth(180);
        ui_.bar_texts[bar] = new QLabel(Percent(0), this);
        ui_.bar_texts[bar]->setMinimumWidth(ui_.bar_texts[bar]->fontMetrics().horizontalAdvance(Percent(100)));
    }
    ui_.display_mode = new QComboBox(this);
    ui_.rotation = new QComboBox(this);
    ui_.auto_fullscreen = new QCheckBox(this);
    ui_.auto_shutdown = new QCheckBox(this);
    ui_.shutdown_seconds = new QLineEdit(this);
    ui_.shutdown_seconds->setMaxLength(kSecondsLimit);
    LimitToCp936Bytes(ui_.shutdown_seconds, sizeof(VideoOutConfig::auto_shutdown_sec) - 1);
    ui_.shutdown_seconds->setFixedWidth(ui_.shutdown_seconds->fontMetrics().horizontalAdvance(QStringLiteral("00000")) +
                                        12);
    ui_.save = PageButton(QStringLiteral("保存"), this);
    ui_.cancel = PageButton(QStringLiteral("取消"), this);
}

// Rows in VideoRow order, so that a row's number is its VideoRow.
void CDevVidOutCfgDlg::BuildRows() {
    rows_.AddRow(QStringLiteral("HDMI 分辨率"), {ui_.hdmi});
    rows_.AddRow(QStringLiteral("VGA 分辨率"), {ui_.vga});
    rows_.AddRow(QStringLiteral("OSD是否显示"), {ui_.osd_on});
    rows_.AddRow(QStringLiteral("OSD透明度"), {ui_.bars[kOsdTransparencyBar], ui_.bar_texts[kOsdTransparencyBar]});
    rows_.AddRow(QStringLiteral("VGA Gain"), {ui_.bars[kVgaGainBar], ui_.bar_texts[kVgaGainBar]});
    rows_.AddRow(QStringLiteral("锐  度"), {ui_.bars[kSharpnessBar], ui_.bar_texts[kSharpnessBar]});
    rows_.AddRow(QStringLiteral("音  量"), {ui_.bars[kVolumeBar], ui_.bar_texts[kVolumeBar]});
    rows_.AddRow(QStringLiteral("显示模式"), {ui_.display_mode});
    rows_.AddRow(QStringLiteral("屏幕旋转"), {ui_.rotation});
    rows_.AddRow(QStringLiteral("自动满屏"), {ui_.auto_fullscreen});
    rows_.AddRow(QStringLiteral("自动关闭显示"), {ui_.auto_shutdown, new QLabel(QStringLiteral("延时"), this),
                                                  ui_.shutdown_seconds, new QLabel(QStringLiteral("秒"), this)});

    auto *page = new QVBoxLayout(this);
    page->addLayout(rows_.Layout());
    page->addStretch(1);
    AddButtonRow(page, {ui_.save, ui_.cancel});
}

void CDevVidOutCfgDlg::FillLists() {
    if (!model_) return;
    FillList(ui_.hdmi, *model_->hdmi);
    FillList(ui_.vga, *model_->vga);
    FillList(ui_.display_mode, *model_->display_modes);
    FillList(ui_.rotation, *model_->rotations);
}

void CDevVidOutCfgDlg::LayOutRows() {
    for (int row = 0; row < kVideoRowCount; ++row) rows_.SetRowVisible(row, ShowsRow(model_, VideoRow(row)));
}

void CDevVidOutCfgDlg::Load() {
    const QByteArray mac = DeviceMac();
    if (IsDeviceOffline(mac)) {
        ZR_QM_KorvelSysLogOut("device %s is offline.", mac.constData());
        return;
    }
    QByteArray model;
    if (!ReadDeviceModel(mac, model)) {
        ZR_QM_KorvelSysLogOut("no device %s.", mac.constData());
        return;
    }
    VideoOutConfig config{};
    const int result = Blocking([&] { return ZR_QM_GetDeviceVOConf(mac.constData(), &config); });
    if (result != 0) {
        ZR_QM_KorvelSysLogOut("get device %s video output configure failed.", mac.constData());
        return;
    }
    ShowValues(model, config);
}

void CDevVidOutCfgDlg::ShowValues(const QByteArray &model, const VideoOutConfig &config) {
    SelectValue(ui_.hdmi, FieldBytes(config.video_hdmi_resu));
    SelectValue(ui_.vga, FieldBytes(config.video_vga_resu));
    SelectValue(ui_.display_mode, FieldBytes(config.display_mode));
    SelectValue(ui_.rotation, FieldBytes(config.rotate_str));
    if (IsOneOf(model, {"TALVO_JX", "TALVO_SX", "TALVO_TX"})) {
        ui_.osd_on->setChecked(IsTrueText(config.osd_on));
        OnOsdClicked();
        ui_.auto_fullscreen->setChecked(IsTrueText(config.auto_fullscreen));
    }
    if (IsOneOf(model, {"TALVO_SX", "TALVO_TX"})) {
        ui_.auto_shutdown->setChecked(IsTrueText(config.auto_shutdown));
        ui_.shutdown_seconds->setText(FieldText(config.auto_shutdown_sec));
        OnAutoShutdownClicked();
    }
    for (std::size_t bar = 0; bar < kBarCount; ++bar)
        ui_.bars[bar]->setValue(FieldBytes(config.*kBarFields[bar]).toInt()); // not a number: 0
    OnBarMoved();
}

void CDevVidOutCfgDlg::OnOsdClicked() { rows_.SetRowEnabled(kOsdTransparencyRow, ui_.osd_on->isChecked()); }

void CDevVidOutCfgDlg::OnAutoShutdownClicked() { ui_.shutdown_seconds->setEnabled(ui_.auto_shutdown->isChecked()); }

void CDevVidOutCfgDlg::OnBarMoved() {
    for (std::size_t bar = 0; bar < kBarCount; ++bar) ui_.bar_texts[bar]->setText(Percent(ui_.bars[bar]->value()));
}

void CDevVidOutCfgDlg::OnSave() {
    const QByteArray mac = DeviceMac();
    if (RefuseWhenOffline(this, mac)) return;
    const VideoModel *model = FindVideoModel(DeviceModelOr(mac, kFallbackModel));
    ReadCurrentSettings(mac);
    // Fields left empty are not sent: the device keeps those values.
    VideoOutConfig next{};
    FillRecord(model, next);
    const int result = Blocking([&] { return ZR_QM_SetDeviceVOConf(mac.constData(), &next); });
    if (result == ZR_QM_ERR_NINE_IN_MULTICAST) {
        Notice(this, QStringLiteral("组播模式下，不支持九画面！"));
    } else if (result != 0) {
        ZR_QM_KorvelSysLogOut("set device net configure failed, iRet:%x.\n", static_cast<unsigned>(result));
        ReportSave(this, false);
    } else {
        ReportSave(this, true);
    }
}

// Reads the device's settings once before writing, logging in again when the
// session has expired; what is read is not used.
void CDevVidOutCfgDlg::ReadCurrentSettings(const QByteArray &mac) {
    BusyCursor busy;
    VideoOutConfig current{};
    if (ZR_QM_GetDeviceVOConf(mac.constData(), &current) == ZR_QM_ERR_HTTP_401 &&
        ZR_QM_LoginDevice(mac.constData(), nullptr, nullptr) == 0)
        ZR_QM_GetDeviceVOConf(mac.constData(), &current);
}

void CDevVidOutCfgDlg::FillRecord(const VideoModel *model, VideoOutConfig &next) const {
    if (WritesRow(model, kHdmiRow)) WriteField(next.video_hdmi_resu, SelectedValue(ui_.hdmi));
    if (WritesRow(model, kVgaRow)) WriteField(next.video_vga_resu, SelectedValue(ui_.vga));
    for (std::size_t bar = 0; bar < kBarCount; ++bar)
        if (WritesRow(model, kBarRows[bar]))
            WriteField(next.*kBarFields[bar], QByteArray::number(ui_.bars[bar]->value()));
    if (WritesRow(model, kOsdShownRow)) {
        WriteField(next.osd_on, TrueFalse(ui_.osd_on->isChecked()));
        if (!ui_.osd_on->isChecked()) next.video_osd_transparency[0] = '\0';
    }
    if (WritesRow(model, kDisplayModeRow)) WriteField(next.display_mode, SelectedValue(ui_.display_mode));
    if (WritesRow(model, kRotationRow)) WriteField(next.rotate_str, SelectedValue(ui_.rotation));
    if (WritesRow(model, kAutoFullScreenRow))
        WriteField(next.auto_fullscreen, TrueFalse(ui_.auto_fullscreen->isChecked()));
    if (WritesRow(model, kAutoShutdownRow)) {
        WriteField(next.auto_shutdown, TrueFalse(ui_.auto_shutdown->isChecked()));
        if (ui_.auto_shutdown->isChecked()) WriteField(next.auto_shutdown_sec, ui_.shutdown_seconds->text());
    }
}

} // namespace talvo
