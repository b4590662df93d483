// The batch window's file pages: start-up and standby images for every
// ticked device of one model, and the kernel or file-system update from the
// model's exact file with the progress bar that follows the highest progress
// among the ticked devices.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "batch/dev_batch_set_screen_dlg.h"
#include "batch/dev_batch_system_update_dlg.h"
#include "batch_fixture.h"
#include "common/file_row.h"

namespace talvo::testing {
namespace {

using talvo_sim::Fault;
using talvo_sim::FaultType;

class BatchFilePagesTest : public BatchTest {
protected:
    FileRow *ImageRow(ScreenKind kind) const { return window_->ScreenPage()->Row(kind); }
    FileRow *UpdateRow(UpdateKind kind) const { return window_->SystemUpdatePage()->Row(kind); }
    UpdateProgress &Progress() const { return window_->SystemUpdatePage()->Progress(); }

    // Puts `path` into the row and presses its send button.
    static void Send(FileRow *row, const QString &path) {
        row->PathBox()->setText(path);
        row->SendButton()->click();
    }
    int Uploads() {
        int count = 0;
        for (const std::string &mac : macs_) count += CountRequests(mac, "upload");
        return count;
    }
    // A tick of the kind's timer; counts the ticks that moved the bar.
    void Tick(UpdateKind kind) {
        const int before = Progress().Bar()->value();
        Progress().Tick(kind);
        moves_ += Progress().Bar()->value() != before;
    }
    int moves_ = 0;
};

const QString kQuestion = QStringLiteral("请再次确认是否进行批量操作？");

TEST_F(BatchFilePagesTest, ImagesAreCheckedBeforeTheDevicesThenForTheirCommonModel) {
    StartBatch({Receiver("TALVO_HX", {}, 1), Receiver("TALVO_HX", {}, 2), Receiver("TALVO_SX", {}, 3)});
    FileRow *startup = ImageRow(ScreenKind::StartUp);
    files_.WillChoose(QStringLiteral("/tmp/pictures/logo.jpg"));
    startup->ChooseButton()->click();
    EXPECT_EQ(startup->Path(), QStringLiteral("/tmp/pictures/logo.jpg"));
    EXPECT_EQ(files_.Filters(), QStringList{"image files ( *.jpg; ) |*.jpg;  | All Files (*.*) |*.*||"});

    struct Case {
        std::vector<int> ticked;
        QString path;
        const char *message;
    };
    const QString svga = Jpeg("svga.jpg", {800, 600}, 262'144);
    const Case refused[] = {
        {{}, QString(), "请先选择文件！"}, // the file first, the devices after
        {{}, Jpeg("capitals.JPG", {800, 600}), "文件格式必需是jpg!"},
        {{}, Missing("gone.jpg"), "文件不存在！\n"},
        {{}, svga, "请先选择设备！"},
        {{0, 2}, svga, "请选择相同类型设备！"},
        {{0, 1}, Jpeg("heavy.jpg", {800, 600}, 300'000), "图片大小超过256K!"},
        {{2}, Jpeg("xga.jpg", {1024, 768}), "图片分辨率只能是800x600或1920x1080!"},
    };
    for (const Case &c : refused) {
        std::vector<std::string> ticked;
        for (int i : c.ticked) ticked.push_back(macs_[static_cast<std::size_t>(i)]);
        TickOnly(*main_, ticked);
        prompts_.Clear();
        Send(startup, c.path);
        EXPECT_EQ(prompts_.Texts(), QStringList{QString::fromUtf8(c.message)}) << c.path.toStdString();
        EXPECT_EQ(startup->Path(), c.path);
    }
    EXPECT_EQ(Uploads(), 0);

    TickOnly(*main_, {macs_[0], macs_[1]});
    prompts_.Clear();
    Send(startup, svga);
    EXPECT_EQ(prompts_.Texts(), (QStringList{kQuestion, "批量更新成功，重启后生效！"}));
    for (const std::string &mac : {macs_[0], macs_[1]})
        EXPECT_EQ(Fleet().Snapshot(mac).files["startup_screen"].size, 262'144u) << mac;
    EXPECT_EQ(CountRequests(macs_[2], "upload"), 0);

    // One receiver refuses: the batch is not a success.
    prompts_.Clear();
    Fleet().InjectFault(macs_[1], "standby_screen", Fault(FaultType::ErrCode, 4));
    Send(ImageRow(ScreenKind::Standby), Jpeg("standby.jpg", {1920, 1080}));
    EXPECT_EQ(prompts_.Texts(), (QStringList{kQuestion, "批量更新失败！"}));
}

TEST_F(BatchFilePagesTest, StandbyImagesUpToTheModelsLargestResolutionAreSent) {
    StartBatch({Receiver("TALVO_JX", {}, 1), Receiver("TALVO_JX", {}, 2)});
    TickOnly(*main_, macs_);
    FileRow *standby = ImageRow(ScreenKind::Standby);
    Send(standby, Jpeg("wide.jpg", {3841, 2160}));
    Send(standby, Jpeg("heavy.jpg", {3840, 2160}, 6'291'457));
    EXPECT_EQ(prompts_.Texts(), (QStringList{"图片分辨率超过3840x2160!", "图片大小超过6M!"}));
    EXPECT_EQ(Uploads(), 0);

    prompts_.Clear();
    Send(standby, Jpeg("uhd.jpg", {3840, 2160}, 5'242'880));
    EXPECT_EQ(prompts_.Texts(), (QStringList{kQuestion, "批量更新成功！"}));
    for (const std::string &mac : macs_) EXPECT_EQ(Fleet().Snapshot(mac).files["standby_screen"].size, 5'242'880u);
}

TEST_F(BatchFilePagesTest, UpdateChooserNamesTheFirstTickedDevicesFile) {
    StartBatch({Receiver("TALVO_TX", {}, 1), Receiver("TALVO_NX", {}, 2)});
    TickOnly(*main_, {macs_[1], macs_[0]});
    files_.WillChoose(QStringLiteral("/tmp/x/uImage-TX.bin"));
    UpdateRow(UpdateKind::Kernel)->ChooseButton()->click();
    EXPECT_EQ(UpdateRow(UpdateKind::Kernel)->Path(), QStringLiteral("/tmp/x/uImage-TX.bin"));
    TickOnly(*main_, {macs_[1]});
    UpdateRow(UpdateKind::FileSystem)->ChooseButton()->click();
    TickOnly(*main_, {});
    UpdateRow(UpdateKind::Kernel)->ChooseButton()->click();
    UpdateRow(UpdateKind::FileSystem)->ChooseButton()->click();
    EXPECT_EQ(files_.Filters(), (QStringList{
                                    "BIN files ( uImage-TX.bin; ) |uImage-TX.bin; ||",
                                    "LZMA files ( upgrade-NX-TALVO.tar.lzma; ) |upgrade-NX-TALVO.tar.lzma; ||",
                                    "BIN files ( *.bin; ) |*.bin;  | All Files (*.*) |*.*||",
                                    "LZMA files ( *.tar.lzma; ) |*.tar.lzma;  | All Files (*.*) |*.*||",
                                }));
    EXPECT_TRUE(prompts_.Texts().isEmpty());
}

TEST_F(BatchFilePagesTest, UpdateNeedsOneModelAndExactlyItsFileWithinTheKindsLimit) {
    StartBatch({Receiver("TALVO_JX", {}, 1), Receiver("TALVO_JX", {}, 2), Receiver("TALVO_MX", {}, 3)});
    struct Case {
        std::vector<int> ticked;
        UpdateKind kind;
        QString path;
        const char *message;
    };
    const QString kernel = FileOfSize("uImage-JX.bin", 1000);
    const Case refused[] = {
        {{0}, UpdateKind::Kernel, QString(), "请先选择文件！"},
        {{}, UpdateKind::Kernel, Missing("uImage-JX.img"), "文件格式必需是bin!"},
        {{}, UpdateKind::FileSystem, Missing("upgrade-JX-TALVO.tar.bz2"), "文件格式必需是lzma!"},
        {{}, UpdateKind::Kernel, kernel, "没有选中设备！"},
        {{0, 2}, UpdateKind::Kernel, kernel, "请选择相同类型的设备！"},
        {{0, 1}, UpdateKind::Kernel, FileOfSize("uimage-JX.bin", 1000), "文件名称不正确！"},
        {{0, 1}, UpdateKind::Kernel, Missing("uImage-MX.bin"), "文件名称不正确！"},
        {{0, 1}, UpdateKind::Kernel, Missing("gone/uImage-JX.bin"),
         "文件不存在！\n"},
        {{0, 1}, UpdateKind::Kernel, FileOfSize("big/uImage-JX.bin", 5'242'880), "内核升级文件超过4M！"},
        {{0, 1}, UpdateKind::FileSystem, FileOfSize("upgrade-JX-TALVO.tar.lzma", 15'728'641),
         "文件系统升级文件超过15M！"},
    };
    for (const Case &c : refused) {
        std::vector<std::string> ticked;
        for (int i : c.ticked) ticked.push_back(macs_[static_cast<std::size_t>(i)]);
        TickOnly(*main_, ticked);
        prompts_.Clear();
        Send(UpdateRow(c.kind), c.path);
        EXPECT_EQ(prompts_.Texts(), QStringList{QString::fromUtf8(c.message)}) << c.path.toStdString();
        EXPECT_FALSE(Progress().Bar()->isVisibleTo(window_->SystemUpdatePage()));
    }
    EXPECT_EQ(Uploads(), 0);
}

TEST_F(BatchFilePagesTest, KernelUpdateOfTwoDevicesFollowsTheHighestProgressTwoAStep) {
    StartBatch({Receiver("TALVO_JX", {}, 1), Receiver("TALVO_JX", {}, 2)});
    TickOnly(*main_, macs_);
    Send(UpdateRow(UpdateKind::Kernel), FileOfSize("uImage-JX.bin", 4'194'304));
    EXPECT_EQ(prompts_.Texts(), QStringList{kQuestion});
    EXPECT_TRUE(Progress().Bar()->isVisibleTo(window_->SystemUpdatePage()));
    EXPECT_EQ(Progress().Text()->text(), QStringLiteral("升级中，请等待......"));
    EXPECT_EQ(Progress().Timer(UpdateKind::Kernel).interval(), 500);
    // A receiver takes the file only with its right digest.
    for (const std::string &mac : macs_) EXPECT_EQ(WaitForUpload(mac, "kernel_update"), 4'194'304u);

    Fleet().SetProgress(macs_[0], "kernel_progress", 40);
    Fleet().SetProgress(macs_[1], "kernel_progress", 30);
    Tick(UpdateKind::Kernel);
    EXPECT_EQ(Progress().Bar()->value(), 2);
    for (int i = 0; i < 40; ++i) Tick(UpdateKind::Kernel);
    EXPECT_EQ(Progress().Bar()->value(), 40);

    // A device that fails leaves the others' progress.
    Fleet().InjectFault(macs_[0], "kernel_progress", Fault(FaultType::ErrCode, -1));
    Fleet().SetProgress(macs_[1], "kernel_progress", 95);
    Tick(UpdateKind::Kernel);
    EXPECT_EQ(Progress().Bar()->value(), 42);
    EXPECT_EQ(Progress().Timer(UpdateKind::Kernel).interval(), 500); // 95 is not above 95
    Fleet().SetProgress(macs_[1], "kernel_progress", 96);
    Tick(UpdateKind::Kernel);
    EXPECT_EQ(Progress().Timer(UpdateKind::Kernel).interval(), 100);

    Fleet().SetProgress(macs_[1], "kernel_progress", 100);
    for (int i = 0; i < 100 && Progress().Bar()->value() < 100; ++i) Tick(UpdateKind::Kernel);
    EXPECT_EQ(moves_, 50);
    EXPECT_EQ(prompts_.Texts(), QStringList{kQuestion});
    Tick(UpdateKind::Kernel);
    EXPECT_EQ(prompts_.Texts(), (QStringList{kQuestion, "升级成功！"}));
    EXPECT_FALSE(Progress().Bar()->isVisibleTo(window_->SystemUpdatePage()));
    EXPECT_FALSE(Progress().Text()->isVisibleTo(window_->SystemUpdatePage()));
    EXPECT_FALSE(Progress().Timer(UpdateKind::Kernel).isActive());
}

TEST_F(BatchFilePagesTest, FileSystemUpdateAtTheLimitMovesOneAStepAndEndsWhenEveryDeviceFails) {
    StartBatch({Receiver("TALVO_HX", {}, 1), Receiver("TALVO_HX", {}, 2)});
    TickOnly(*main_, macs_);
    Send(UpdateRow(UpdateKind::FileSystem), FileOfSize("upgrade-HX-TALVO.tar.lzma", 15'728'640));
    EXPECT_EQ(prompts_.Texts(), QStringList{kQuestion});
    EXPECT_EQ(Progress().Timer(UpdateKind::FileSystem).interval(), 1500);
    EXPECT_FALSE(Progress().Timer(UpdateKind::Kernel).isActive());
    for (const std::string &mac : macs_) EXPECT_EQ(WaitForUpload(mac, "filesystem_update"), 15'728'640u);

    for (const std::string &mac : macs_) Fleet().SetProgress(mac, "filesystem_progress", 40);
    Tick(UpdateKind::FileSystem);
    EXPECT_EQ(Progress().Bar()->value(), 1);
    for (int i = 0; i < 38; ++i) Tick(UpdateKind::FileSystem);
    EXPECT_EQ(Progress().Bar()->value(), 39);

    // The poll reads the rows ticked now; none ticked: nothing happens.
    TickOnly(*main_, {});
    Tick(UpdateKind::FileSystem);
    EXPECT_EQ(Progress().Bar()->value(), 39);
    EXPECT_TRUE(Progress().Timer(UpdateKind::FileSystem).isActive());

    TickOnly(*main_, macs_);
    for (const std::string &mac : macs_)
        Fleet().InjectFault(mac, "filesystem_progress", Fault(FaultType::ErrCode, -1));
    Tick(UpdateKind::FileSystem);
    EXPECT_EQ(prompts_.Texts(), (QStringList{kQuestion, "升级失败！"}));
    EXPECT_FALSE(Progress().Bar()->isVisibleTo(window_->SystemUpdatePage()));
    EXPECT_FALSE(Progress().Timer(UpdateKind::FileSystem).isActive());
}

TEST_F(BatchFilePagesTest, FileSystemBarNeedsOneHundredTicksToReachTheEnd) {
    StartBatch({Receiver("TALVO_SX", {}, 1)});
    TickOnly(*main_, macs_);
    Send(UpdateRow(UpdateKind::FileSystem), FileOfSize("upgrade-SX-TALVO.tar.lzma", 2000));
    WaitForUpload(mac_, "filesystem_update");
    Fleet().SetProgress(mac_, "filesystem_progress", 100);
    for (int i = 0; i < 200 && Progress().Bar()->value() < 100; ++i) Tick(UpdateKind::FileSystem);
    EXPECT_EQ(moves_, 100);
    Tick(UpdateKind::FileSystem);
    EXPECT_EQ(prompts_.Texts(), (QStringList{kQuestion, "升级成功！"}));
}

} // namespace
} // namespace talvo::testing
