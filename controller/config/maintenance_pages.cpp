#include "config/maintenance_pages.h"

#include "config/dev_change_pwd_dlg.h"
#include "config/dev_reboot_dlg.h"
#include "config/dev_restore_factory_dlg.h"
#include "config/dev_screen_dlg.h"
#include "config/dev_system_update_dlg.h"

namespace talvo {

QWidget *CreateRestoreFactoryPage(QWidget *parent) { return new CDevRestoreFactoryDlg(parent); }

QWidget *CreateChangePasswordPage(QWidget *parent) { return new CDevChangePwdDlg(parent); }

QWidget *CreateScreenPage(QWidget *parent) { return new CDevScreenDlg(parent); }

QWidget *CreateRebootPage(QWidget *parent) { return new CDevRebootDlg(parent); }

QWidget *CreateSystemUpdatePage(QWidget *parent) { return new CDevSystemUpdateDlg(parent); }

} // namespace talvo
