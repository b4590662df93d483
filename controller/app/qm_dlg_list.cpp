// The main window's device list: page fill, the refreshes of rows, state
// column and counters, appending, ticking and sorting.
#include "app/qm_dlg.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "app/group_tree.h"
#include "common/cp936.h"
#include "common/log.h"
#include "common/ui_clock.h"

namespace talvo {
namespace {

constexpr char kLogUnit[] = "QMDlg";

// A list of records handed out by the library, released with free().
struct DeviceRecords {
    DeviceInfo *records = nullptr;
    int count = 0;
    DeviceRecords() = default;
    DeviceRecords(const DeviceRecords &) = delete;
    DeviceRecords &operator=(const DeviceRecords &) = delete;
    ~DeviceRecords() {
        if (count > 0) std::free(records);
    }
};

DeviceListModel::StateIcon IconOfState(int state) {
    if (state == ZR_QM_STATE_OFFLINE) return DeviceListModel::kGreyIcon;
    if (state == ZR_QM_STATE_SHARE) return DeviceListModel::kOrangeIcon;
    return DeviceListModel::kGreenIcon;
}

} // namespace

void CQMDlg::FillPage(Page page) {
    DeviceRecords list;
    QTreeWidgetItem *node = tree_->SelectedNode();
    if (node == nullptr || tree_->IsRoot(node))
        list.count = ZR_QM_GetDeviceList(&list.records);
    else
        list.count = ZR_QM_GetGroupDevList(GroupTree::GroupName(node).constData(), &list.records);
    const int n = list.count;
    UpdatePaging(n);
    if (n <= 0) {
        model_->SetDevices(nullptr, 0);
        ShowRowCount();
        return;
    }

    int start = 0;
    if (page == Page::Previous && model_->rowCount() > 0) {
        const QByteArray first = model_->Mac(0);
        for (int i = n - 1; i >= 0; --i) {
            if (FieldBytes(list.records[i].Wired_MacAddr) != first) continue;
            start = i + 1 > kPageRows ? i - kPageRows : 0;
            break;
        }
    } else if (page == Page::Next && model_->rowCount() > 0) {
        const QByteArray last = model_->Mac(model_->rowCount() - 1);
        for (int i = 0; i < n; ++i) {
            if (FieldBytes(list.records[i].Wired_MacAddr) != last) continue;
            start = i + 1;
            break;
        }
    }
    if (start >= n) return;
    model_->SetDevices(list.records + start, std::min(kPageRows, n - start));
    ShowRowCount();
}

void CQMDlg::UpdatePaging(int devices_in_node) {
    const bool paged = devices_in_node > kPageRows;
    previous_page_->setVisible(paged);
    next_page_->setVisible(paged);
}

void CQMDlg::OnPreviousPage() {
    FillPage(Page::Previous);
    RefreshStateColumn();
}

void CQMDlg::OnNextPage() {
    FillPage(Page::Next);
    RefreshStateColumn();
}

void CQMDlg::OnGroupSelected() {
    FillPage(Page::First);
    RefreshStateColumn();
}

void CQMDlg::ShowRowCount() { rows_->setText(QString::number(model_->rowCount())); }

void CQMDlg::RefreshRows() {
    for (int row = model_->rowCount() - 1; row >= 0; --row) {
        DeviceInfo info{};
        if (ZR_QM_GetDeviceInfo(model_->Mac(row).constData(), &info) != 0) {
            TALVO_LOG("[%s]:[%d]get deivce infomation failed.\n");
            continue;
        }
        model_->UpdateDevice(row, info);
    }
}

void CQMDlg::RefreshStateColumn() {
    for (int row = model_->rowCount() - 1; row >= 0; --row) {
        int state = ZR_QM_STATE_UNKNOWN;
        if (ZR_QM_GetDeviceState(model_->Mac(row).constData(), &state) != 0) {
            TALVO_LOG("[%s]:[%d]ZR_QM_GetDeviceState failed.\n");
            continue;
        }
        char name[32] = {};
        ZR_QM_GetStateStrByEn(state, name);
        model_->SetState(row, FieldBytes(name), IconOfState(state));
    }
}

void CQMDlg::RefreshCounters() {
    DeviceStatistics statistics{};
    if (ZR_QM_GetDevStatistics(&statistics) != 0) {
        TALVO_LOG("[%s]:[%d]ZR_QM_GetDevStatistics failed.\n");
        statistics = DeviceStatistics{};
    }
    running_->setText(QString::number(statistics.online_num));
    casting_->setText(QString::number(statistics.share_num));
    offline_->setText(QString::number(statistics.offline_num));
    ShowRowCount();
}

void CQMDlg::RefreshDisplay() {
    RefreshRows();
    RefreshStateColumn();
    RefreshCounters();
}

void CQMDlg::OnRefresh() {
    const std::int64_t now = Clock().NowSeconds();
    if (now <= last_refresh_time_) return; // at most one refresh per second
    last_refresh_time_ = now;
    ZR_QM_UpdateAllDeviceState();
    SendDisplayRefresh();
}

// Asks the receivers to report their identity again, twice 200 ms apart, and
// gives their answers 300 ms before the display is read back.
void CQMDlg::SendDisplayRefresh() {
    const int first = ZR_QM_UpdateDeviceInfo();
    Clock().Wait(200);
    const int second = ZR_QM_UpdateDeviceInfo();
    if (first != 0 && second != 0) return;
    Clock().Wait(300);
    RefreshDisplay();
}

int CQMDlg::AppendDevices(const ZR_QM_MacText *macs, int count) {
    if (macs == nullptr && count > 0) return -1;
    for (int i = 0; i < count; ++i) {
        const QByteArray mac = FieldBytes(macs[i]);
        if (model_->FindMac(mac) >= 0) continue;
        DeviceInfo info{};
        if (ZR_QM_GetDeviceInfo(mac.constData(), &info) != 0) {
            TALVO_LOG("[%s]:[%d]get device information failed.\n");
            continue;
        }
        model_->AppendDevice(info);
    }
    ShowRowCount();
    return 0;
}

QList<QByteArray> CQMDlg::TickedMacs() const {
    QList<QByteArray> macs;
    for (int row : model_->TickedRows()) macs.append(model_->Mac(row));
    return macs;
}

void CQMDlg::OnSelectAll() {
    model_->TickAll();
    select_all_->setChecked(model_->AllTicked());
}

void CQMDlg::OnInvertTicks() {
    model_->InvertTicks();
    select_all_->setChecked(model_->AllTicked());
}

// A click on a row outside the tick column: with several rows selected every
// selected row is ticked (a ticked clicked row that left the selection is
// unticked); with one, a click on the marked row inverts its tick.
void CQMDlg::OnRowClicked(const QModelIndex &index) {
    if (!index.isValid() || index.column() == DeviceListModel::kTickColumn) return;
    const QModelIndexList selected = list_->selectionModel()->selectedRows();
    if (selected.size() > 1) {
        if (model_->IsTicked(index.row())) model_->SetTicked(index.row(), false);
        for (const QModelIndex &row : selected) model_->SetTicked(row.row(), true);
    } else if (selected.size() == 1 && list_->selectionModel()->currentIndex().row() == index.row()) {
        model_->SetTicked(index.row(), !model_->IsTicked(index.row()));
    }
    select_all_->setChecked(model_->AllTicked());
}

void CQMDlg::OnHeaderClicked(int column) {
    if (column <= DeviceListModel::kTickColumn || column >= DeviceListModel::kColumnCount) return;
    bool &ascending = sort_ascending_[static_cast<std::size_t>(column)];
    ascending = !ascending;
    model_->Sort(column, ascending);
    list_->horizontalHeader()->setSortIndicatorShown(true);
    list_->horizontalHeader()->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

} // namespace talvo
