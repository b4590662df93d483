// The one place through which the main window opens each of its child
// windows. Every window runs modally with the main window as its owner and is
// destroyed when its run returns. Tests install their own opener to see which
// window was asked for.
#pragma once

namespace talvo {

class CQMDlg;

class WindowOpener {
public:
    virtual ~WindowOpener() = default;
    // Status window of the main window's current device.
    virtual void DeviceStatus(CQMDlg &owner);
    // Configuration window of the current device.
    virtual void DeviceConfiguration(CQMDlg &owner);
    // Batch window; it reads the ticked rows of the owner's list.
    virtual void Batch(CQMDlg &owner);
    // Manual add by address.
    virtual void ManualAdd(CQMDlg &owner);
    // Search results, after the owner has sent the search.
    virtual void SearchResults(CQMDlg &owner);
    // Account administration (super administrator).
    virtual void UserAdministration(CQMDlg &owner);
    // Change of the operator's own password (administrators, ordinary users).
    virtual void ChangeOwnPassword(CQMDlg &owner);
};

// The opener in use; SetWindowOpener(nullptr) restores the program's own.
// The caller keeps ownership of an installed opener.
WindowOpener &Windows();
void SetWindowOpener(WindowOpener *opener);

} // namespace talvo
