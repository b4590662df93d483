// The batch window "批量操作": one operation on every device ticked in the
// main window's list, on five tabs. The pages read the ticks when they act,
// so the window needs no device set of its own.
#pragma once

#include <QDialog>

class QTabWidget;

namespace talvo {

class CDevBatchOperatePwdDlg;
class CDevBatchRebootDlg;
class CDevBatchRestoreFactorySettingsDlg;
class CDevBatchSetScreenDlg;
class CDevBatchSystemUpdateDlg;

class CDevBatchOperateDlg : public QDialog {
    Q_OBJECT

public:
    // `owner` is the main window, whose ticked rows the pages read.
    explicit CDevBatchOperateDlg(QWidget *owner);

    QTabWidget *Tabs() const { return tabs_; }
    CDevBatchSetScreenDlg *ScreenPage() const { return screen_; }
    CDevBatchRestoreFactorySettingsDlg *FactoryResetPage() const { return factory_reset_; }
    CDevBatchRebootDlg *RebootPage() const { return reboot_; }
    CDevBatchSystemUpdateDlg *SystemUpdatePage() const { return system_update_; }
    CDevBatchOperatePwdDlg *PasswordPage() const { return password_; }

private:
    QTabWidget *tabs_;
    CDevBatchRebootDlg *reboot_;
    CDevBatchRestoreFactorySettingsDlg *factory_reset_;
    CDevBatchSetScreenDlg *screen_;
    CDevBatchSystemUpdateDlg *system_update_;
    CDevBatchOperatePwdDlg *password_;
};

} // namespace talvo
