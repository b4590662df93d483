#include "app/search_device_list_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/cell_compare.h"
#include "app/qm_dlg.h"
#include "common/busy_cursor.h"
#include "common/column_widths.h"
#include "common/cp936.h"
#include "common/log.h"
#include "common/prompt.h"
#include "common/ui_clock.h"

namespace talvo {
namespace {

constexpr char kLogUnit[] = "SearchDeviceListDlg";
constexpr int kBytesRole = Qt::UserRole; // the library's text of a cell

struct ColumnDefinition {
    const char *header;
    int width;
    CompareKind compare;
};

constexpr ColumnDefinition kColumns[CSearchDeviceListDlg::kColumnCount] = {
    {"", 50, CompareKind::None},
    {"WIFI SSID", 150, CompareKind::Text},
    {"设备类型", 120, CompareKind::Text},
    {"IP地址", 120, CompareKind::Ipv4},
    {"MAC地址", 150, CompareKind::Text},
    {"版本", 100, CompareKind::VersionThenText},
};

void SetCell(QTreeWidgetItem *row, int column, const QByteArray &bytes) {
    row->setText(column, FromCp936(bytes));
    row->setData(column, kBytesRole, bytes);
    row->setTextAlignment(column, Qt::AlignCenter);
}

QTreeWidgetItem *ResultRow(const DeviceInfo &record) {
    auto *row = new QTreeWidgetItem;
    row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    row->setCheckState(CSearchDeviceListDlg::kTickColumn, Qt::Unchecked);
    SetCell(row, CSearchDeviceListDlg::kSsidColumn, FieldBytes(record.Wifi_SSID));
    SetCell(row, CSearchDeviceListDlg::kModelColumn, FieldBytes(record.Device_Type));
    SetCell(row, CSearchDeviceListDlg::kIpColumn, FieldBytes(record.Wired_IpAddr));
    SetCell(row, CSearchDeviceListDlg::kMacColumn, FieldBytes(record.Wired_MacAddr));
    SetCell(row, CSearchDeviceListDlg::kVersionColumn, FieldBytes(record.Device_Ver));
    return row;
}

bool IsTicked(const QTreeWidgetItem *row) { return row->checkState(CSearchDeviceListDlg::kTickColumn) == Qt::Checked; }

void SetTick(QTreeWidgetItem *row, bool ticked) {
    row->setCheckState(CSearchDeviceListDlg::kTickColumn, ticked ? Qt::Checked : Qt::Unchecked);
}

} // namespace

CSearchDeviceListDlg::CSearchDeviceListDlg(CQMDlg *owner) : QDialog(owner), owner_(owner) {
    setWindowTitle(QStringLiteral("搜索新设备"));
    resize(900, 460);
    Clock().Wait(kOpeningWaitMs);
    BuildLayout();
    Fill();
}

void CSearchDeviceListDlg::BuildLayout() {
    list_ = new QTreeWidget(this);
    list_->setColumnCount(kColumnCount);
    list_->setRootIsDecorated(false);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setStyleSheet(QStringLiteral("QTreeView::item { border: 1px solid #d0d0d0; }")); // grid lines
    QStringList headers;
    for (int column = 0; column < kColumnCount; ++column) {
        headers << QString::fromUtf8(kColumns[column].header);
        list_->setColumnWidth(column, kColumns[column].width);
    }
    list_->setHeaderLabels(headers);
    for (int column = 0; column < kColumnCount; ++column)
        list_->headerItem()->setTextAlignment(column, Qt::AlignCenter);
    list_->header()->setSectionsClickable(true);
    list_->header()->setStretchLastSection(false);
    SizeColumnsOnFirstShow(*list_, {1.0 / 13, 1.0 / 5, 1.0 / 6, 1.0 / 6, 1.0 / 5}); // column 5 takes the rest

    select_all_ = new QCheckBox(QStringLiteral("全选"), this);
    invert_ = new QCheckBox(QStringLiteral("反选"), this);
    auto *refresh = new QPushButton(QStringLiteral("刷新"), this);
    auto *add = new QPushButton(QStringLiteral("添加到设备列表"), this);
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    refresh->setAutoDefault(false);
    cancel->setAutoDefault(false);
    add->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(select_all_);
    buttons->addWidget(invert_);
    buttons->addStretch(1);
    buttons->addWidget(refresh);
    buttons->addWidget(add);
    buttons->addWidget(cancel);
    auto *grid = new QGridLayout(this);
    grid->addWidget(list_, 0, 0);
    grid->addLayout(buttons, 1, 0);

    connect(select_all_, &QCheckBox::clicked, this, &CSearchDeviceListDlg::OnSelectAll);
    connect(invert_, &QCheckBox::clicked, this, &CSearchDeviceListDlg::OnInvertTicks);
    connect(refresh, &QPushButton::clicked, this, &CSearchDeviceListDlg::OnRefresh);
    connect(add, &QPushButton::clicked, this, &CSearchDeviceListDlg::OnAddToDeviceList);
    connect(cancel, &QPushButton::clicked, this, &CSearchDeviceListDlg::reject);
    connect(list_, &QTreeWidget::itemClicked, this, &CSearchDeviceListDlg::OnRowClicked);
    connect(list_->header(), &QHeaderView::sectionClicked, this, &CSearchDeviceListDlg::OnHeaderClicked);
}

QByteArray CSearchDeviceListDlg::CellBytes(const QTreeWidgetItem *row, int column) {
    return row ? row->data(column, kBytesRole).toByteArray() : QByteArray();
}

void CSearchDeviceListDlg::Fill() {
    list_->clear();
    DeviceInfo *records = nullptr;
    const int count = ZR_QM_GetSearchDeviceList(&records);
    if (count <= 0) return;
    QList<QTreeWidgetItem *> rows;
    for (int i = 0; i < count; ++i) rows.append(ResultRow(records[i]));
    std::free(records);
    list_->addTopLevelItems(rows);
}

// Searches again; receivers found earlier stay listed.
void CSearchDeviceListDlg::OnRefresh() {
    BusyCursor busy;
    const int result = ZR_QM_SearchDevice();
    if (result != 0)
        TALVO_LOG("[%s]:[%d]ZR_QM_SearchDevice failed, error id: 0x%x.\n", static_cast<unsigned>(result));
    Clock().Wait(kRefreshWaitMs);
    Fill();
}

void CSearchDeviceListDlg::OnAddToDeviceList() {
    const QString choose_first = QStringLiteral("请先选择设备！");
    const int rows = list_->topLevelItemCount();
    if (rows == 0) {
        Notice(this, choose_first);
        return;
    }
    std::unique_ptr<ZR_QM_MacText[]> macs(new ZR_QM_MacText[static_cast<std::size_t>(rows)]()); // all zero
    unsigned int ticked = 0;
    for (int i = 0; i < rows; ++i) {
        const QTreeWidgetItem *row = list_->topLevelItem(i);
        if (IsTicked(row)) WriteField(macs[ticked++], CellBytes(row, kMacColumn));
    }
    if (ticked == 0) {
        Notice(this, choose_first);
        return;
    }
    int added;
    {
        BusyCursor busy;
        added = ZR_QM_AddSearchDevicesToDeviceList(macs.get(), ticked);
    }
    if (added < 0) {
        TALVO_LOG("[%s]:[%d]add search devices to device list failed.\n");
        return;
    }
    if (static_cast<unsigned int>(added) != ticked)
        TALVO_LOG("[%s]:[%d]only add part search devices to device list.\n");
    if (owner_->AppendDevices(macs.get(), static_cast<int>(ticked)) != 0)
        TALVO_LOG("[%s]:[%d]display device to device list failed.\n");
}

// Unlike the main window's box, this one also unticks: every row takes the
// box's state and is selected with it.
void CSearchDeviceListDlg::OnSelectAll() {
    const bool ticked = select_all_->isChecked();
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = list_->topLevelItem(i);
        SetTick(row, ticked);
        row->setSelected(ticked);
    }
}

void CSearchDeviceListDlg::OnInvertTicks() {
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = list_->topLevelItem(i);
        SetTick(row, !IsTicked(row));
        row->setSelected(IsTicked(row));
    }
}

// A click beside the check box on the marked row inverts its tick; the check
// box column handles itself.
void CSearchDeviceListDlg::OnRowClicked(QTreeWidgetItem *row, int column) {
    if (row == nullptr || column == kTickColumn || row != list_->currentItem()) return;
    SetTick(row, !IsTicked(row));
}

// Each click on a header sorts by that column, ascending first, then
// descending, and so on; rows that compare equal keep their order.
void CSearchDeviceListDlg::OnHeaderClicked(int column) {
    if (column <= kTickColumn || column >= kColumnCount) return;
    bool &ascending = sort_ascending_[static_cast<std::size_t>(column)];
    ascending = !ascending;
    const CompareKind kind = kColumns[column].compare;

    struct Taken {
        QTreeWidgetItem *row;
        bool selected;
    };
    std::vector<Taken> rows;
    while (list_->topLevelItemCount() > 0) {
        QTreeWidgetItem *row = list_->topLevelItem(0);
        const bool selected = row->isSelected();
        rows.push_back({list_->takeTopLevelItem(0), selected});
    }
    std::stable_sort(rows.begin(), rows.end(), [&](const Taken &a, const Taken &b) {
        const QByteArray left = CellBytes(a.row, column), right = CellBytes(b.row, column);
        return (ascending ? CompareCells(kind, left, right) : CompareCells(kind, right, left)) < 0;
    });
    for (const Taken &taken : rows) {
        list_->addTopLevelItem(taken.row);
        taken.row->setSelected(taken.selected);
    }
    list_->header()->setSortIndicatorShown(true);
    list_->header()->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

} // namespace talvo
