#include "app/device_list_model.h"

#include <QIcon>

#include <algorithm>
#include <numeric>

#include "common/cp936.h"
#include "res/state_icons.h"

namespace talvo {
namespace {

struct ColumnDefinition {
    const char *header;
    CompareKind compare;
    Qt::Alignment alignment;
};

constexpr Qt::Alignment kCentre = Qt::AlignCenter;
constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;

const std::array<ColumnDefinition, DeviceListModel::kColumnCount> &Columns() {
    static const std::array<ColumnDefinition, DeviceListModel::kColumnCount> columns = {{
        {"", CompareKind::None, kCentre},
        {"分组名称", CompareKind::Text, kCentre},
        {"主机名称", CompareKind::Text, kCentre},
        {"WIFI SSID", CompareKind::Text, kCentre},
        {"设备类型", CompareKind::Text, kCentre},
        {"IP地址", CompareKind::Ipv4, kCentre},
        {"MAC地址", CompareKind::Text, kCentre},
        {"版本", CompareKind::VersionThenText, kCentre},
        {"状态", CompareKind::Text, kCentre},
        {"运行时间", CompareKind::Duration, kCentre},
        {"上线/下线时间", CompareKind::Duration, kCentre},
        {"重启次数", CompareKind::Integer, kLeft},
    }};
    return columns;
}

} // namespace

DeviceListModel::DeviceListModel(QObject *parent) : QAbstractTableModel(parent) {}

CompareKind DeviceListModel::ColumnCompare(int column) {
    if (column < 0 || column >= kColumnCount) return CompareKind::None;
    return Columns()[static_cast<std::size_t>(column)].compare;
}

int DeviceListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int DeviceListModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant DeviceListModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || !ValidRow(index.row())) return {};
    const Row &row = rows_[static_cast<std::size_t>(index.row())];
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return column == kTickColumn ? QVariant() : QVariant(row.texts[static_cast<std::size_t>(column)]);
    case Qt::CheckStateRole:
        return column == kTickColumn ? QVariant(row.ticked ? Qt::Checked : Qt::Unchecked) : QVariant();
    case Qt::DecorationRole:
        return column == kStateColumn && row.icon != kNoIcon ? QVariant(StateIconImage(row.icon)) : QVariant();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Columns()[static_cast<std::size_t>(column)].alignment);
    default:
        return {};
    }
}

bool DeviceListModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (!index.isValid() || index.column() != kTickColumn || role != Qt::CheckStateRole) return false;
    SetTicked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

QVariant DeviceListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) return {};
    if (role == Qt::DisplayRole) return QString::fromUtf8(Columns()[static_cast<std::size_t>(section)].header);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Columns()[static_cast<std::size_t>(section)].alignment);
    return {};
}

Qt::ItemFlags DeviceListModel::flags(const QModelIndex &index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == kTickColumn) flags |= Qt::ItemIsUserCheckable;
    return flags;
}

DeviceListModel::Row DeviceListModel::RowOf(const DeviceInfo &record) {
    Row row;
    FillInformation(row, record);
    SetCell(row, kMacColumn, FieldBytes(record.Wired_MacAddr));
    return row;
}

void DeviceListModel::FillInformation(Row &row, const DeviceInfo &record) {
    SetCell(row, kGroupColumn, FieldBytes(record.Device_Group));
    SetCell(row, kAliasColumn, FieldBytes(record.Device_Alias));
    SetCell(row, kSsidColumn, FieldBytes(record.Wifi_SSID));
    SetCell(row, kModelColumn, FieldBytes(record.Device_Type));
    SetCell(row, kIpColumn, FieldBytes(record.Wired_IpAddr));
    SetCell(row, kVersionColumn, FieldBytes(record.Device_Ver));
    SetCell(row, kRunTimeColumn, ToCp936(FormatDuration(record.RunTime)));
    SetCell(row, kStateTimeColumn, ToCp936(FormatDuration(record.StateDuration)));
    SetCell(row, kRebootColumn, QByteArray::number(record.RebootCount));
}

bool DeviceListModel::SetCell(Row &row, int column, const QByteArray &bytes) {
    QByteArray &cell = row.bytes[static_cast<std::size_t>(column)];
    if (cell == bytes) return false;
    cell = bytes;
    row.texts[static_cast<std::size_t>(column)] = FromCp936(bytes);
    return true;
}

void DeviceListModel::SetDevices(const DeviceInfo *records, int count) {
    beginResetModel();
    rows_.clear();
    if (records != nullptr && count > 0) {
        rows_.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) rows_.push_back(RowOf(records[i]));
    }
    endResetModel();
}

void DeviceListModel::AppendDevice(const DeviceInfo &record) {
    const int row = static_cast<int>(rows_.size());
    beginInsertRows({}, row, row);
    rows_.push_back(RowOf(record));
    endInsertRows();
}

void DeviceListModel::UpdateDevice(int row, const DeviceInfo &record) {
    if (!ValidRow(row)) return;
    Row updated = rows_[static_cast<std::size_t>(row)];
    FillInformation(updated, record);
    if (updated.bytes == rows_[static_cast<std::size_t>(row)].bytes) return;
    rows_[static_cast<std::size_t>(row)] = std::move(updated);
    EmitRowChanged(row, kGroupColumn, kRebootColumn);
}

void DeviceListModel::SetState(int row, const QByteArray &name, StateIcon icon) {
    if (!ValidRow(row)) return;
    Row &target = rows_[static_cast<std::size_t>(row)];
    bool changed = SetCell(target, kStateColumn, name);
    if (target.icon != icon) {
        target.icon = icon;
        changed = true;
    }
    if (changed) EmitRowChanged(row, kStateColumn, kStateColumn);
}

void DeviceListModel::SetCellText(int row, int column, const QByteArray &bytes) {
    if (!ValidRow(row) || column <= kTickColumn || column >= kColumnCount) return;
    if (SetCell(rows_[static_cast<std::size_t>(row)], column, bytes)) EmitRowChanged(row, column, column);
}

void DeviceListModel::RemoveDevice(int row) {
    if (!ValidRow(row)) return;
    beginRemoveRows({}, row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

int DeviceListModel::FindMac(const QByteArray &mac) const {
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].bytes[kMacColumn] == mac) return static_cast<int>(i);
    return -1;
}

QByteArray DeviceListModel::Cell(int row, int column) const {
    if (!ValidRow(row) || column < 0 || column >= kColumnCount) return {};
    return rows_[static_cast<std::size_t>(row)].bytes[static_cast<std::size_t>(column)];
}

DeviceListModel::StateIcon DeviceListModel::Icon(int row) const {
    return ValidRow(row) ? rows_[static_cast<std::size_t>(row)].icon : kNoIcon;
}

bool DeviceListModel::IsTicked(int row) const { return ValidRow(row) && rows_[static_cast<std::size_t>(row)].ticked; }

void DeviceListModel::SetTicked(int row, bool ticked) {
    if (!ValidRow(row) || rows_[static_cast<std::size_t>(row)].ticked == ticked) return;
    rows_[static_cast<std::size_t>(row)].ticked = ticked;
    EmitRowChanged(row, kTickColumn, kTickColumn);
}

void DeviceListModel::TickAll() {
    for (Row &row : rows_) row.ticked = true;
    if (!rows_.empty()) emit dataChanged(index(0, kTickColumn), index(rowCount() - 1, kTickColumn));
}

void DeviceListModel::InvertTicks() {
    for (Row &row : rows_) row.ticked = !row.ticked;
    if (!rows_.empty()) emit dataChanged(index(0, kTickColumn), index(rowCount() - 1, kTickColumn));
}

bool DeviceListModel::AllTicked() const {
    return std::all_of(rows_.begin(), rows_.end(), [](const Row &row) { return row.ticked; });
}

QList<int> DeviceListModel::TickedRows() const {
    QList<int> ticked;
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].ticked) ticked.append(static_cast<int>(i));
    return ticked;
}

void DeviceListModel::Sort(int column, bool ascending) {
    const CompareKind kind = ColumnCompare(column);
    if (kind == CompareKind::None || rows_.size() < 2) return;
    // The rows' present positions are their sort keys; equal rows keep them.
    std::vector<int> order(rows_.size());
    std::iota(order.begin(), order.end(), 0);
    const auto column_index = static_cast<std::size_t>(column);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const QByteArray &left = rows_[static_cast<std::size_t>(a)].bytes[column_index];
        const QByteArray &right = rows_[static_cast<std::size_t>(b)].bytes[column_index];
        return (ascending ? CompareCells(kind, left, right) : CompareCells(kind, right, left)) < 0;
    });

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> new_position(rows_.size());
    std::vector<Row> sorted;
    sorted.reserve(rows_.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        new_position[static_cast<std::size_t>(order[i])] = static_cast<int>(i);
        sorted.push_back(std::move(rows_[static_cast<std::size_t>(order[i])]));
    }
    rows_ = std::move(sorted);
    const QModelIndexList persistent = persistentIndexList();
    QModelIndexList moved;
    moved.reserve(persistent.size());
    for (const QModelIndex &old : persistent)
        moved.append(index(new_position[static_cast<std::size_t>(old.row())], old.column()));
    changePersistentIndexList(persistent, moved);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void DeviceListModel::EmitRowChanged(int row, int first, int last) {
    emit dataChanged(index(row, first), index(row, last));
}

} // namespace talvo
