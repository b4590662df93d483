#include "batch/dev_batch_operate_dlg.h"

#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "batch/dev_batch_operate_pwd_dlg.h"
#include "batch/dev_batch_reboot_dlg.h"
#include "batch/dev_batch_restore_factory_settings_dlg.h"
#include "batch/dev_batch_set_screen_dlg.h"
#include "batch/dev_batch_system_update_dlg.h"
#include "common/file_row.h"

namespace talvo {

// The pages are made in the order reboot, factory reset, images, system
// update, password, and shown in the order of the tabs.
CDevBatchOperateDlg::CDevBatchOperateDlg(QWidget *owner)
    : QDialog(owner), tabs_(new QTabWidget(this)), reboot_(new CDevBatchRebootDlg(tabs_)),
      factory_reset_(new CDevBatchRestoreFactorySettingsDlg(tabs_)), screen_(new CDevBatchSetScreenDlg(tabs_)),
      system_update_(new CDevBatchSystemUpdateDlg(tabs_)), password_(new CDevBatchOperatePwdDlg(tabs_)) {
    setWindowTitle(QStringLiteral("批量操作"));
    tabs_->addTab(screen_, QStringLiteral("批量更新开、待机画面"));
    tabs_->addTab(factory_reset_, QStringLiteral("批量恢复出厂设置"));
    tabs_->addTab(reboot_, QStringLiteral("批量重启"));
    tabs_->addTab(system_update_, QStringLiteral("批量升级"));
    tabs_->addTab(password_, QStringLiteral("批量修改设备通讯密码"));
    tabs_->setCurrentIndex(0);
    (new QVBoxLayout(this))->addWidget(tabs_);
    resize(680, 360);
    screen_->Row(ScreenKind::StartUp)->ChooseButton()->setFocus();
}

} // namespace talvo
