// The main window above a window or page, found through the parent chain
// (page, tab control, configuration or batch window, main window). Pages read
// the main window's current device and ticked rows at the moment they act.
#pragma once

class QWidget;

namespace talvo {

class CQMDlg;

// Nullptr when no main window is above `widget`.
CQMDlg *MainWindowOf(const QWidget *widget);

} // namespace talvo
