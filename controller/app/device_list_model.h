// The rows of the main window's device list: one managed device each, with a
// tick, the texts of its twelve columns and the state icon. Cells keep the
// library's code page 936 bytes beside the text shown, so sorting compares
// bytes and the MAC goes back to the library exactly as it came.
#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <vector>

#include "app/cell_compare.h"
#include "korvel.h"

namespace talvo {

class DeviceListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column {
        kTickColumn = 0,
        kGroupColumn,
        kAliasColumn,
        kSsidColumn,
        kModelColumn,
        kIpColumn,
        kMacColumn,
        kVersionColumn,
        kStateColumn,
        kRunTimeColumn,
        kStateTimeColumn,
        kRebootColumn,
        kColumnCount
    };
    // Icons of the state column: index 0 green, 1 orange, 2 grey.
    enum StateIcon { kNoIcon = -1, kGreenIcon = 0, kOrangeIcon = 1, kGreyIcon = 2 };

    explicit DeviceListModel(QObject *parent = nullptr);

    static CompareKind ColumnCompare(int column);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Replaces every row with the records; the state cells start empty.
    void SetDevices(const DeviceInfo *records, int count);
    // Adds a row at the end; its state cell stays empty.
    void AppendDevice(const DeviceInfo &record);
    // Rewrites the information columns of `row` (all but the MAC and the state).
    void UpdateDevice(int row, const DeviceInfo &record);
    void SetState(int row, const QByteArray &name, StateIcon icon);
    // Shows `bytes` in one text cell of `row` (the in-place editors' texts).
    void SetCellText(int row, int column, const QByteArray &bytes);
    void RemoveDevice(int row);

    QByteArray Mac(int row) const { return Cell(row, kMacColumn); }
    // First row whose MAC equals `mac` byte for byte, -1 when none.
    int FindMac(const QByteArray &mac) const;
    QByteArray Cell(int row, int column) const;
    StateIcon Icon(int row) const;

    bool IsTicked(int row) const;
    void SetTicked(int row, bool ticked);
    void TickAll();
    void InvertTicks();
    // True when every row is ticked, also for an empty list.
    bool AllTicked() const;
    QList<int> TickedRows() const;

    // Orders the rows by `column`, ascending or descending; rows that compare
    // equal keep their order. Selections follow their rows.
    void Sort(int column, bool ascending);

private:
    struct Row {
        bool ticked = false;
        StateIcon icon = kNoIcon;
        std::array<QByteArray, kColumnCount> bytes;
        std::array<QString, kColumnCount> texts;
    };

    static Row RowOf(const DeviceInfo &record);
    static void FillInformation(Row &row, const DeviceInfo &record);
    static bool SetCell(Row &row, int column, const QByteArray &bytes);
    bool ValidRow(int row) const { return row >= 0 && row < static_cast<int>(rows_.size()); }
    void EmitRowChanged(int row, int first, int last);

    std::vector<Row> rows_;
};

} // namespace talvo
