// The host mode page (tab "主持人模式"): the senders connected to the
// receiver (laptops, phones, hardware casting buttons), refreshed every 5 s
// while the page is chosen, and the actions on one ticked sender: start or
// stop its cast, give it the whole screen, share its sound.
#pragma once

#include <QString>
#include <QTimer>

#include <array>

#include "config/config_page.h"
#include "config/host_mode_rules.h"

class QPushButton;
class QTableWidget;

namespace talvo {

class CDevCompereCfgDlg : public ReloadingPage {
    Q_OBJECT

  public:
    static constexpr int kRefreshMs = 5000; // timer 32
    static constexpr int kSettleMs = 500;   // wait after an action before the list is read again

    enum Button { kCastButton, kStopButton, kSingleButton, kSoundButton, kActionButtonCount };

    struct Controls {
        QTableWidget *members;
        QPushButton *refresh;
        std::array<QPushButton *, kActionButtonCount> actions; // "投屏", "退屏", "单屏", "声音分享"
    };

    explicit CDevCompereCfgDlg(QWidget *parent);

    const Controls &Ui() const { return ui_; }
    QTimer &RefreshTimer() { return refresh_timer_; }
    void StopRefreshTimer() { refresh_timer_.stop(); }

  public slots:
    // Lists the members and starts the refresh timer; nothing when offline.
    void Load() override;
    void OnRefreshTimer();
    void OnRefreshClicked();
    void OnRowClicked(int row);
    void OnAction(int button);

  protected:
    void showEvent(QShowEvent *event) override;

  private:
    void BuildControls();
    void SizeColumnsOnce();
    void RefreshMembers();
    void RefreshButtons();
    void SetButtonsFrom(int row);
    void SetTicked(int row, bool ticked);
    bool IsTicked(int row) const;
    int FirstTickedRow() const;
    QString Cell(int row, int column) const;

    Controls ui_{};
    QTimer refresh_timer_;
    bool columns_sized_ = false;
};

} // namespace talvo
