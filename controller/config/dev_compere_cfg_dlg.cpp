#include "config/dev_compere_cfg_dlg.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "common/cp936.h"
#include "common/prompt.h"
#include "common/ui_clock.h"

namespace talvo {
namespace {

constexpr std::array<const char *, kHostColumnCount> kHeaders = {"",         "IP",       "类型",      "名称",
                                                                 "视频状态", "音频状态", "最大画面数"};
constexpr std::array<int, kHostColumnCount> kInitialWidths = {50, 150, 120, 120, 150, 100, 100};
// Columns 0 to 5 take 1/13, 1/5, 1/8, 1/5, 1/8, 1/8 of the width still left
// (truncated, in whole pixels); column 6 takes the rest.
constexpr std::array<int, kHostColumnCount - 1> kColumnShareDivisors = {13, 5, 8, 5, 8, 8};
constexpr std::array<const char *, CDevCompereCfgDlg::kActionButtonCount> kActionTexts = {"投屏", "退屏", "单屏",
                                                                                          "声音分享"};

const QString kNothingChosen = QStringLiteral("没有选中！");

} // namespace

CDevCompereCfgDlg::CDevCompereCfgDlg(QWidget *parent) : ReloadingPage(parent) {
    BuildControls();
    refresh_timer_.setInterval(kRefreshMs);
    connect(&refresh_timer_, &QTimer::timeout, this, &CDevCompereCfgDlg::OnRefreshTimer);
    connect(ui_.refresh, &QPushButton::clicked, this, &CDevCompereCfgDlg::OnRefreshClicked);
    for (int button = 0; button < kActionButtonCount; ++button)
        connect(ui_.actions[static_cast<std::size_t>(button)], &QPushButton::clicked, this,
                [this, button] { OnAction(button); });
    connect(ui_.members, &QTableWidget::cellClicked, this, [this](int row, int) { OnRowClicked(row); });
}

void CDevCompereCfgDlg::BuildControls() {
    ui_.members = new QTableWidget(0, kHostColumnCount, this);
    ui_.members->setShowGrid(true);
    ui_.members->setSelectionBehavior(QAbstractItemView::SelectRows);
    ui_.members->setSelectionMode(QAbstractItemView::SingleSelection);
    ui_.members->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui_.members->verticalHeader()->hide();
    ui_.members->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    for (int column = 0; column < kHostColumnCount; ++column) {
        const auto c = static_cast<std::size_t>(column);
        ui_.members->setHorizontalHeaderItem(column, new QTableWidgetItem(QString::fromUtf8(kHeaders[c])));
        ui_.members->setColumnWidth(column, kInitialWidths[c]);
    }
    ui_.refresh = PageButton(QStringLiteral("刷新"), this);
    for (std::size_t button = 0; button < ui_.actions.size(); ++button)
        ui_.actions[button] = PageButton(QString::fromUtf8(kActionTexts[button]), this);

    auto *page = new QVBoxLayout(this);
    page->addWidget(ui_.members, 1);
    QList<QPushButton *> buttons = {ui_.refresh};
    buttons.append(QList<QPushButton *>(ui_.actions.begin(), ui_.actions.end()));
    AddButtonRow(page, buttons);
}

void CDevCompereCfgDlg::showEvent(QShowEvent *event) {
    ReloadingPage::showEvent(event);
    SizeColumnsOnce();
}

// The columns take their shares of the list's width once, when the page is
// first shown; each share is taken from the width the columns before it left.
void CDevCompereCfgDlg::SizeColumnsOnce() {
    if (columns_sized_) return;
    columns_sized_ = true;
    int left = ui_.members->viewport()->width();
    for (std::size_t column = 0; column < kColumnShareDivisors.size(); ++column) {
        const int width = left / kColumnShareDivisors[column];
        ui_.members->setColumnWidth(static_cast<int>(column), width);
        left -= width;
    }
    ui_.members->setColumnWidth(kMediaColumn, std::max(left, 0));
}

void CDevCompereCfgDlg::Load() {
    if (IsDeviceOffline(DeviceMac())) return;
    RefreshMembers();
    RefreshButtons();
    refresh_timer_.start();
}

void CDevCompereCfgDlg::OnRefreshTimer() {
    RefreshMembers();
    RefreshButtons();
}

void CDevCompereCfgDlg::OnRefreshClicked() {
    if (IsDeviceOffline(DeviceMac())) return;
    RefreshMembers();
    RefreshButtons();
}

// Lists the receiver's members again, keeping the tick on the same address.
void CDevCompereCfgDlg::RefreshMembers() {
    const int ticked = FirstTickedRow();
    const QString ticked_ip = ticked >= 0 ? Cell(ticked, kIpColumn) : QString();
    const QByteArray mac = DeviceMac();
    if (IsDeviceOffline(mac)) return;
    ui_.members->setRowCount(0);
    CompereList list{};
    const int result = Blocking([&] { return ZR_QM_GetCompereList(mac.constData(), &list); });
    if (result < 0) return;
    const int count = std::clamp(list.num, 0, ZR_QM_COMPERE_MAX);
    ui_.members->setRowCount(count);
    for (int row = 0; row < count; ++row) {
        const auto cells = MemberCells(list.devs[row]);
        auto *tick = new QTableWidgetItem;
        tick->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable); // ticked by the click rule only
        ui_.members->setItem(row, kTickColumn, tick);
        for (std::size_t i = 0; i < cells.size(); ++i) {
            auto *item = new QTableWidgetItem(cells[i]);
            item->setTextAlignment(Qt::AlignCenter);
            ui_.members->setItem(row, static_cast<int>(i) + 1, item);
        }
        SetTicked(row, !ticked_ip.isEmpty() && cells[0] == ticked_ip);
    }
}

void CDevCompereCfgDlg::RefreshButtons() {
    for (int row = 0; row < ui_.members->rowCount(); ++row)
        if (IsTicked(row)) SetButtonsFrom(row);
}

void CDevCompereCfgDlg::SetButtonsFrom(int row) {
    const QString type = Cell(row, kTypeColumn);
    if (const auto states = ButtonsFor(type, Cell(row, kVideoColumn)))
        for (std::size_t button = 0; button < states->size(); ++button)
            ui_.actions[button]->setEnabled((*states)[button]);
    if (type == QLatin1String("airplay")) ui_.actions[kSingleButton]->setEnabled(false);
}

// A click ticks the clicked row alone; a click on the ticked row unticks it.
void CDevCompereCfgDlg::OnRowClicked(int row) {
    if (row < 0 || row >= ui_.members->rowCount()) return;
    const bool was_ticked = IsTicked(row);
    for (int other = 0; other < ui_.members->rowCount(); ++other) SetTicked(other, false);
    if (was_ticked) return;
    SetTicked(row, true);
    SetButtonsFrom(row);
}

void CDevCompereCfgDlg::OnAction(int button) {
    const QByteArray mac = DeviceMac();
    if (IsDeviceOffline(mac)) return;
    RefreshMembers();
    const int row = FirstTickedRow();
    if (row < 0) { // also when the list is empty
        Notice(this, kNothingChosen);
        return;
    }
    CompereMember member{};
    WriteField(member.conn_ip, Cell(row, kIpColumn));
    WriteField(member.conn_type, Cell(row, kTypeColumn));
    int operation = button;
    if (button == kSoundButton)
        operation = Cell(row, kAudioColumn) == QLatin1String("true") ? kShareSoundOff : kShareSoundOn;
    const int result = Blocking([&] { return ZR_QM_SetCompereMember(mac.constData(), operation, &member); });
    if (result != 0) {
        Notice(this, QStringLiteral("操作失败！"));
        return;
    }
    Clock().Wait(kSettleMs); // the receiver needs a moment before its list shows the change
    RefreshMembers();
    RefreshButtons();
    Notice(this, QStringLiteral("操作成功！"));
}

void CDevCompereCfgDlg::SetTicked(int row, bool ticked) {
    if (QTableWidgetItem *item = ui_.members->item(row, kTickColumn))
        item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

bool CDevCompereCfgDlg::IsTicked(int row) const {
    const QTableWidgetItem *item = ui_.members->item(row, kTickColumn);
    return item && item->checkState() == Qt::Checked;
}

int CDevCompereCfgDlg::FirstTickedRow() const {
    for (int row = 0; row < ui_.members->rowCount(); ++row)
        if (IsTicked(row)) return row;
    return -1;
}

QString CDevCompereCfgDlg::Cell(int row, int column) const {
    const QTableWidgetItem *item = ui_.members->item(row, column);
    return item ? item->text() : QString();
}

} // namespace talvo
