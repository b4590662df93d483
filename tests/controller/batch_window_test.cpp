// The batch window: its five tabs, the ticked devices collected afresh on
// every action (an offline or unknown one refuses the whole batch before
// anything is sent), the confirmation question, batch reboot with its second
// method, factory reset and the communication password page.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "batch/dev_batch_operate_dlg.h"
#include "batch/dev_batch_operate_pwd_dlg.h"
#include "batch/dev_batch_reboot_dlg.h"
#include "batch/dev_batch_restore_factory_settings_dlg.h"
#include "batch/dev_batch_set_screen_dlg.h"
#include "batch/dev_batch_system_update_dlg.h"
#include "batch_fixture.h"
#include "common/file_row.h"
#include "korvel.h"

namespace talvo::testing {
namespace {

using talvo_sim::Fault;
using talvo_sim::FaultType;

class BatchWindowTest : public BatchTest {
protected:
    void TypePasswords(const char *current, const char *password, const char *confirmation) {
        CDevBatchOperatePwdDlg *page = window_->PasswordPage();
        page->CurrentPassword()->setText(QString::fromUtf8(current));
        page->NewPassword()->setText(QString::fromUtf8(password));
        page->Confirmation()->setText(QString::fromUtf8(confirmation));
    }
    QStringList Passwords() const {
        CDevBatchOperatePwdDlg *page = window_->PasswordPage();
        return {page->CurrentPassword()->text(), page->NewPassword()->text(), page->Confirmation()->text()};
    }
};

TEST_F(BatchWindowTest, OpensOnTheImagesTabWithTheFivePagesInTabOrder) {
    StartBatch({Receiver("TALVO_JX")});
    window_->show();
    EXPECT_EQ(window_->windowTitle(), QStringLiteral("批量操作"));
    QTabWidget *tabs = window_->Tabs();
    QStringList captions;
    for (int tab = 0; tab < tabs->count(); ++tab) captions << tabs->tabText(tab);
    EXPECT_EQ(captions, (QStringList{"批量更新开、待机画面", "批量恢复出厂设置", "批量重启", "批量升级",
                                     "批量修改设备通讯密码"}));
    const QList<QWidget *> pages = {window_->ScreenPage(), window_->FactoryResetPage(), window_->RebootPage(),
                                    window_->SystemUpdatePage(), window_->PasswordPage()};
    for (int tab = 0; tab < tabs->count(); ++tab) EXPECT_EQ(tabs->widget(tab), pages[tab]) << tab;
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(window_->focusWidget(), window_->ScreenPage()->Row(ScreenKind::StartUp)->ChooseButton());

    // Nothing is reloaded on a tab change; typed text stays.
    tabs->setCurrentIndex(4);
    TypePasswords("a", "b", "c");
    tabs->setCurrentIndex(2);
    tabs->setCurrentIndex(4);
    EXPECT_EQ(Passwords(), (QStringList{"a", "b", "c"}));
    EXPECT_TRUE(prompts_.Texts().isEmpty());
    EXPECT_EQ(ChangingRequests(), 0);

    FindButton(window_->RebootPage(), QStringLiteral("取消"))->click();
    EXPECT_FALSE(window_->isVisible());
}

TEST_F(BatchWindowTest, TheProgramOpensTheWindowModallyAndItsPagesActOnTheTicksOfThatMoment) {
    StartBatch({Receiver("TALVO_JX", {}, 1), Receiver("TALVO_JX", {}, 2)});
    window_.reset();
    SetWindowOpener(nullptr);
    TickOnly(*main_, macs_);
    bool seen = false;
    WhenModal<CDevBatchOperateDlg>([&](CDevBatchOperateDlg &window) {
        seen = true;
        EXPECT_EQ(window.parentWidget(), main_.get());
        TickOnly(*main_, {macs_[1]}); // as ticked when the action runs
        FindButton(window.RebootPage(), QStringLiteral("重启"))->click();
        window.close();
    });
    FindButton(main_.get(), QStringLiteral("批量操作"))->click();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(main_->findChildren<CDevBatchOperateDlg *>().isEmpty());
    EXPECT_EQ(prompts_.Texts(), (QStringList{"请再次确认是否进行批量操作？", "批量重启成功！"}));
    EXPECT_EQ(CountRequests(macs_[0], "reboot"), 0);
    EXPECT_EQ(CountRequests(macs_[1], "reboot"), 1);
}

TEST_F(BatchWindowTest, EveryPageRefusesBeforeSendingWhenATickedDeviceIsOfflineUnknownOrNoneIsTicked) {
    StartBatch({Receiver("TALVO_JX", {}, 1), Receiver("TALVO_JX", {}, 2), Receiver("TALVO_JX", {}, 3)});
    const QString image = Jpeg("startup.jpg", {1920, 1080});
    const QString kernel = FileOfSize("uImage-JX.bin", 1000);
    window_->ScreenPage()->Row(ScreenKind::StartUp)->PathBox()->setText(image);
    window_->SystemUpdatePage()->Row(UpdateKind::Kernel)->PathBox()->setText(kernel);
    TypePasswords("WQZNE847", "newpass1", "newpass1");
    struct Action {
        const char *name;
        std::function<void()> run;
        const char *no_selection;
    };
    const Action actions[] = {
        {"images", [&] { window_->ScreenPage()->Row(ScreenKind::StartUp)->SendButton()->click(); }, "请先选择设备！"},
        {"factory reset", [&] { FindButton(window_->FactoryResetPage(), "重置")->click(); }, "请先选择设备！"},
        {"reboot", [&] { FindButton(window_->RebootPage(), "重启")->click(); }, "请先选择设备！"},
        {"system update", [&] { window_->SystemUpdatePage()->Row(UpdateKind::Kernel)->SendButton()->click(); },
         "没有选中设备！"},
        {"password", [&] { FindButton(window_->PasswordPage(), "确定")->click(); }, "请先选择设备！"},
    };

    TickOnly(*main_, {});
    for (const Action &action : actions) {
        prompts_.Clear();
        action.run();
        EXPECT_EQ(prompts_.Texts(), QStringList{QString::fromUtf8(action.no_selection)}) << action.name;
    }

    TakeOffline(macs_[1]);
    TickOnly(*main_, macs_);
    for (const Action &action : actions) {
        prompts_.Clear();
        action.run();
        EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("设备不在线，不允许批量操作！")}) << action.name;
    }

    Fleet().BringBack(macs_[1]);
    WaitForOnline({macs_[1]});
    ASSERT_EQ(ZR_QM_DelDevice(macs_[2].c_str()), 0); // still a row of the list
    for (const Action &action : actions) {
        prompts_.Clear();
        action.run();
        EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("设备不存在！")}) << action.name;
    }
    EXPECT_EQ(ChangingRequests(), 0);
    EXPECT_EQ(Passwords(), (QStringList{"WQZNE847", "newpass1", "newpass1"}));
}

TEST_F(BatchWindowTest, AnsweringNoSendsNothingAndShowsNothingMore) {
    StartBatch({Receiver("TALVO_HX", {}, 1), Receiver("TALVO_HX", {}, 2)});
    TickOnly(*main_, macs_);
    window_->ScreenPage()->Row(ScreenKind::Standby)->PathBox()->setText(Jpeg("standby.jpg", {1280, 720}));
    window_->SystemUpdatePage()->Row(UpdateKind::FileSystem)->PathBox()->setText(
        FileOfSize("upgrade-HX-TALVO.tar.lzma", 1000));
    TypePasswords("WQZNE847", "", "");
    const std::function<void()> actions[] = {
        [&] { window_->ScreenPage()->Row(ScreenKind::Standby)->SendButton()->click(); },
        [&] { FindButton(window_->FactoryResetPage(), "重置")->click(); },
        [&] { FindButton(window_->RebootPage(), "重启")->click(); },
        [&] { window_->SystemUpdatePage()->Row(UpdateKind::FileSystem)->SendButton()->click(); },
        [&] { FindButton(window_->PasswordPage(), "确定")->click(); }, // the question before the checks
    };
    for (const auto &action : actions) {
        prompts_.Clear();
        prompts_.Answer(false);
        action();
        EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("请再次确认是否进行批量操作？")});
        EXPECT_EQ(prompts_.Shown().back().kind, PromptKind::ConfirmYesNo);
    }
    EXPECT_EQ(ChangingRequests(), 0);
    EXPECT_FALSE(window_->SystemUpdatePage()->Progress().Timer(UpdateKind::FileSystem).isActive());
    EXPECT_EQ(Passwords(), (QStringList{"WQZNE847", "", ""}));
}

TEST_F(BatchWindowTest, RebootTriesTheCommandPortOnceWhenEveryHttpRebootFails) {
    StartBatch({Receiver("TALVO_JX", {}, 1), Receiver("TALVO_SX", {}, 2), Receiver("TALVO_TX", {}, 3)});
    QPushButton *reboot = FindButton(window_->RebootPage(), QStringLiteral("重启"));
    struct Case {
        std::vector<int> http_fails; // receivers whose HTTP reboot fails
        std::vector<int> tcp_fails;  // and whose command port fails
        const char *message;
        int commands;              // TCP reboots sent
        std::vector<int> rebooted; // receivers that rebooted
    };
    const Case cases[] = {
        {{}, {}, "批量重启成功！", 0, {0, 1, 2}},
        {{0}, {}, "批量重启部分成功！", 0, {1, 2}},
        {{0, 1, 2}, {}, "批量重启成功！", 3, {0, 1, 2}},
        {{0, 1, 2}, {2}, "批量重启部分成功！", 3, {0, 1}},
        {{0, 1, 2}, {0, 1, 2}, "批量重启失败！", 3, {}},
    };
    for (const Case &c : cases) {
        TickOnly(*main_, macs_);
        ClearRequests();
        const std::vector<int> before = RebootCounts();
        for (int i : c.http_fails) Fleet().InjectFault(macs_[i], "reboot", Fault(FaultType::Status, 500));
        for (int i : c.tcp_fails) Fleet().InjectFault(macs_[i], "DeviceReboot", Fault(FaultType::Close));
        reboot->click();
        EXPECT_EQ(prompts_.Texts(), (QStringList{"请再次确认是否进行批量操作？", QString::fromUtf8(c.message)}))
            << c.message;
        int commands = 0;
        for (const std::string &mac : macs_) commands += CountRequests(mac, "tcp");
        EXPECT_EQ(commands, c.commands) << c.message;
        WaitForReboots(before, c.rebooted);
    }
}

TEST_F(BatchWindowTest, FactoryResetTellsTheBatchsOutcome) {
    StartBatch({Receiver("TALVO_NX", {}, 1), Receiver("TALVO_NX", {}, 2)});
    QPushButton *reset = FindButton(window_->FactoryResetPage(), QStringLiteral("重置"));
    struct Case {
        std::vector<int> refusing;
        const char *message;
        std::vector<int> resetting; // a reset receiver reboots
    };
    const Case cases[] = {
        {{0, 1}, "批量操作失败！", {}},
        {{1}, "批量操作部分成功！", {0}},
        {{}, "批量操作成功！", {0, 1}},
    };
    for (const Case &c : cases) {
        TickOnly(*main_, macs_);
        ClearRequests();
        const std::vector<int> before = RebootCounts();
        for (int i : c.refusing) Fleet().InjectFault(macs_[i], "reset", Fault(FaultType::ErrCode, 3));
        reset->click();
        EXPECT_EQ(prompts_.Texts(), (QStringList{"请再次确认是否进行批量操作？", QString::fromUtf8(c.message)}));
        for (const std::string &mac : macs_) EXPECT_EQ(CountRequests(mac, "reset", "dev_reset"), 1);
        WaitForReboots(before, c.resetting);
    }
}

TEST_F(BatchWindowTest, PasswordPageAsksFirstThenChecksTheBoxesAndEmptiesThemOnARefusal) {
    StartBatch({Receiver("TALVO_JX", {}, 1), Receiver("TALVO_MX", {}, 2)});
    TickOnly(*main_, macs_);
    for (QLineEdit *box : {window_->PasswordPage()->CurrentPassword(), window_->PasswordPage()->NewPassword(),
                           window_->PasswordPage()->Confirmation()}) {
        EXPECT_EQ(box->maxLength(), 32);
        EXPECT_EQ(box->echoMode(), QLineEdit::Password);
    }
    struct Case {
        const char *current, *password, *confirmation, *message;
    };
    const Case refused[] = {
        {"WQZNE847", "newpass1", "", "密码不能为空！"},
        {"", "newpass1", "newpass1", "密码不能为空！"},
        {"WQZNE847", "12345", "12345", "密码长度为6~16位！"},
        {"WQZNE847", "12345678901234567", "12345678901234567", "密码长度为6~16位！"},
        {"WQZNE847", "newpass1", "newpass2", "密码不一致！"},
    };
    for (const Case &c : refused) {
        prompts_.Clear();
        TypePasswords(c.current, c.password, c.confirmation);
        FindButton(window_->PasswordPage(), QStringLiteral("确定"))->click();
        EXPECT_EQ(prompts_.Texts(), (QStringList{"请再次确认是否进行批量操作？", QString::fromUtf8(c.message)}))
            << c.password;
        EXPECT_EQ(Passwords(), (QStringList{"", "", ""})) << c.password;
    }
    EXPECT_EQ(ChangingRequests(), 0);

    prompts_.Clear();
    TypePasswords("WQZNE847", "1234567890123456", "1234567890123456");
    FindButton(window_->PasswordPage(), QStringLiteral("确定"))->click();
    EXPECT_EQ(prompts_.Texts(), (QStringList{"请再次确认是否进行批量操作？", "批量操作成功！"}));
    for (const std::string &mac : macs_)
        EXPECT_EQ(Fleet().Snapshot(mac).config.password_md5, talvo_sim::Md5Hex("1234567890123456")) << mac;
    EXPECT_EQ(Passwords(), (QStringList{"WQZNE847", "1234567890123456", "1234567890123456"}));

    // The old password no longer matches: every receiver refuses.
    prompts_.Clear();
    FindButton(window_->PasswordPage(), QStringLiteral("确定"))->click();
    EXPECT_EQ(prompts_.Texts(), (QStringList{"请再次确认是否进行批量操作？", "批量操作失败！"}));
}

} // namespace
} // namespace talvo::testing
