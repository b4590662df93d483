// The main window's actions on devices: single-device windows, batch, delete,
// search, manual add, user administration and the list's context menu.
#include "app/qm_dlg.h"

#include <QMenu>
#include <QTableView>

#include "common/busy_cursor.h"
#include "common/log.h"
#include "common/prompt.h"
#include "common/ui_clock.h"

namespace talvo {
namespace {

constexpr char kLogUnit[] = "QMDlg";

const QString kNoDeviceChosen = QStringLiteral("没有选中设备！");

} // namespace

// The one ticked row becomes the current device; refused with a notice when
// the list is empty, no row is ticked, or more than one is.
bool CQMDlg::PickSingleTickedDevice() {
    if (model_->rowCount() == 0) {
        Notice(this, kNoDeviceChosen);
        return false;
    }
    bool picked = false;
    for (int row = 0; row < model_->rowCount(); ++row) {
        if (!model_->IsTicked(row)) continue;
        if (picked) {
            Notice(this, QStringLiteral("只能操作一个设备！"));
            return false;
        }
        picked = true;
        current_mac_ = model_->Mac(row);
    }
    if (!picked) Notice(this, kNoDeviceChosen);
    return picked;
}

// Opens a single-device window for the current device once it is known to be
// online and the library has logged in to it.
void CQMDlg::OpenForCurrentDevice(void (WindowOpener::*open)(CQMDlg &)) {
    int state = ZR_QM_STATE_OFFLINE;
    ZR_QM_GetDeviceState(current_mac_.constData(), &state);
    if (state == ZR_QM_STATE_OFFLINE) {
        Notice(this, QStringLiteral("设备不在线！"));
        return;
    }
    int login;
    {
        BusyCursor busy;
        login = ZR_QM_LoginDevice(current_mac_.constData(), nullptr, nullptr);
    }
    if (login != 0) {
        Notice(this, QStringLiteral("连接设备失败！"));
        return;
    }
    (Windows().*open)(*this);
}

void CQMDlg::OnShowStatus() {
    if (PickSingleTickedDevice()) OpenForCurrentDevice(&WindowOpener::DeviceStatus);
}

void CQMDlg::OnConfigure() {
    if (PickSingleTickedDevice()) OpenForCurrentDevice(&WindowOpener::DeviceConfiguration);
}

void CQMDlg::OnBatch() {
    if (model_->rowCount() == 0) {
        Notice(this, kNoDeviceChosen);
        return;
    }
    const QList<int> ticked = model_->TickedRows();
    for (int row : ticked) {
        int state = ZR_QM_STATE_UNKNOWN;
        if (ZR_QM_GetDeviceState(model_->Mac(row).constData(), &state) != 0) {
            Notice(this, QStringLiteral("设备不存在！"));
            return;
        }
        if (state == ZR_QM_STATE_OFFLINE) {
            Notice(this, QStringLiteral("设备不在线，不允许批量操作！"));
            return;
        }
    }
    if (ticked.isEmpty()) {
        Notice(this, kNoDeviceChosen);
        return;
    }
    Windows().Batch(*this);
}

void CQMDlg::OnDelete() {
    if (!ConfirmYesNo(this, QStringLiteral("请再次确认是否进行此操作？"))) return;
    if (model_->rowCount() == 0) {
        Notice(this, kNoDeviceChosen);
        return;
    }
    bool any_ticked = false;
    {
        BusyCursor busy; // a removal waits for the device's running state refresh
        for (int row = model_->rowCount() - 1; row >= 0; --row) {
            if (!model_->IsTicked(row)) continue;
            any_ticked = true;
            if (ZR_QM_DelDevice(model_->Mac(row).constData()) == 0)
                model_->RemoveDevice(row);
            else
                TALVO_LOG("[%s]:[%d]delete deivce failed.\n");
        }
    }
    ShowRowCount(); // the rows-in-list box tells the rows now shown
    if (!any_ticked) Notice(this, kNoDeviceChosen);
}

void CQMDlg::OnSearch() {
    ZR_QM_ClearSearchDeviceList();
    int first, second;
    {
        BusyCursor busy;
        first = ZR_QM_SearchDevice();
        Clock().Wait(500);
        second = ZR_QM_SearchDevice();
    }
    if (first != 0 && second != 0) {
        Notice(this, QStringLiteral("搜索设备失败！"));
        return;
    }
    Windows().SearchResults(*this);
    ZR_QM_ClearSearchDeviceList();
}

void CQMDlg::OnManualAdd() { Windows().ManualAdd(*this); }

void CQMDlg::OnUserAdministration() {
    const int type = ZR_QM_GetCurUserType();
    if (type == ZR_QM_USER_SUPER_ADMIN)
        Windows().UserAdministration(*this);
    else if (type == ZR_QM_USER_ADMIN || type == ZR_QM_USER_ORDINARY)
        Windows().ChangeOwnPassword(*this);
}

void CQMDlg::OpenFromMenu(int row, void (WindowOpener::*open)(CQMDlg &)) {
    if (row < 0 || row >= model_->rowCount()) {
        if (PickSingleTickedDevice()) OpenForCurrentDevice(open);
        return;
    }
    current_mac_ = model_->Mac(row);
    OpenForCurrentDevice(open);
}

std::unique_ptr<QMenu> CQMDlg::ListMenu(int row) {
    const int type = ZR_QM_GetCurUserType();
    if (type < 0 || type == ZR_QM_USER_ORDINARY) return nullptr;
    right_click_row_ = row;
    auto menu = std::make_unique<QMenu>(this);
    connect(menu->addAction(QStringLiteral("查看设备状态")), &QAction::triggered, this,
            [this] { OpenFromMenu(right_click_row_, &WindowOpener::DeviceStatus); });
    connect(menu->addAction(QStringLiteral("设备配置")), &QAction::triggered, this,
            [this] { OpenFromMenu(right_click_row_, &WindowOpener::DeviceConfiguration); });
    connect(menu->addAction(QStringLiteral("批量操作")), &QAction::triggered, this, &CQMDlg::OnBatch);
    AddMoveToGroupMenu(*menu);
    return menu;
}

void CQMDlg::OnListContextMenu(const QPoint &position) {
    const QModelIndex index = list_->indexAt(position);
    const int row = index.isValid() ? list_->currentIndex().row() : -1;
    if (std::unique_ptr<QMenu> menu = ListMenu(row)) menu->exec(list_->viewport()->mapToGlobal(position));
}

} // namespace talvo
