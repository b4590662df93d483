// The pages of tabs 5 to 9 of the configuration window: maintenance actions
// on the window's device that load nothing when shown. Each function creates
// its tab's page as a child of `parent` (the tab control).
#pragma once

class QWidget;

namespace talvo {

QWidget *CreateRestoreFactoryPage(QWidget *parent); // tab 5, CDevRestoreFactoryDlg
QWidget *CreateChangePasswordPage(QWidget *parent); // tab 6, CDevChangePwdDlg
QWidget *CreateScreenPage(QWidget *parent);         // tab 7, CDevScreenDlg
QWidget *CreateRebootPage(QWidget *parent);         // tab 8, CDevRebootDlg
QWidget *CreateSystemUpdatePage(QWidget *parent);   // tab 9, CDevSystemUpdateDlg

} // namespace talvo
