// Uploads and progress queries against a simulated receiver: what arrives,
// byte for byte, with its digest and file name.
#include <fstream>
#include <random>

#include "core/digest.h"
#include "sim_device.h"
#include "temp_dir.h"

namespace device_test {
namespace {

using talvo_sim::FaultType;

std::string RandomBytes(size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (auto &byte : bytes) byte = static_cast<char>(generator());
    return bytes;
}

class UploadTest : public SimDeviceTest {
protected:
    void SetUp() override {
        SimDeviceTest::SetUp();
        LogIn();
    }
    korvel::testing::TempDir dir;
};

TEST_F(UploadTest, FirmwareArrivesWholeWithItsDigestAndName) {
    const std::string content = RandomBytes(3 << 20, 1);
    const std::string path = dir.Write("TALVO_JX.tar.bz2", content);
    const std::string md5 = talvo_sim::Md5Hex(content);
    ASSERT_EQ(device->Upgrade(nullptr, 0, path.c_str()), 0);
    const auto request = Last();
    EXPECT_EQ(request.method, "PUT");
    EXPECT_EQ(request.path, "/do?action=upload&section=upgrade&md5=" + md5);
    EXPECT_EQ(request.cookie, OnTheWire(device->Cookie()));
    EXPECT_EQ(request.content_type, "multipart/form-data; boundary=----WebKitFormBoundaryRVr");
    EXPECT_EQ(request.upload_head, "------WebKitFormBoundaryRVr\r\n"
                                   "Content-Disposition: form-data; name=\"file\"; filename=\"TALVO_JX.tar.bz2\"\r\n"
                                   "Content-Type: application/octet-stream\r\n\r\n");
    const auto file = fleet.Snapshot(kMac).files.at("upgrade");
    EXPECT_EQ(file.file_name, "TALVO_JX.tar.bz2"); // the name, not the folder it came from
    EXPECT_EQ(file.size, content.size());
    EXPECT_EQ(file.md5, md5);

    // The receiver installs and reports rising progress until 100.
    int progress = -1;
    EXPECT_TRUE(Eventually([&] { return (progress = device->GetUpgradeProgress()) == 100; })) << progress;
    EXPECT_EQ(LastPath(), "/do?action=read&section=upgradeprogress");
}

TEST_F(UploadTest, MemoryContentIsSentUnchanged) {
    const std::string content = RandomBytes(200000, 2);
    const std::string path = dir.Write("uImage-JX.bin", content);
    const std::string md5 = talvo_sim::Md5Hex(content);
    ASSERT_EQ(device->SystemUpdate(content.data(), content.size(), 1, path.c_str(), md5.c_str()), 0);
    EXPECT_EQ(LastPath(), "/do?action=upload&section=kernel_update&md5=" + md5);
    const auto file = fleet.Snapshot(kMac).files.at("kernel_update");
    EXPECT_EQ(file.file_name, "uImage-JX.bin");
    EXPECT_EQ(file.size, content.size());
    EXPECT_EQ(file.md5, md5);
    // The digest the caller gives is what goes out; the receiver checks it.
    EXPECT_EQ(device->SystemUpdate(content.data(), content.size(), 2, path.c_str(), "0123"),
              ZR_QM_ERR_DEV_REFUSED);
    EXPECT_EQ(LastPath(), "/do?action=upload&section=filesystem_update&md5=0123");
}

TEST_F(UploadTest, EmptyFileIsHeadFollowedByTail) {
    const std::string path = dir.Write("empty.jpg", "");
    ASSERT_EQ(device->SetScreen(1, nullptr, 0, path.c_str()), 0);
    const auto request = Last();
    EXPECT_EQ(request.path, "/do?action=upload&section=standby_screen"); // no md5 for screens
    EXPECT_EQ(request.query.count("md5"), 0u);
    const auto file = fleet.Snapshot(kMac).files.at("standby_screen");
    EXPECT_EQ(file.size, 0u);
    EXPECT_EQ(file.file_name, "empty.jpg");
}

TEST_F(UploadTest, ScreenSectionsAndKindsOutOfRange) {
    const std::string path = dir.Write("boot.jpg", RandomBytes(5000, 3));
    const char *sections[] = {"startup_screen", "standby_screen", "load_screen", "upgrade_screen"};
    for (int kind = 0; kind < 4; ++kind) {
        ASSERT_EQ(device->SetScreen(kind, nullptr, 0, path.c_str()), 0) << kind;
        EXPECT_EQ(Last().section, sections[kind]);
    }
    fleet.ClearRequests(kMac);
    EXPECT_EQ(device->SetScreen(4, nullptr, 0, path.c_str()), ZR_QM_ERR_PARAM);
    EXPECT_EQ(device->SetScreen(-1, nullptr, 0, path.c_str()), ZR_QM_ERR_PARAM);
    EXPECT_EQ(device->SystemUpdate(nullptr, 0, 3, path.c_str(), "x"), ZR_QM_ERR_PARAM);
    EXPECT_EQ(device->GetUpdateProgress(3), ZR_QM_ERR_PARAM);
    EXPECT_EQ(device->GetUpdateProgress(-1), ZR_QM_ERR_PARAM);
    EXPECT_TRUE(Requests().empty()); // refused before anything was sent
}

TEST_F(UploadTest, MissingFilesAndFailedTransfers) {
    const std::string missing = dir.File("absent.bin");
    EXPECT_EQ(device->SetScreen(0, nullptr, 0, missing.c_str()), ZR_QM_ERR_FILE_OPEN);
    EXPECT_EQ(device->Upgrade(nullptr, 0, missing.c_str()), ZR_QM_ERR_FILE_OPEN);
    EXPECT_TRUE(Requests().empty());

    const std::string path = dir.Write("TALVO_JX.tar.bz2", RandomBytes(100000, 4));
    struct Case {
        talvo_sim::Fault fault;
        int result;
    } cases[] = {{FaultOf(FaultType::Status, 500), ZR_QM_ERR_HTTP_500},
                 {FaultOf(FaultType::Unauthorized), ZR_QM_ERR_HTTP_401},
                 {FaultOf(FaultType::BrokenBody), ZR_QM_ERR_JSON},
                 {FaultOf(FaultType::ErrCode, 1), ZR_QM_ERR_DEV_REFUSED},
                 {FaultOf(FaultType::Close), -1}};
    for (const auto &c : cases) {
        Inject("upload", c.fault);
        EXPECT_EQ(device->Upgrade(nullptr, 0, path.c_str()), c.result) << static_cast<int>(c.fault.type);
    }
    fleet.TakeOffline(kMac);
    EXPECT_EQ(device->Upgrade(nullptr, 0, path.c_str()), -1);
}

TEST_F(UploadTest, SystemUpdateProgressSections) {
    const char *sections[] = {"", "kernel_progress", "filesystem_progress"};
    for (int kind = 0; kind < 3; ++kind) {
        EXPECT_GE(device->GetUpdateProgress(kind), 0) << kind;
        EXPECT_EQ(LastPath(), std::string("/do?action=read&section=") + sections[kind]);
        EXPECT_TRUE(Last().has_section);
    }
    // err_code 0 and above count as success; below 0 is a refusal.
    Inject("kernel_progress", FaultOf(FaultType::ErrCode, 2));
    EXPECT_GE(device->GetUpdateProgress(1), 0);
    Inject("kernel_progress", FaultOf(FaultType::ErrCode, -1));
    EXPECT_EQ(device->GetUpdateProgress(1), ZR_QM_ERR_DEV_REFUSED);
    Inject("upgradeprogress", FaultOf(FaultType::ErrCode, -3));
    EXPECT_EQ(device->GetUpgradeProgress(), ZR_QM_ERR_DEV_REFUSED);
    Inject("upgradeprogress", FaultOf(FaultType::BrokenBody));
    EXPECT_EQ(device->GetUpgradeProgress(), ZR_QM_ERR_JSON);

    const std::string content = RandomBytes(10000, 5);
    const std::string path = dir.Write("upgrade-JX-TALVO.tar.lzma", content);
    ASSERT_EQ(device->SystemUpdate(nullptr, 0, 2, path.c_str(), talvo_sim::Md5Hex(content).c_str()), 0);
    EXPECT_TRUE(Eventually([&] { return device->GetUpdateProgress(2) == 100; }));
}

} // namespace
} // namespace device_test
