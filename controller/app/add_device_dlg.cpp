#include "app/add_device_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "app/qm_dlg.h"
#include "common/busy_cursor.h"
#include "common/cp936.h"
#include "common/ip_address_edit.h"
#include "common/log.h"
#include "common/prompt.h"

namespace talvo {
namespace {

constexpr char kLogUnit[] = "AddDeviceDlg";
// The library ignores these two and logs in with its own operate credentials.
constexpr char kDeviceUser[] = "TALVO";
constexpr char kDevicePassword[] = "WQZNE847";
constexpr int kMacShown = 18; // characters of the MAC turned into upper case

} // namespace

CAddDeviceDlg::CAddDeviceDlg(CQMDlg *owner) : QDialog(owner), owner_(owner) {
    setWindowTitle(QStringLiteral("添加设备"));
    address_ = new IpAddressEdit(this);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &CAddDeviceDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CAddDeviceDlg::reject);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(24, 24, 24, 16);
    grid->setVerticalSpacing(24);
    grid->addWidget(new QLabel(QStringLiteral("IP地址"), this), 0, 0);
    grid->addWidget(address_, 0, 1);
    grid->addWidget(buttons, 1, 0, 1, 2);
    grid->setColumnMinimumWidth(1, 260);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    address_->setFocus();
}

void CAddDeviceDlg::accept() {
    if (address_->IsBlank()) {
        Notice(this, QStringLiteral("ip地址为空！"));
        return;
    }
    const QByteArray address = address_->Text().toLatin1(); // an empty field reads as 0
    DeviceInfo info{};
    int result;
    {
        BusyCursor busy; // the library talks to the receiver meanwhile
        result = ZR_QM_AddDevice(address.constData(), kDeviceUser, kDevicePassword, &info);
    }
    if (result == ZR_QM_ERR_DEV_EXISTS) {
        const QByteArray mac = FieldBytes(info.Wired_MacAddr).left(kMacShown).toUpper();
        Notice(this, QStringLiteral("%1 MAC地址设备已存在！").arg(FromCp936(mac)));
        return;
    }
    if (result != 0) {
        Notice(this, QStringLiteral("添加设备失败！"));
        return;
    }
    ZR_QM_MacText added = {};
    WriteField(added, FieldBytes(info.Wired_MacAddr));
    if (owner_->AppendDevices(&added, 1) != 0) TALVO_LOG("[%s]:[%d]display devices to device list failed.\n");
    Notice(this, QStringLiteral("添加设备成功！"));
    QDialog::accept();
}

} // namespace talvo
