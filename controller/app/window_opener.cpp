#include "app/window_opener.h"

#include "app/add_device_dlg.h"
#include "app/dev_status_dlg.h"
#include "app/qm_dlg.h"
#include "app/search_device_list_dlg.h"
#include "app/user_administration_dlg.h"
#include "app/user_pwd_modify_dlg.h"
#include "batch/dev_batch_operate_dlg.h"
#include "config/dev_cfg_dlg.h"

namespace talvo {

void WindowOpener::DeviceStatus(CQMDlg &owner) {
    CDevStatusDlg window(&owner);
    window.exec();
}

void WindowOpener::DeviceConfiguration(CQMDlg &owner) {
    CDevCfgDlg window(&owner);
    window.exec();
}

void WindowOpener::Batch(CQMDlg &owner) {
    CDevBatchOperateDlg window(&owner);
    window.exec();
}

void WindowOpener::ManualAdd(CQMDlg &owner) {
    CAddDeviceDlg window(&owner);
    window.exec();
}

void WindowOpener::SearchResults(CQMDlg &owner) {
    CSearchDeviceListDlg window(&owner);
    window.exec();
}

void WindowOpener::UserAdministration(CQMDlg &owner) {
    CUserAdministrationDlg window(&owner, &owner);
    window.exec();
}

void WindowOpener::ChangeOwnPassword(CQMDlg &owner) {
    CUserPwdModifyDlg window(&owner, &owner);
    window.exec();
}

namespace {

WindowOpener *&Installed() {
    static WindowOpener *opener = nullptr;
    return opener;
}

} // namespace

WindowOpener &Windows() {
    static WindowOpener program;
    return Installed() ? *Installed() : program;
}

void SetWindowOpener(WindowOpener *opener) { Installed() = opener; }

} // namespace talvo
