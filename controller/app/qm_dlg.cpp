// The main window: its controls, layout, start and end.
#include "app/qm_dlg.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "app/group_tree.h"
#include "app/row_editors.h"
#include "common/column_widths.h"
#include "common/log.h"
#include "common/prompt.h"
#include "res/state_icons.h"

namespace talvo {
namespace {

constexpr char kLogUnit[] = "QMDlg";

QPushButton *Button(const char *text, QWidget *parent) {
    auto *button = new QPushButton(QString::fromUtf8(text), parent);
    button->setAutoDefault(false); // Enter runs no button of the main window
    return button;
}

QLineEdit *NumberBox(const char *name, QWidget *parent) {
    auto *box = new QLineEdit(QStringLiteral("0"), parent);
    box->setObjectName(QString::fromUtf8(name));
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignCenter);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 10); // up to 9999
    return box;
}

QLabel *Label(const char *text, QWidget *parent) { return new QLabel(QString::fromUtf8(text), parent); }

} // namespace

CQMDlg::CQMDlg(QWidget *parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(kProgramName));
    setWindowIcon(ProgramIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);
    setMinimumSize(800, 450);
    resize(1180, 660);

    BuildControls();
    BuildLayout();
    tree_->Build();
    ConnectControls();

    FillPage(Page::First);
    RefreshStateColumn();
    OnRefresh();
    StartTimers();
    list_->setFocus();
    ApplyUserType();
}

// The row editors watch the list's viewport: they go before the list does,
// so that no event of its destruction reaches them.
CQMDlg::~CQMDlg() { delete editors_; }

void CQMDlg::BuildControls() {
    model_ = new DeviceListModel(this);
    list_ = new QTableView(this);
    list_->setModel(model_);
    list_->setShowGrid(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setWordWrap(false);
    list_->setIconSize(QSize(20, 20));
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    list_->verticalHeader()->hide();
    list_->verticalHeader()->setDefaultSectionSize(24);
    list_->horizontalHeader()->setSectionsMovable(true);
    list_->horizontalHeader()->setSectionsClickable(true);
    list_->horizontalHeader()->setHighlightSections(false);
    list_->horizontalHeader()->setStretchLastSection(false);

    tree_ = new GroupTree(this);
    tree_->setFixedWidth(190);
    editors_ = new RowEditors(list_, model_, tree_);

    select_all_ = new QCheckBox(QStringLiteral("全选"), this);
    invert_ = new QCheckBox(QStringLiteral("反选"), this);
    refresh_ = Button("刷新", this);
    manual_add_ = Button("手动添加设备", this);
    delete_ = Button("删除设备", this);
    search_ = Button("搜索新设备", this);
    users_ = Button("用户管理", this);
    status_ = Button("查看设备状态", this);
    configure_ = Button("设备配置", this);
    batch_ = Button("批量操作", this);
    // Offered so that shared desks can hand over without leaving the program,
    // and so that every device of a fleet above one page can be reached.
    log_out_ = Button("注销", this);
    previous_page_ = Button("上一页", this);
    next_page_ = Button("下一页", this);
    previous_page_->hide();
    next_page_->hide();
    running_ = NumberBox("running", this);
    casting_ = NumberBox("casting", this);
    offline_ = NumberBox("offline", this);
    rows_ = NumberBox("rows", this);
    version_ = Label("版本：1.3.4", this);
}

void CQMDlg::BuildLayout() {
    auto *top = new QHBoxLayout;
    top->setSpacing(4); // the whole row fits the smallest window
    for (QWidget *control : std::initializer_list<QWidget *>{select_all_, invert_, refresh_, manual_add_, delete_, search_})
        top->addWidget(control);
    top->addStretch(1);
    top->addWidget(Label("正在运行：", this));
    top->addWidget(running_);
    top->addSpacing(4);
    top->addWidget(Label("正在投屏：", this));
    top->addWidget(casting_);
    top->addSpacing(4);
    top->addWidget(Label("掉线：", this));
    top->addWidget(offline_);

    auto *bottom = new QHBoxLayout;
    for (QWidget *control :
         std::initializer_list<QWidget *>{users_, status_, configure_, batch_, log_out_, previous_page_, next_page_})
        bottom->addWidget(control);
    bottom->addStretch(1);
    bottom->addWidget(Label("分组设备个数：", this));
    bottom->addWidget(rows_);

    auto *grid = new QGridLayout(this);
    grid->addLayout(top, 0, 0, 1, 2);
    grid->addWidget(tree_, 1, 0);
    grid->addWidget(list_, 1, 1);
    grid->addWidget(version_, 2, 0);
    grid->addLayout(bottom, 2, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);
}

void CQMDlg::ConnectControls() {
    connect(select_all_, &QCheckBox::clicked, this, &CQMDlg::OnSelectAll);
    connect(invert_, &QCheckBox::clicked, this, &CQMDlg::OnInvertTicks);
    connect(refresh_, &QPushButton::clicked, this, &CQMDlg::OnRefresh);
    connect(manual_add_, &QPushButton::clicked, this, &CQMDlg::OnManualAdd);
    connect(delete_, &QPushButton::clicked, this, &CQMDlg::OnDelete);
    connect(search_, &QPushButton::clicked, this, &CQMDlg::OnSearch);
    connect(users_, &QPushButton::clicked, this, &CQMDlg::OnUserAdministration);
    connect(status_, &QPushButton::clicked, this, &CQMDlg::OnShowStatus);
    connect(configure_, &QPushButton::clicked, this, &CQMDlg::OnConfigure);
    connect(batch_, &QPushButton::clicked, this, &CQMDlg::OnBatch);
    connect(log_out_, &QPushButton::clicked, this, &CQMDlg::OnLogOutClicked);
    connect(previous_page_, &QPushButton::clicked, this, &CQMDlg::OnPreviousPage);
    connect(next_page_, &QPushButton::clicked, this, &CQMDlg::OnNextPage);
    connect(list_, &QTableView::clicked, this, &CQMDlg::OnRowClicked);
    connect(list_, &QTableView::customContextMenuRequested, this, &CQMDlg::OnListContextMenu);
    connect(list_->horizontalHeader(), &QHeaderView::sectionClicked, this, &CQMDlg::OnHeaderClicked);
    connect(tree_, &QTreeWidget::itemSelectionChanged, this, &CQMDlg::OnGroupSelected);
    connect(editors_, &RowEditors::RowRemoved, this, &CQMDlg::ShowRowCount);
    connect(&state_timer_, &QTimer::timeout, this, &CQMDlg::OnStateTimer);
    connect(&display_timer_, &QTimer::timeout, this, &CQMDlg::OnDisplayTimer);
}

void CQMDlg::ApplyUserType() {
    int type = ZR_QM_GetCurUserType();
    if (type < ZR_QM_USER_SUPER_ADMIN || type > ZR_QM_USER_ORDINARY)
        TALVO_LOG("[%s]:[%d]ZR_QM_GetCurUserType failed.\n");
    if (type != ZR_QM_USER_ORDINARY) return;
    for (QPushButton *button : {configure_, batch_, manual_add_, delete_, search_}) button->hide();
}

void CQMDlg::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    SizeColumnsOnce();
}

// Columns take their shares of the list's width once, when the window first
// shows; later resizing leaves them alone.
void CQMDlg::SizeColumnsOnce() {
    if (columns_sized_) return;
    columns_sized_ = true;
    SizeColumnsByFractions(*list_, {1.0 / 35, 1.0 / 10, 1.0 / 9, 1.0 / 9, 1.0 / 11, 1.0 / 10, 1.0 / 9, 1.0 / 15,
                                    1.0 / 15, 1.0 / 14, 1.0 / 12}); // column 11 takes the rest
}

void CQMDlg::StartTimers() {
    state_timer_.start(kStateTimerMs);
    display_timer_.start(kDisplayTimerMs);
}

void CQMDlg::StopTimers() {
    state_timer_.stop();
    display_timer_.stop();
}

void CQMDlg::OnStateTimer() { ZR_QM_UpdateAllDeviceState(); }

void CQMDlg::OnDisplayTimer() { SendDisplayRefresh(); }

bool CQMDlg::LogOut() {
    if (ZR_QM_Logout() != 0) {
        Notice(this, QStringLiteral("注销失败！"));
        return false;
    }
    StopTimers();
    accept();
    return true;
}

void CQMDlg::OnLogOutClicked() {
    if (ConfirmOkCancel(this, QStringLiteral("确认要注销用户吗?"))) LogOut();
}

void CQMDlg::LogOutSilently() {
    int result = ZR_QM_Logout();
    if (result != 0) TALVO_LOG("[%s]:[%d]ZR_QM_Logout failed, error id: 0x%x.\n", static_cast<unsigned>(result));
}

// Exit through the close box: the program ends, the login window with it.
void CQMDlg::closeEvent(QCloseEvent *event) {
    event->ignore();
    if (!ConfirmOkCancel(this, QStringLiteral("确认要退出吗?"))) return;
    StopTimers();
    if (auto *login = qobject_cast<QDialog *>(parentWidget())) login->reject();
    LogOutSilently();
    event->accept();
    done(QDialog::Rejected);
}

// The cancel path (Escape) logs the operator out before it returns to the
// login window, so that the next log-in there is not refused because an
// operator is still logged in.
void CQMDlg::reject() {
    StopTimers();
    LogOutSilently();
    QDialog::reject();
}

} // namespace talvo
