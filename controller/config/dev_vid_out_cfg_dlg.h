// The video output page (tab "视频输出配置"): resolutions, on-screen display,
// VGA gain, sharpness, volume, display mode, rotation, automatic full screen
// and automatic shut-down. Rows, lists and the fields Save writes follow the
// device's model; the page is laid out for the model once, when it is made.
#pragma once

#include <QByteArray>

#include <array>

#include "config/config_page.h"
#include "config/row_grid.h"
#include "config/video_models.h"
#include "korvel.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace talvo {

class CDevVidOutCfgDlg : public ReloadingPage {
    Q_OBJECT

  public:
    static constexpr int kSecondsLimit = 4;

    // The four track bars, in the order of their rows.
    enum Bar { kOsdTransparencyBar, kVgaGainBar, kSharpnessBar, kVolumeBar, kBarCount };

    struct Controls {
        QComboBox *hdmi;
        QComboBox *vga;
        QCheckBox *osd_on;
        std::array<QSlider *, kBarCount> bars;
        std::array<QLabel *, kBarCount> bar_texts;
        QComboBox *display_mode;
        QComboBox *rotation;
        QCheckBox *auto_fullscreen;
        QCheckBox *auto_shutdown;
        QLineEdit *shutdown_seconds;
        QPushButton *save;
        QPushButton *cancel;
    };

    explicit CDevVidOutCfgDlg(QWidget *parent);

    const Controls &Ui() const { return ui_; }
    const RowGrid &Rows() const { return rows_; }
    // The model the page was laid out for; nullptr for a model it does not know.
    const VideoModel *Model() const { return model_; }

  public slots:
    void Load() override;
    void OnSave();
    void OnCancel() { CloseWindow(); }
    void OnOsdClicked();
    void OnAutoShutdownClicked();
    void OnBarMoved();

  private:
    void BuildControls();
    void BuildRows();
    void FillLists();
    void LayOutRows();
    void ShowValues(const QByteArray &model, const VideoOutConfig &config);
    void ReadCurrentSettings(const QByteArray &mac);
    void FillRecord(const VideoModel *model, VideoOutConfig &next) const;

    Controls ui_{};
    RowGrid rows_;
    const VideoModel *model_ = nullptr;
};

} // namespace talvo
