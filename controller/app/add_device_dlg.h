// "添加设备": adds one receiver to the managed devices by its IPv4 address and
// appends its row to the main window's list.
#pragma once

#include <QDialog>

class QPushButton;

namespace talvo {

class CQMDlg;
class IpAddressEdit;

class CAddDeviceDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAddDeviceDlg(CQMDlg *owner);

    IpAddressEdit *AddressBox() const { return address_; }

public slots:
    void accept() override; // "确定": stays open unless the receiver was added

private:
    CQMDlg *owner_;
    IpAddressEdit *address_ = nullptr;
};

} // namespace talvo
