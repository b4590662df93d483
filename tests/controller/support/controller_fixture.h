// Fixture of the controller's widget tests: a fresh current directory for the
// library's store files, a started library, a simulated fleet on demand, and
// the program's seams answered by the test (message boxes, clock, windows).
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>
#include <QList>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/qm_dlg.h"
#include "app/window_opener.h"
#include "common/prompt.h"
#include "common/ui_clock.h"
#include "qt_printers.h"
#include "talvo_sim/fleet.h"
#include "temp_dir.h"

class QPushButton;
class QWidget;

namespace talvo::testing {

// Records every message box and answers it from a script (OK/Yes by default).
class ScriptedPrompter : public Prompter {
public:
    struct ShownPrompt {
        PromptKind kind;
        QString text;
    };
    bool Show(QWidget *parent, PromptKind kind, const QString &text) override;

    void Answer(bool answer) { answers_.push_back(answer); }
    const std::vector<ShownPrompt> &Shown() const { return shown_; }
    QStringList Texts() const;
    void Clear() { shown_.clear(); }

    // Runs once, while the next message box is up.
    std::function<void()> while_shown;

private:
    std::vector<ShownPrompt> shown_;
    std::deque<bool> answers_;
};

// A clock the test sets; waits return at once and are summed up.
class FakeClock : public UiClock {
public:
    FakeClock();
    std::int64_t NowSeconds() override { return now_; }
    void Wait(int milliseconds) override { waited_ += milliseconds; }

    void Advance(std::int64_t seconds) { now_ += seconds; }
    int Waited() const { return waited_; }

private:
    std::int64_t now_;
    int waited_ = 0;
};

// Records which window the main window asked for, with its current device.
class RecordingOpener : public WindowOpener {
public:
    struct OpenedWindow {
        QString window;
        QByteArray mac;
    };
    void DeviceStatus(CQMDlg &owner) override { Record("status", owner); }
    void DeviceConfiguration(CQMDlg &owner) override { Record("configuration", owner); }
    void Batch(CQMDlg &owner) override { Record("batch", owner); }
    void ManualAdd(CQMDlg &owner) override { Record("add", owner); }
    void SearchResults(CQMDlg &owner) override { Record("search", owner); }
    void UserAdministration(CQMDlg &owner) override { Record("users", owner); }
    void ChangeOwnPassword(CQMDlg &owner) override { Record("password", owner); }

    const std::vector<OpenedWindow> &Opened() const { return opened_; }
    QStringList Windows() const;
    // Runs inside the next window's opening, as the window would.
    std::function<void(CQMDlg &)> on_open;

private:
    void Record(const char *window, CQMDlg &owner);
    std::vector<OpenedWindow> opened_;
};

// "默认分组" in code page 936, written out so that it does not depend on the
// conversion under test.
inline const std::string kDefaultGroup = "\xC4\xAC\xC8\xCF\xB7\xD6\xD7\xE9";

// One entry of the device store (texts as code page 936 bytes).
struct StoredDevice {
    std::string mac;
    std::string ip = "127.0.9.1";
    std::string model = "TALVO_JX";
    std::string group;
    std::string alias;
    std::string ssid = "Room";
    std::string version = "TALVO_JX-V2.1.0";
};
std::string DeviceStore(const std::vector<StoredDevice> &devices);
std::string GroupStore(const std::vector<std::string> &names);

// `count` devices with MACs 02:54:56:00:xx:xx, none of them reachable.
std::vector<StoredDevice> UnreachableDevices(int count);

// Polls `condition` until it holds or `seconds` pass.
bool WaitFor(const std::function<bool()> &condition, int seconds = 30);

QPushButton *FindButton(QWidget *window, const QString &text);

class ControllerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void WriteDevices(const std::vector<StoredDevice> &devices);
    void WriteGroups(const std::vector<std::string> &names);
    // Starts the library on the store files written so far.
    void StartLibrary();
    void LogIn(const char *user = "admin", const char *password = "pelun");
    // Starts the library with an ordinary user "viewer" logged in.
    void StartAsOrdinaryUser();

    // Receivers of the simulator, also written into the device store.
    talvo_sim::Fleet &Fleet();
    std::vector<StoredDevice> AddReceivers(const std::vector<talvo_sim::ReceiverConfig> &receivers);
    // Refreshes the library's device states until every MAC reports `online`.
    void WaitForOnline(const std::vector<std::string> &macs, bool online = true);
    static int StateOf(const std::string &mac);

    std::unique_ptr<CQMDlg> OpenMainWindow();
    // Ticks exactly the rows of `macs`.
    static void TickOnly(CQMDlg &window, const std::vector<std::string> &macs);

    korvel::testing::WorkingDirectory cwd_;
    ScriptedPrompter prompts_;
    FakeClock clock_;
    RecordingOpener windows_;

private:
    std::unique_ptr<talvo_sim::Fleet> fleet_;
    bool started_ = false;
};

} // namespace talvo::testing

namespace talvo::testing {

// Runs `act` once a modal window of type W is up (checked every 10 ms).
template <class W>
void WhenModal(std::function<void(W &)> act) {
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto *window = qobject_cast<W *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(*window);
        }
    });
    timer->start(10);
}

} // namespace talvo::testing
