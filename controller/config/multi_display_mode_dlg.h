// The multi-display mode page (tab "组播设置"): one receiver sends its
// picture to others by multicast ("有线多屏显示"), by unicast ("无线多屏显示")
// or through RTSP, or receives from such a sender. Only the rows the chosen
// mode and direction need are shown.
#pragma once

#include <QByteArray>

#include "config/config_page.h"
#include "config/multi_display_rules.h"
#include "config/row_grid.h"
#include "korvel.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace talvo {

class IpAddressEdit;

class CMultiDisplayModeDlg : public ReloadingPage {
    Q_OBJECT

  public:
    static constexpr int kRtspLimit = sizeof(MulticastModeConfig::multi_display_rtsp_addr) - 1;

    struct Controls {
        QCheckBox *enabled;
        QComboBox *mode;
        QComboBox *direction;
        QCheckBox *audio;
        QCheckBox *unicast_output;
        IpAddressEdit *unicast_address;
        IpAddressEdit *multicast_address;
        QLineEdit *rtsp_address;
        QLineEdit *rtsp_server_address;
        QPushButton *save;
        QPushButton *cancel;
    };

    explicit CMultiDisplayModeDlg(QWidget *parent);

    const Controls &Ui() const { return ui_; }
    const RowGrid &Rows() const { return rows_; }

  public slots:
    void Load() override;
    void OnSave();
    void OnCancel() { CloseWindow(); }
    // Shows the rows the current choice needs.
    void LayOutRows();

  private:
    void BuildControls();
    void BuildRows();
    void FillModes(const QByteArray &model);
    void ShowValues(const QByteArray &model, const MulticastModeConfig &config);
    MultiDisplayChoice Choice() const;
    bool FillAddresses(const MultiDisplayChoice &choice, MulticastModeConfig &config);

    Controls ui_{};
    RowGrid rows_;
};

} // namespace talvo
