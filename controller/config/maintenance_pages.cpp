#include "config/maintenance_pages.h"

#include <QWidget>

namespace talvo {
namespace {

// Stands in for a maintenance page that is not built yet: an empty page, so
// that its tab exists and nothing on it claims that an action took place.
QWidget *PendingPage(QWidget *parent, const char *page_class) {
    auto *page = new QWidget(parent);
    page->setObjectName(QString::fromUtf8(page_class));
    return page;
}

} // namespace

QWidget *CreateRestoreFactoryPage(QWidget *parent) { return PendingPage(parent, "CDevRestoreFactoryDlg"); }

QWidget *CreateChangePasswordPage(QWidget *parent) { return PendingPage(parent, "CDevChangePwdDlg"); }

QWidget *CreateScreenPage(QWidget *parent) { return PendingPage(parent, "CDevScreenDlg"); }

QWidget *CreateRebootPage(QWidget *parent) { return PendingPage(parent, "CDevRebootDlg"); }

QWidget *CreateSystemUpdatePage(QWidget *parent) { return PendingPage(parent, "CDevSystemUpdateDlg"); }

} // namespace talvo
