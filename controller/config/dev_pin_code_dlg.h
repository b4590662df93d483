// The pin code page (tab "投屏码设置"): whether a sender must type the
// receiver's four-digit casting code. The receiver chooses the code; the
// page only shows it.
#pragma once

#include "config/config_page.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace talvo {

class CDevPinCodeDlg : public ReloadingPage {
    Q_OBJECT

  public:
    static constexpr int kCodeLimit = 4;

    struct Controls {
        QCheckBox *enabled;
        QLineEdit *code;
        QPushButton *save;
        QPushButton *cancel;
    };

    explicit CDevPinCodeDlg(QWidget *parent);

    const Controls &Ui() const { return ui_; }

  public slots:
    void Load() override;
    void OnSave();
    void OnCancel() { CloseWindow(); }
    void OnEnabledClicked();

  private:
    Controls ui_{};
};

} // namespace talvo
