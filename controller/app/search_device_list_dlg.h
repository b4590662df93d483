// "搜索新设备": the receivers that answered the main window's search, from
// which the operator adds the ticked ones to the managed devices. The window
// may add several times; each addition appends rows to the main window's
// list at once.
#pragma once

#include <QDialog>

#include <array>

class QCheckBox;
class QTreeWidget;
class QTreeWidgetItem;

namespace talvo {

class CQMDlg;

class CSearchDeviceListDlg : public QDialog {
    Q_OBJECT

public:
    enum Column { kTickColumn = 0, kSsidColumn, kModelColumn, kIpColumn, kMacColumn, kVersionColumn, kColumnCount };
    static constexpr int kOpeningWaitMs = 500; // the search's answers arrive meanwhile
    static constexpr int kRefreshWaitMs = 1000;

    explicit CSearchDeviceListDlg(CQMDlg *owner);

    QTreeWidget *ResultList() const { return list_; }
    // The library's text of a result cell (code page 936).
    static QByteArray CellBytes(const QTreeWidgetItem *row, int column);

public slots:
    void Fill();
    void OnRefresh();         // "刷新"
    void OnAddToDeviceList(); // "添加到设备列表"
    void OnSelectAll();       // "全选": ticks and selects, or unticks and deselects, every row
    void OnInvertTicks();     // "反选"
    void OnHeaderClicked(int column);

private:
    void BuildLayout();
    void OnRowClicked(QTreeWidgetItem *row, int column);

    CQMDlg *owner_;
    QTreeWidget *list_ = nullptr;
    QCheckBox *select_all_ = nullptr;
    QCheckBox *invert_ = nullptr;
    std::array<bool, kColumnCount> sort_ascending_{};
};

} // namespace talvo
