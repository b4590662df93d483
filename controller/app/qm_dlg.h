// The main window: the managed devices of the selected group in a list, the
// group tree beside it, three counters of the fleet's state, and the actions
// on devices. Two timers keep the library's device state (timer 1, 5 s) and
// the display (timer 2, 10 s) current; their tick handlers are public so that
// tests run a tick without waiting for it.
#pragma once

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <QTimer>

#include <array>
#include <cstdint>
#include <memory>

#include "app/device_list_model.h"
#include "app/window_opener.h"
#include "korvel.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QModelIndex;
class QPushButton;
class QTableView;

namespace talvo {

class GroupTree;
class RowEditors;

class CQMDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kPageRows = 1000;
    static constexpr int kStateTimerMs = 5000;   // timer 1
    static constexpr int kDisplayTimerMs = 10000; // timer 2
    enum class Page { First, Previous, Next };

    explicit CQMDlg(QWidget *parent = nullptr);
    ~CQMDlg() override;

    // ---- Operations for the windows opened from here ----
    // MAC of the device a single-device window works on.
    QByteArray CurrentDeviceMac() const { return current_mac_; }
    // Appends a row for every MAC not yet listed, in array order; a MAC the
    // library does not know is logged and skipped. The state cells of the new
    // rows stay empty until the next state refresh. -1 when `macs` is missing.
    int AppendDevices(const ZR_QM_MacText *macs, int count);
    // MACs of the ticked rows, first row first (the batch window's devices).
    QList<QByteArray> TickedMacs() const;
    void FillPage(Page page);
    void RefreshStateColumn();
    void ShowRowCount();
    // Logs the operator out and closes with OK, back to the login window;
    // the notice "注销失败！" when the library refuses.
    bool LogOut();

    DeviceListModel &DeviceList() { return *model_; }
    QTableView *DeviceListView() const { return list_; }
    GroupTree *Groups() const { return tree_; }
    RowEditors &Editors() { return *editors_; }
    QTimer &StateTimer() { return state_timer_; }
    QTimer &DisplayTimer() { return display_timer_; }
    // The list's context menu for a right click on `row` (-1: not on a row);
    // none for an ordinary user.
    std::unique_ptr<QMenu> ListMenu(int row);

public slots:
    void OnRefresh();      // "刷新": at most once per second
    void OnStateTimer();   // timer 1
    void OnDisplayTimer(); // timer 2
    // The last step of a display refresh: rows, state column, counters.
    void RefreshDisplay();
    void RefreshRows();
    void RefreshCounters();

    void OnSelectAll();
    void OnInvertTicks();
    void OnRowClicked(const QModelIndex &index);
    void OnHeaderClicked(int column);

    void OnShowStatus();
    void OnConfigure();
    void OnBatch();
    void OnDelete();
    void OnSearch();
    void OnManualAdd();
    void OnUserAdministration();
    void OnLogOutClicked();
    void OnPreviousPage();
    void OnNextPage();
    void OnGroupSelected();
    // Entry `index` of the "移动到分组" submenu: the selected rows move to
    // that group of the library's list.
    void OnMoveToGroup(int index);

protected:
    void closeEvent(QCloseEvent *event) override; // exit, after a question
    void reject() override;                       // Escape
    void keyPressEvent(QKeyEvent *event) override; // Enter commits the row editors
    void showEvent(QShowEvent *event) override;

private:
    void BuildControls();
    void BuildLayout();
    void ConnectControls();
    void ApplyUserType();
    void SizeColumnsOnce();
    void StartTimers();
    void StopTimers();
    void SendDisplayRefresh();
    void UpdatePaging(int devices_in_node);
    void LogOutSilently();

    // Single-device actions: the one ticked row becomes the current device.
    bool PickSingleTickedDevice();
    void OpenForCurrentDevice(void (WindowOpener::*open)(CQMDlg &));
    void OpenFromMenu(int row, void (WindowOpener::*open)(CQMDlg &));
    void OnListContextMenu(const QPoint &position);
    void AddMoveToGroupMenu(QMenu &menu);

    DeviceListModel *model_ = nullptr;
    QTableView *list_ = nullptr;
    GroupTree *tree_ = nullptr;
    RowEditors *editors_ = nullptr;
    QCheckBox *select_all_ = nullptr;
    QCheckBox *invert_ = nullptr;
    QPushButton *refresh_ = nullptr;
    QPushButton *manual_add_ = nullptr;
    QPushButton *delete_ = nullptr;
    QPushButton *search_ = nullptr;
    QPushButton *users_ = nullptr;
    QPushButton *status_ = nullptr;
    QPushButton *configure_ = nullptr;
    QPushButton *batch_ = nullptr;
    QPushButton *log_out_ = nullptr;
    QPushButton *previous_page_ = nullptr;
    QPushButton *next_page_ = nullptr;
    QLineEdit *running_ = nullptr;
    QLineEdit *casting_ = nullptr;
    QLineEdit *offline_ = nullptr;
    QLineEdit *rows_ = nullptr;
    QLabel *version_ = nullptr;

    QTimer state_timer_;
    QTimer display_timer_;
    QByteArray current_mac_;
    std::array<bool, DeviceListModel::kColumnCount> sort_ascending_{};
    int right_click_row_ = -1;
    bool columns_sized_ = false;

    // Process-wide: the time of the last refresh action, in whole seconds.
    inline static std::int64_t last_refresh_time_ = 0;
};

} // namespace talvo
