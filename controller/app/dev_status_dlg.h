// "设备状态": the network state of the main window's current device as the
// receiver reports it when the window opens, read only, in four sections:
// Wi-Fi hotspot, wired interface, Wi-Fi station interface and version.
// Which sections show depends on which interface addresses the receiver has;
// hidden sections collapse and the window fits what is left.
#pragma once

#include <QDialog>

#include "korvel.h"

class QGroupBox;
class QLabel;
class QLineEdit;

namespace talvo {

class CQMDlg;

class CDevStatusDlg : public QDialog {
    Q_OBJECT

public:
    enum Section { kHotspot, kWired, kStation, kVersion, kSectionCount };

    explicit CDevStatusDlg(CQMDlg *owner);

    QGroupBox *SectionBox(Section section) const { return sections_[section]; }
    // The "信号强度" label and box of the hotspot section.
    QLabel *SignalLabel() const { return signal_label_; }
    QLineEdit *SignalBox() const { return signal_box_; }

private:
    void BuildSections();
    void Fill(const DeviceNetStatus &status);
    void ShowSignalStrength(const QByteArray &mac, const DeviceNetStatus &status);
    void ShowVersion(const QByteArray &mac);
    void ApplySectionRule(const DeviceNetStatus &status);

    QGroupBox *sections_[kSectionCount] = {};
    QLabel *signal_label_ = nullptr;
    QLineEdit *signal_box_ = nullptr;
};

} // namespace talvo
