#include "app/row_editors.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTableView>

#include <algorithm>
#include <utility>

#include "app/device_list_model.h"
#include "app/group_tree.h"
#include "app/operator_rights.h"
#include "common/cp936.h"
#include "common/log.h"

namespace talvo {
namespace {

constexpr char kLogUnit[] = "QMDlg";
constexpr int kDropDownReach = 500; // pixels the group list reaches below its cell

bool IsEnter(const QEvent *event) {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Whether `widget` is `editor` or lies inside it, its own popups included
// (the drop-down's list is a window of its own below the combo box).
bool Within(const QWidget *widget, const QWidget *editor) {
    for (; widget != nullptr; widget = widget->parentWidget())
        if (widget == editor) return true;
    return false;
}

// A focus change inside the editor (the drop-down's own list, its line edit)
// is no loss of the focus.
bool FocusLeft(const QEvent *event, const QWidget *editor) {
    if (event->type() != QEvent::FocusOut) return false;
    if (static_cast<const QFocusEvent *>(event)->reason() == Qt::PopupFocusReason) return false;
    return !Within(QApplication::focusWidget(), editor);
}

// The entries of the group drop-down; "默认分组" alone when the library
// cannot give its list.
QStringList GroupEntries() {
    QList<QByteArray> names;
    if (!GroupTree::ReadGroupList(names)) {
        TALVO_LOG("[%s]:[%d]ZR_QM_GetGroupList failed.\n");
        return {QStringLiteral("默认分组")};
    }
    QStringList entries;
    for (const QByteArray &name : names) entries << FromCp936(name);
    return entries;
}

} // namespace

RowEditors::RowEditors(QTableView *list, DeviceListModel *model, GroupTree *tree)
    : QObject(list), list_(list), model_(model), tree_(tree) {
    list_->viewport()->installEventFilter(this); // double clicks, also beside the rows
}

RowEditors::~RowEditors() = default;

void RowEditors::OnDoubleClick(const QModelIndex &index) {
    if (!MayArrangeDevices()) return;
    const int column = index.isValid() ? index.column() : -1;
    if (column == DeviceListModel::kAliasColumn) {
        CloseGroup();
        if (IsOpenOn(alias_, index)) {
            alias_.editor->setFocus();
            return;
        }
        CloseAlias();
        OpenAlias(index);
    } else if (column == DeviceListModel::kGroupColumn) {
        CloseAlias();
        if (IsOpenOn(group_, index)) {
            group_.editor->setFocus();
            return;
        }
        CloseGroup();
        OpenGroup(index);
    } else {
        CloseAlias();
        CloseGroup();
    }
}

template <class Editor>
bool RowEditors::IsOpenOn(const OpenEditor<Editor> &open, const QModelIndex &index) const {
    return open.editor != nullptr && open.cell == index;
}

void RowEditors::OpenAlias(const QModelIndex &index) {
    auto *editor = new QLineEdit(list_->viewport());
    editor->setObjectName(QStringLiteral("alias_editor"));
    editor->setFont(list_->font());
    editor->setText(FromCp936(model_->Cell(index.row(), index.column())));
    alias_ = {editor, QPersistentModelIndex(index), model_->Mac(index.row())};
    Place(editor, index);
    Watch(editor);
    editor->setFocus();
    editor->end(false);
}

void RowEditors::OpenGroup(const QModelIndex &index) {
    auto *editor = new QComboBox(list_->viewport());
    editor->setObjectName(QStringLiteral("group_editor"));
    editor->setEditable(true);
    editor->setInsertPolicy(QComboBox::NoInsert); // a typed name is no entry of the list
    editor->setFont(list_->font());
    editor->addItems(GroupEntries());
    editor->setEditText(FromCp936(model_->Cell(index.row(), index.column())));
    group_ = {editor, QPersistentModelIndex(index), model_->Mac(index.row())};
    Place(editor, index);
    editor->setMaxVisibleItems(std::max(1, kDropDownReach / std::max(1, editor->height())));
    Watch(editor);
    Watch(editor->lineEdit());
    editor->setFocus();
    editor->showPopup();
}

// Covers the cell, one pixel inside on each side.
void RowEditors::Place(QWidget *editor, const QModelIndex &index) {
    editor->setGeometry(list_->visualRect(index).adjusted(1, 1, -1, -1));
    editor->show();
}

void RowEditors::Watch(QWidget *widget) {
    if (widget != nullptr) widget->installEventFilter(this);
}

bool RowEditors::eventFilter(QObject *watched, QEvent *event) {
    if (watched == list_->viewport()) {
        if (event->type() == QEvent::MouseButtonDblClick)
            OnDoubleClick(list_->indexAt(static_cast<QMouseEvent *>(event)->position().toPoint()));
        return false;
    }
    QLineEdit *alias = alias_.editor;
    QComboBox *group = group_.editor;
    const bool on_alias = alias != nullptr && watched == alias;
    const bool on_group = group != nullptr && (watched == group || watched == group->lineEdit());
    if ((on_alias || on_group) && IsEnter(event)) {
        CommitAll();
        return true;
    }
    if (on_alias && FocusLeft(event, alias)) OnAliasFocusLost();
    if (on_group && FocusLeft(event, group)) OnGroupFocusLost();
    return false;
}

void RowEditors::CommitAll() {
    if (alias_.editor != nullptr) OnAliasFocusLost();
    if (group_.editor != nullptr) OnGroupFocusLost();
}

void RowEditors::OnAliasFocusLost() {
    CloseGroup();
    if (alias_.editor == nullptr) return;
    // The library keeps at most 127 bytes of an alias and cuts the rest.
    if (ZR_QM_SaveDevAlias(alias_.mac.constData(), ToCp936(alias_.editor->text()).constData()) != 0)
        TALVO_LOG("[%s]:[%d]ZR_QM_SaveDevAlias failed.\n");
    CloseAlias();
}

void RowEditors::OnGroupFocusLost() {
    CloseAlias();
    if (group_.editor == nullptr) return;
    OpenEditor<QComboBox> open = std::exchange(group_, {});
    const QString text = open.editor->currentText();
    const int result = ZR_QM_MoveDevToNewGroup(open.mac.constData(), ToCp936(text).constData());
    if (result < 0) TALVO_LOG("[%s]:[%d]ZR_QM_MoveDevToNewGroup failed.\n");
    Close(open.editor, open.cell, text);
    QTreeWidgetItem *shown = tree_->SelectedNode();
    if (result > 0 && shown != nullptr && !tree_->IsRoot(shown) && open.cell.isValid()) {
        model_->RemoveDevice(open.cell.row()); // the device left the shown group
        emit RowRemoved();
    }
}

void RowEditors::CloseAlias() {
    if (alias_.editor == nullptr) return;
    OpenEditor<QLineEdit> open = std::exchange(alias_, {});
    Close(open.editor, open.cell, open.editor->text());
}

void RowEditors::CloseGroup() {
    if (group_.editor == nullptr) return;
    OpenEditor<QComboBox> open = std::exchange(group_, {});
    open.editor->hidePopup();
    Close(open.editor, open.cell, open.editor->currentText());
}

void RowEditors::Close(QWidget *editor, const QPersistentModelIndex &cell, const QString &text) {
    if (cell.isValid()) model_->SetCellText(cell.row(), cell.column(), ToCp936(text));
    const QWidget *focused = QApplication::focusWidget();
    const bool had_focus = Within(focused, editor);
    editor->removeEventFilter(this);
    if (auto *combo = qobject_cast<QComboBox *>(editor); combo && combo->lineEdit())
        combo->lineEdit()->removeEventFilter(this);
    editor->hide();
    editor->deleteLater(); // it may be running the event that closes it
    if (had_focus) list_->setFocus();
}

} // namespace talvo
