// The main window's part in arranging groups: the "移动到分组" submenu of the
// list's context menu, and Enter committing the list's in-place editors.
#include <QKeyEvent>
#include <QMenu>
#include <QTableView>

#include "app/group_tree.h"
#include "app/qm_dlg.h"
#include "app/row_editors.h"
#include "common/cp936.h"
#include "common/log.h"

namespace talvo {
namespace {

constexpr char kLogUnit[] = "QMDlg";
// Only the first 32 entries of the submenu have an action.
constexpr int kMoveEntriesWithAction = 32;

QList<QByteArray> GroupNames() {
    QList<QByteArray> names;
    GroupTree::ReadGroupList(names); // none when the library fails
    return names;
}

} // namespace

void CQMDlg::AddMoveToGroupMenu(QMenu &menu) {
    QMenu *groups = menu.addMenu(QStringLiteral("移动到分组"));
    const QList<QByteArray> names = GroupNames();
    for (int i = 0; i < names.size(); ++i) {
        QAction *entry = groups->addAction(FromCp936(names[i]));
        if (i < kMoveEntriesWithAction) connect(entry, &QAction::triggered, this, [this, i] { OnMoveToGroup(i); });
    }
}

void CQMDlg::OnMoveToGroup(int index) {
    const QList<QByteArray> names = GroupNames(); // the list may have changed while the menu was up
    if (index < 0 || index >= names.size()) return;
    const QByteArray &group = names[index];
    const QModelIndexList selected = list_->selectionModel()->selectedRows();
    for (const QModelIndex &row : selected) {
        if (ZR_QM_MoveDevToNewGroup(model_->Mac(row.row()).constData(), group.constData()) < 0)
            TALVO_LOG("[%s]:[%d]ZR_QM_MoveDevToNewGroup failed.\n");
        model_->SetCellText(row.row(), DeviceListModel::kGroupColumn, group);
    }
    if (selected.isEmpty()) return;
    FillPage(Page::First);
    RefreshStateColumn();
}

// Enter commits the list's editors as a loss of their focus would, and
// never closes the window.
void CQMDlg::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        editors_->CommitAll();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace talvo
