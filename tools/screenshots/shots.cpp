#include "shots.h"

#include <QDialog>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>

#include <memory>
#include <string>
#include <vector>

#include "app/group_tree.h"
#include "app/login_dlg.h"
#include "app/qm_dlg.h"
#include "app/window_opener.h"
#include "common/cp936.h"
#include "korvel.h"

namespace talvo::screenshots {
namespace {

constexpr int kMainWidth = 1360;
constexpr int kMainHeight = 780;

std::string Lower(std::string text) {
    for (char &c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Ticks exactly the rows of `macs`, so that the window's single-device and
// batch actions work on them.
void TickOnly(CQMDlg &window, const std::vector<std::string> &macs) {
    DeviceListModel &list = window.DeviceList();
    for (int row = 0; row < list.rowCount(); ++row) {
        bool wanted = false;
        for (const std::string &mac : macs) wanted = wanted || list.Mac(row) == QByteArray::fromStdString(mac);
        list.SetTicked(row, wanted);
    }
}

// Every tab of a window with tabs, or the window itself.
void SaveEveryTab(Capture &capture, QDialog &window, const QString &name, int first_tab = 0, int last_tab = 99) {
    auto *tabs = window.findChild<QTabWidget *>();
    if (tabs == nullptr) {
        capture.Save(window, name);
        return;
    }
    for (int tab = first_tab; tab < tabs->count() && tab <= last_tab; ++tab) {
        tabs->setCurrentIndex(tab);
        Settle(600);
        capture.Save(window, QStringLiteral("%1_%2").arg(name).arg(tab));
    }
}

void LoginWindow(Capture &capture) {
    CLoginDlg login;
    login.UserNameBox()->setText(QStringLiteral("admin"));
    login.PasswordBox()->setText(QStringLiteral("pelun"));
    login.show();
    capture.Save(login, QStringLiteral("login"));
}

void MainWindows(Capture &capture, CQMDlg &main) {
    capture.Save(main, QStringLiteral("main_window"));
    GroupTree &tree = *main.Groups();
    if (QTreeWidgetItem *group = tree.FindGroup(ToCp936(QStringLiteral("会议室")))) {
        tree.setCurrentItem(group);
        main.OnGroupSelected();
        main.RefreshDisplay();
        capture.Save(main, QStringLiteral("main_window_group"));
        tree.setCurrentItem(tree.Root());
        main.OnGroupSelected();
        main.RefreshDisplay();
    }
}

void SingleDeviceWindows(Capture &capture, CQMDlg &main, const ShowcaseFleet &fleet) {
    TickOnly(main, {fleet.MacOf("TALVO_SX")});
    capture.WhileModal([&] { main.OnShowStatus(); },
                       [&](QDialog &window) { capture.Save(window, QStringLiteral("status")); });
    for (const std::string &model : talvo_sim::ModelNames()) {
        TickOnly(main, {fleet.MacOf(model)});
        const QString name = QStringLiteral("configuration_%1").arg(QString::fromStdString(Lower(model.substr(6))));
        const bool with_maintenance = model == "TALVO_SX";
        capture.WhileModal([&] { main.OnConfigure(); },
                           [&](QDialog &window) { SaveEveryTab(capture, window, name, 0, with_maintenance ? 9 : 4); });
    }
}

void BatchWindow(Capture &capture, CQMDlg &main, const ShowcaseFleet &fleet) {
    std::vector<std::string> same_model;
    for (const ShowcaseDevice &device : fleet.Devices())
        if (device.model == "TALVO_JX" && device.expected_state != ZR_QM_STATE_OFFLINE) same_model.push_back(device.mac);
    TickOnly(main, same_model);
    capture.WhileModal([&] { main.OnBatch(); },
                       [&](QDialog &window) { SaveEveryTab(capture, window, QStringLiteral("batch")); });
    TickOnly(main, {});
}

void FleetWindows(Capture &capture, CQMDlg &main) {
    capture.WhileModal([&] { main.OnSearch(); },
                       [&](QDialog &window) {
                           Settle(1500);
                           capture.Save(window, QStringLiteral("search"));
                       });
    capture.WhileModal([&] { main.OnManualAdd(); },
                       [&](QDialog &window) { capture.Save(window, QStringLiteral("manual_add")); });
    capture.WhileModal([&] { main.OnUserAdministration(); },
                       [&](QDialog &window) { capture.Save(window, QStringLiteral("users")); });
    capture.WhileModal([&] { Windows().ChangeOwnPassword(main); },
                       [&](QDialog &window) { capture.Save(window, QStringLiteral("own_password")); });
}

std::unique_ptr<CQMDlg> ShownMainWindow() {
    auto main = std::make_unique<CQMDlg>();
    main->resize(kMainWidth, kMainHeight);
    main->show();
    Settle(500);
    main->RefreshDisplay();
    return main;
}

void OrdinaryUserWindow(Capture &capture) {
    ZR_QM_Logout();
    if (ZR_QM_Login("zhangwei", "meeting2026") < 0) return;
    auto main = ShownMainWindow();
    capture.Save(*main, QStringLiteral("main_window_ordinary_user"));
}

void AddOperators() {
    ZR_QM_AddUser("liming", "admin2026", ZR_QM_USER_ADMIN);
    ZR_QM_AddUser("zhangwei", "meeting2026", ZR_QM_USER_ORDINARY);
    ZR_QM_AddUser("wangfang", "meeting2026", ZR_QM_USER_ORDINARY);
}

} // namespace

void TakeAll(Capture &capture, ShowcaseFleet &fleet) {
    AddOperators();
    LoginWindow(capture);
    {
        auto main = ShownMainWindow();
        MainWindows(capture, *main);
        SingleDeviceWindows(capture, *main, fleet);
        BatchWindow(capture, *main, fleet);
        FleetWindows(capture, *main);
    }
    OrdinaryUserWindow(capture);
}

} // namespace talvo::screenshots
