// The maintenance pages of the configuration window (tabs 5 to 9) against the
// simulator: their questions, their checks in each page's own order, what
// reaches the receiver, the reboot's second method, the image rules of the
// device's model (TALVO_HX when its record cannot be read), the update file
// filters, and the system update's progress bar.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>

#include "common/file_row.h"
#include "config/dev_change_pwd_dlg.h"
#include "config/dev_reboot_dlg.h"
#include "config/dev_restore_factory_dlg.h"
#include "config/dev_screen_dlg.h"
#include "config/dev_system_update_dlg.h"
#include "korvel.h"
#include "maintenance_fixture.h"

namespace talvo::testing {
namespace {

using talvo_sim::Fault;
using talvo_sim::FaultType;

class MaintenancePagesTest : public MaintenanceTest {
protected:
    // The library forgets the current device: its record cannot be read and
    // its state is that of an unknown device.
    void ForgetCurrentDevice() { ASSERT_EQ(ZR_QM_DelDevice(mac_.c_str()), 0); }
};

TEST_F(MaintenancePagesTest, FactoryResetAsksFirstThenChecksTheDevice) {
    Start(Receiver("TALVO_JX"));
    auto page = OpenPage<CDevRestoreFactoryDlg>();
    QPushButton *reset = FindButton(page.get(), QStringLiteral("重置"));

    prompts_.Answer(false);
    reset->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("请再次确认是否进行该操作？")});
    EXPECT_EQ(prompts_.Shown()[0].kind, PromptKind::ConfirmYesNo);
    EXPECT_EQ(CountRequests(mac_, "reset"), 0);

    ClearRequests();
    Fleet().InjectFault(mac_, "reset", Fault(FaultType::ErrCode, 3, "", 1));
    reset->click();
    EXPECT_EQ(prompts_.Texts(), (QStringList{"请再次确认是否进行该操作？", "恢复出厂设置失败！"}));

    ClearRequests();
    reset->click();
    EXPECT_EQ(prompts_.Texts(), (QStringList{"请再次确认是否进行该操作？", "恢复出厂设置成功！"}));
    EXPECT_EQ(CountRequests(mac_, "reset", "dev_reset"), 1);

    TakeOffline(mac_);
    ClearRequests();
    reset->click();
    EXPECT_EQ(prompts_.Texts(), (QStringList{"请再次确认是否进行该操作？", "设备不在线！"}));
}

TEST_F(MaintenancePagesTest, WebPasswordChecksTheBoxesAndKeepsThemAfterSaving) {
    Start(Receiver("TALVO_HX"));
    auto page = OpenPage<CDevChangePwdDlg>();
    for (QLineEdit *box : {page->OldPassword(), page->NewPassword(), page->Confirmation()}) {
        EXPECT_EQ(box->maxLength(), 20);
        EXPECT_EQ(box->echoMode(), QLineEdit::Password);
    }
    struct Case {
        const char *old_password, *new_password, *confirmation, *message;
    };
    const Case refused[] = {
        {"admin", "12345678", "12345679", "密码不一致！"},
        {"", "1234567", "1234567", "密码为8~16个字符！"}, // no rule for the old password
        {"admin", "12345678901234567", "12345678901234567", "密码为8~16个字符！"},
        {"admin", "", "", "密码为8~16个字符！"},
        {"wrong-old", "12345678", "12345678", "保存失败！"}, // the receiver refuses
    };
    for (const Case &c : refused) {
        ClearRequests();
        page->OldPassword()->setText(QString::fromUtf8(c.old_password));
        page->NewPassword()->setText(QString::fromUtf8(c.new_password));
        page->Confirmation()->setText(QString::fromUtf8(c.confirmation));
        FindButton(page.get(), QStringLiteral("保存"))->click();
        EXPECT_EQ(prompts_.Texts(), QStringList{QString::fromUtf8(c.message)}) << c.new_password;
        EXPECT_EQ(page->NewPassword()->text(), QString::fromUtf8(c.new_password));
        EXPECT_EQ(Fleet().Snapshot(mac_).config.web_password_md5, talvo_sim::Md5Hex("admin"));
    }

    ClearRequests();
    page->OldPassword()->setText(QStringLiteral("admin"));
    page->NewPassword()->setText(QStringLiteral("1234567890123456"));
    page->Confirmation()->setText(QStringLiteral("1234567890123456"));
    FindButton(page.get(), QStringLiteral("保存"))->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("保存成功！")});
    EXPECT_EQ(Fleet().Snapshot(mac_).config.web_password_md5, talvo_sim::Md5Hex("1234567890123456"));
    EXPECT_EQ(page->OldPassword()->text(), QStringLiteral("admin"));
    EXPECT_EQ(page->Confirmation()->text(), QStringLiteral("1234567890123456"));

    TakeOffline(mac_);
    ClearRequests();
    FindButton(page.get(), QStringLiteral("保存"))->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("设备不在线！")});
}

TEST_F(MaintenancePagesTest, RebootFallsBackToTheCommandPortOnceAndReportsOnlyItsFailure) {
    Start({Receiver("TALVO_JX", {}, 1), Receiver("TALVO_SX", {}, 2)});
    auto page = OpenPage<CDevRebootDlg>();
    QPushButton *reboot = FindButton(page.get(), QStringLiteral("重启"));

    prompts_.Answer(false);
    reboot->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("请再次确认是否进行此操作？")});
    EXPECT_EQ(CountRequests(mac_, "reboot") + CountRequests(mac_, "tcp"), 0);

    // The first receiver: HTTP refused, the command port reboots it.
    ClearRequests();
    Fleet().InjectFault(mac_, "reboot", Fault(FaultType::Status, 500));
    reboot->click();
    EXPECT_EQ(prompts_.Texts(), (QStringList{"请再次确认是否进行此操作？", "重启成功！"}));
    EXPECT_EQ(CountRequests(mac_, "reboot"), 1);
    EXPECT_EQ(CountRequests(mac_, "tcp"), 1);

    // The second receiver: both methods fail; only the second one is told.
    MakeCurrent(macs_[1]);
    ClearRequests();
    Fleet().InjectFault(macs_[1], "reboot", Fault(FaultType::Status, 500));
    Fleet().InjectFault(macs_[1], "DeviceReboot", Fault(FaultType::Close));
    reboot->click();
    EXPECT_EQ(prompts_.Texts(), (QStringList{"请再次确认是否进行此操作？", "重启失败！"}));
    EXPECT_EQ(CountRequests(macs_[1], "tcp"), 1);

    // Offline: refused before the question.
    Fleet().ClearFaults(macs_[1]);
    TakeOffline(macs_[1]);
    ClearRequests();
    reboot->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("设备不在线！")});
}

TEST_F(MaintenancePagesTest, ImagesAreCheckedInThePagesOrderAndSentWithTheModelsRules) {
    Start({Receiver("TALVO_JX", {}, 1), Receiver("TALVO_NX", {}, 2)});
    auto page = OpenPage<CDevScreenDlg>();
    FileRow *startup = page->Row(ScreenKind::StartUp);
    FileRow *standby = page->Row(ScreenKind::Standby);
    EXPECT_EQ(startup->PathBox()->maxLength(), 1024);

    // The chooser: the image filter; a cancelled choice keeps the box.
    const QString exact = Jpeg("exact.jpg", {1920, 1080}, 2'097'152);
    files_.WillChoose(exact);
    startup->ChooseButton()->click();
    EXPECT_EQ(startup->Path(), exact);
    files_.WillChoose({});
    startup->ChooseButton()->click();
    EXPECT_EQ(startup->Path(), exact);
    EXPECT_EQ(files_.Filters(), QStringList(2, "image files ( *.jpg; ) |*.jpg;  | All Files (*.*) |*.*||"));

    struct Case {
        FileRow *row;
        QString path;
        const char *message;
    };
    const Case refused[] = {
        {startup, QString(), "请先选择文件！"},
        {startup, Jpeg("capitals.JPG", {1920, 1080}), "文件格式必需是jpg!"},
        {startup, FileOfSize("nodot", 10), "文件格式必需是jpg!"},
        {startup, Missing("gone.jpg"), "文件不存在！\n"},
        {startup, Jpeg("one-more.jpg", {1920, 1080}, 2'097'153), "图片大小超过2M!"},
        {standby, Jpeg("wide.jpg", {3841, 2160}), "图片分辨率超过3840x2160!"},
    };
    for (const Case &c : refused) {
        ClearRequests();
        c.row->PathBox()->setText(c.path);
        c.row->SendButton()->click();
        EXPECT_EQ(prompts_.Texts(), QStringList{QString::fromUtf8(c.message)}) << c.path.toStdString();
        EXPECT_EQ(CountRequests(mac_, "upload"), 0);
        EXPECT_EQ(c.row->Path(), c.path);
    }

    ClearRequests();
    startup->PathBox()->setText(exact);
    startup->SendButton()->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("更新成功,重启后生效！")});
    EXPECT_EQ(Fleet().Snapshot(mac_).files["startup_screen"].size, 2'097'152u);

    ClearRequests();
    standby->PathBox()->setText(Jpeg("uhd.jpg", {3840, 2160}, 5'242'880));
    standby->SendButton()->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("更新成功！")});
    EXPECT_EQ(Fleet().Snapshot(mac_).files["standby_screen"].size, 5'242'880u);

    ClearRequests();
    Fleet().InjectFault(mac_, "standby_screen", Fault(FaultType::ErrCode, 2));
    standby->SendButton()->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("更新失败！")});

    // The configuration page's own wording of the standby size limit.
    MakeCurrent(macs_[1]);
    ClearRequests();
    standby->PathBox()->setText(Jpeg("big.jpg", {800, 600}, 614'400));
    standby->SendButton()->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("文件大小超过512K!")});
}

TEST_F(MaintenancePagesTest, ImagesOfADeviceWhoseRecordCannotBeReadFollowTheHxRules) {
    Start(Receiver("TALVO_JX"));
    auto page = OpenPage<CDevScreenDlg>();
    FileRow *startup = page->Row(ScreenKind::StartUp);
    ForgetCurrentDevice();
    startup->PathBox()->setText(Jpeg("full-hd.jpg", {1920, 1080}));
    startup->SendButton()->click();
    startup->PathBox()->setText(Jpeg("svga.jpg", {800, 600}, 262'144));
    startup->SendButton()->click();
    // The HX rules refuse what a JX takes, and pass the HX image on to the state test.
    EXPECT_EQ(prompts_.Texts(), (QStringList{"图片分辨率必须是800x600!", "设备不在线！"}));
    EXPECT_EQ(CountRequests(mac_, "upload"), 0);
}

TEST_F(MaintenancePagesTest, UpdateFileChooserNamesTheModelsFilesOrAnyFileOfTheKind) {
    Start(Receiver("TALVO_JX"));
    auto page = OpenPage<CDevSystemUpdateDlg>();
    files_.WillChoose(QStringLiteral("/tmp/chosen/uImage-JX.bin"));
    page->Row(UpdateKind::Kernel)->ChooseButton()->click();
    EXPECT_EQ(page->Row(UpdateKind::Kernel)->Path(), QStringLiteral("/tmp/chosen/uImage-JX.bin"));
    files_.WillChoose({});
    page->Row(UpdateKind::FileSystem)->ChooseButton()->click();
    EXPECT_TRUE(page->Row(UpdateKind::FileSystem)->Path().isEmpty());

    ForgetCurrentDevice();
    page->Row(UpdateKind::Kernel)->ChooseButton()->click();
    page->Row(UpdateKind::FileSystem)->ChooseButton()->click();
    EXPECT_EQ(files_.Filters(), (QStringList{
                                    "BIN files ( uImage-JX.bin; ) |uImage-JX.bin; ||",
                                    "LZMA files ( upgrade-JX-TALVO.tar.lzma; ) |upgrade-JX-TALVO.tar.lzma; ||",
                                    "BIN files ( *.bin; ) |*.bin;  | All Files (*.*) |*.*||",
                                    "LZMA files ( *.tar.lzma; ) |*.tar.lzma;  | All Files (*.*) |*.*||",
                                }));
    EXPECT_TRUE(prompts_.Texts().isEmpty());
}

TEST_F(MaintenancePagesTest, UpdateChecksRunInEachRowsOwnOrderAndSendNothing) {
    Start(Receiver("TALVO_JX"));
    auto page = OpenPage<CDevSystemUpdateDlg>();
    struct Case {
        UpdateKind kind;
        QString path;
        const char *message;
    };
    const Case refused[] = {
        {UpdateKind::Kernel, QString(), "请先选择文件！"},
        {UpdateKind::Kernel, Missing("gone.txt"), "文件不存在！\n"}, // the file before its extension
        {UpdateKind::Kernel, FileOfSize("uImage-JX.BIN", 100), "文件格式必需是bin!"},
        {UpdateKind::Kernel, FileOfSize("too-big.bin", 4'194'305), "内核升级文件超过4M！"},
        {UpdateKind::FileSystem, QString(), "请先选择文件！"},
        {UpdateKind::FileSystem, Missing("gone.tar"), "文件格式必需是lzma!"}, // the extension first
        {UpdateKind::FileSystem, Missing("gone.tar.lzma"), "文件不存在！"},   // the digest fails first
        {UpdateKind::FileSystem, FileOfSize("too-big.tar.lzma", 15'728'641), "文件系统升级文件超过15M！"},
    };
    for (const Case &c : refused) {
        ClearRequests();
        page->Row(c.kind)->PathBox()->setText(c.path);
        page->Row(c.kind)->SendButton()->click();
        EXPECT_EQ(prompts_.Texts(), QStringList{QString::fromUtf8(c.message)}) << c.path.toStdString();
        EXPECT_FALSE(page->Progress().Bar()->isVisibleTo(page.get()));
        EXPECT_FALSE(page->Progress().Timer(c.kind).isActive());
    }
    EXPECT_EQ(CountRequests(mac_, "upload"), 0);

    TakeOffline(mac_);
    ClearRequests();
    page->Row(UpdateKind::Kernel)->PathBox()->setText(FileOfSize("any-name.bin", 100));
    page->Row(UpdateKind::Kernel)->SendButton()->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("设备不在线！")});
}

TEST_F(MaintenancePagesTest, KernelAtTheSizeLimitUpdatesAndTheBarFollowsTwoAStepUntilItReachesOneHundred) {
    Start(Receiver("TALVO_JX"));
    auto page = OpenPage<CDevSystemUpdateDlg>();
    UpdateProgress &progress = page->Progress();
    EXPECT_FALSE(progress.Bar()->isVisibleTo(page.get()));
    EXPECT_FALSE(progress.Text()->isVisibleTo(page.get()));

    // No file-name check on this page: any name of the right kind goes.
    page->Row(UpdateKind::Kernel)->PathBox()->setText(FileOfSize("kernel-build-7.bin", 4'194'304));
    page->Row(UpdateKind::Kernel)->SendButton()->click();
    EXPECT_TRUE(prompts_.Texts().isEmpty());
    EXPECT_TRUE(progress.Bar()->isVisibleTo(page.get()));
    EXPECT_EQ(progress.Text()->text(), QStringLiteral("升级中，请等待......"));
    EXPECT_TRUE(progress.Text()->isVisibleTo(page.get()));
    EXPECT_TRUE(progress.Timer(UpdateKind::Kernel).isActive());
    EXPECT_EQ(progress.Timer(UpdateKind::Kernel).interval(), 500);
    EXPECT_EQ(progress.Bar()->value(), 0);
    EXPECT_EQ(WaitForUpload(mac_, "kernel_update"), 4'194'304u);

    int moves = 0;
    const auto tick = [&] {
        const int before = progress.Bar()->value();
        progress.Tick(UpdateKind::Kernel);
        moves += progress.Bar()->value() != before;
    };
    Fleet().SetProgress(mac_, "kernel_progress", 40);
    tick();
    EXPECT_EQ(progress.Bar()->value(), 2);
    for (int i = 0; i < 30; ++i) tick();
    EXPECT_EQ(progress.Bar()->value(), 40); // never ahead of the device
    EXPECT_EQ(progress.Timer(UpdateKind::Kernel).interval(), 500);

    Fleet().SetProgress(mac_, "kernel_progress", 100);
    tick();
    EXPECT_EQ(progress.Timer(UpdateKind::Kernel).interval(), 100);
    EXPECT_EQ(progress.Bar()->value(), 42);
    for (int i = 0; i < 100 && progress.Bar()->value() < 100; ++i) tick();
    EXPECT_EQ(progress.Bar()->value(), 100);
    EXPECT_EQ(moves, 50);
    EXPECT_TRUE(prompts_.Texts().isEmpty()); // the bar is at 100; the next tick ends it
    progress.Tick(UpdateKind::Kernel);
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("升级成功！")});
    EXPECT_FALSE(progress.Bar()->isVisibleTo(page.get()));
    EXPECT_FALSE(progress.Text()->isVisibleTo(page.get()));
    EXPECT_FALSE(progress.Timer(UpdateKind::Kernel).isActive());
}

TEST_F(MaintenancePagesTest, FileSystemAtTheSizeLimitUpdatesOneAStepAndAFailedReadEndsIt) {
    Start(Receiver("TALVO_SX"));
    auto page = OpenPage<CDevSystemUpdateDlg>();
    UpdateProgress &progress = page->Progress();
    page->Row(UpdateKind::FileSystem)->PathBox()->setText(FileOfSize("rootfs.tar.lzma", 15'728'640));
    page->Row(UpdateKind::FileSystem)->SendButton()->click();
    EXPECT_TRUE(prompts_.Texts().isEmpty());
    EXPECT_EQ(progress.Timer(UpdateKind::FileSystem).interval(), 1500);
    EXPECT_FALSE(progress.Timer(UpdateKind::Kernel).isActive());
    EXPECT_EQ(WaitForUpload(mac_, "filesystem_update"), 15'728'640u);

    Fleet().SetProgress(mac_, "filesystem_progress", 40);
    progress.Tick(UpdateKind::FileSystem);
    EXPECT_EQ(progress.Bar()->value(), 1);
    progress.Tick(UpdateKind::FileSystem);
    EXPECT_EQ(progress.Bar()->value(), 2);

    Fleet().InjectFault(mac_, "filesystem_progress", Fault(FaultType::ErrCode, -1));
    progress.Tick(UpdateKind::FileSystem);
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("升级失败！")});
    EXPECT_FALSE(progress.Bar()->isVisibleTo(page.get()));
    EXPECT_FALSE(progress.Timer(UpdateKind::FileSystem).isActive());
}

TEST_F(MaintenancePagesTest, TheConfigurationWindowsMaintenanceTabsActOnTheCurrentDevice) {
    Start({Receiver("TALVO_JX", {}, 1), Receiver("TALVO_JX", {}, 2)});
    auto window = OpenConfiguration();
    window->show();
    MakeCurrent(macs_[1]);
    ClearRequests();
    window->Tabs()->setCurrentIndex(CDevCfgDlg::kRebootTab);
    FindButton(window->Page(CDevCfgDlg::kRebootTab), QStringLiteral("重启"))->click();
    EXPECT_EQ(prompts_.Texts(), (QStringList{"请再次确认是否进行此操作？", "重启成功！"}));
    EXPECT_EQ(CountRequests(macs_[1], "reboot"), 1);
    EXPECT_EQ(CountRequests(macs_[0], "reboot"), 0);

    // Typed text stays while other tabs are shown.
    auto *password = qobject_cast<CDevChangePwdDlg *>(window->Page(CDevCfgDlg::kWebPasswordTab));
    ASSERT_NE(password, nullptr);
    window->Tabs()->setCurrentIndex(CDevCfgDlg::kWebPasswordTab);
    password->NewPassword()->setText(QStringLiteral("typed-new"));
    window->Tabs()->setCurrentIndex(CDevCfgDlg::kScreenImagesTab);
    window->Tabs()->setCurrentIndex(CDevCfgDlg::kWebPasswordTab);
    EXPECT_EQ(password->NewPassword()->text(), QStringLiteral("typed-new"));

    // The update's polling goes on while other tabs are shown.
    auto *update = qobject_cast<CDevSystemUpdateDlg *>(window->Page(CDevCfgDlg::kSystemUpdateTab));
    ASSERT_NE(update, nullptr);
    window->Tabs()->setCurrentIndex(CDevCfgDlg::kSystemUpdateTab);
    update->Row(UpdateKind::Kernel)->PathBox()->setText(FileOfSize("kernel.bin", 1000));
    update->Row(UpdateKind::Kernel)->SendButton()->click();
    window->Tabs()->setCurrentIndex(CDevCfgDlg::kNetworkTab);
    EXPECT_TRUE(update->Progress().Timer(UpdateKind::Kernel).isActive());
}

} // namespace
} // namespace talvo::testing
