#include "app/main_window_of.h"

#include <QWidget>

#include "app/qm_dlg.h"

namespace talvo {

CQMDlg *MainWindowOf(const QWidget *widget) {
    for (QWidget *above = widget ? widget->parentWidget() : nullptr; above; above = above->parentWidget())
        if (auto *main_window = qobject_cast<CQMDlg *>(above)) return main_window;
    return nullptr;
}

} // namespace talvo
