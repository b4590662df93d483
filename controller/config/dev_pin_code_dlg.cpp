#include "config/dev_pin_code_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/cp936.h"
#include "common/log.h"
#include "common/prompt.h"
#include "korvel.h"

namespace talvo {
namespace {

constexpr char kLogUnit[] = "DevPinCodeDlg";

} // namespace

CDevPinCodeDlg::CDevPinCodeDlg(QWidget *parent) : ReloadingPage(parent) {
    ui_.enabled = new QCheckBox(QStringLiteral("启用"), this);
    ui_.code = new QLineEdit(this);
    ui_.code->setReadOnly(true);
    ui_.code->setEnabled(false);
    ui_.code->setMaxLength(kCodeLimit);
    ui_.code->setFixedWidth(ui_.code->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
    ui_.save = PageButton(QStringLiteral("保存"), this);
    ui_.save->setDefault(true);
    ui_.cancel = PageButton(QStringLiteral("取消"), this);

    auto *form = new QGridLayout;
    form->setColumnStretch(0, 3);
    form->setColumnStretch(1, 5);
    form->setHorizontalSpacing(40);
    form->addWidget(ui_.enabled, 0, 1);
    form->addWidget(new QLabel(QStringLiteral("4位数字投屏码(PIN CODE)"), this), 1, 0, Qt::AlignRight);
    form->addWidget(ui_.code, 1, 1, Qt::AlignLeft);
    auto *page = new QVBoxLayout(this);
    page->addLayout(form);
    page->addStretch(1);
    AddButtonRow(page, {ui_.save, ui_.cancel});

    connect(ui_.enabled, &QCheckBox::clicked, this, &CDevPinCodeDlg::OnEnabledClicked);
    connect(ui_.save, &QPushButton::clicked, this, &CDevPinCodeDlg::OnSave);
    connect(ui_.cancel, &QPushButton::clicked, this, &CDevPinCodeDlg::OnCancel);
    Load();
}

void CDevPinCodeDlg::Load() {
    const QByteArray mac = DeviceMac();
    if (IsDeviceOffline(mac)) return;
    PinCodeConfig config{};
    const int result = Blocking([&] { return ZR_QM_GetDevicePinCode(mac.constData(), &config); });
    if (result != 0) return;
    const bool required = config.use_input_code[0] == 't';
    ui_.enabled->setChecked(required);
    ui_.code->setText(required ? FieldText(config.input_code) : QString());
    ui_.code->setEnabled(required);
}

void CDevPinCodeDlg::OnEnabledClicked() { ui_.code->setEnabled(ui_.enabled->isChecked()); }

void CDevPinCodeDlg::OnSave() {
    const QByteArray mac = DeviceMac();
    if (RefuseWhenOffline(this, mac)) return;
    // Only whether a code is required is sent: the receiver chooses the code.
    PinCodeConfig config{};
    WriteField(config.use_input_code, TrueFalse(ui_.enabled->isChecked()));
    const int result = Blocking([&] { return ZR_QM_SetDevicePinCode(mac.constData(), &config); });
    if (result != 0) TALVO_LOG("[%s]:[%d]set device pin code configure failed, iRet:%d.\n", result);
    ReportSave(this, result == 0);
}

} // namespace talvo
