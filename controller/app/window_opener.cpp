#include "app/window_opener.h"

#include "app/qm_dlg.h"
#include "batch/dev_batch_operate_dlg.h"
#include "config/dev_cfg_dlg.h"

namespace talvo {

// These windows come with their own pieces of work. Until a window is built,
// its entry here opens nothing, so the operator sees no window and nothing
// claims that an operation took place.

void WindowOpener::DeviceStatus(CQMDlg &) {}

void WindowOpener::DeviceConfiguration(CQMDlg &owner) {
    CDevCfgDlg window(&owner);
    window.exec();
}

void WindowOpener::Batch(CQMDlg &owner) {
    CDevBatchOperateDlg window(&owner);
    window.exec();
}

void WindowOpener::ManualAdd(CQMDlg &) {}

void WindowOpener::SearchResults(CQMDlg &) {}

void WindowOpener::UserAdministration(CQMDlg &) {}

void WindowOpener::ChangeOwnPassword(CQMDlg &) {}

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
