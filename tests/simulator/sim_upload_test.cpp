// Uploads (multipart PUT) and the progress that follows them.
#include "fleet_fixture.h"

namespace sim_test {
namespace {

using talvo_sim::Md5Hex;

class UploadTest : public FleetTest {
protected:
    void SetUp() override {
        FleetTest::SetUp();
        cookie = LoginCookie(kAddress);
    }
    int Progress(const std::string &section, const std::string &member) {
        Json answer = Parse(Read(section, cookie).body);
        std::string value = Member(answer.get(), member);
        return value.empty() ? -1 : std::stoi(value);
    }
    std::string cookie;
};

TEST_F(UploadTest, FirmwareUploadIsRecordedAndInstallsWithRisingProgress) {
    const std::string content = "firmware bytes \x01\x02\x03";
    fleet.ClearRequests(kMac);
    HttpResult upload = Upload(kAddress, "/do?action=upload&section=upgrade&md5=" + Md5Hex(content), cookie,
                               "TALVO_JX.tar.bz2", content);
    ASSERT_EQ(upload.status, 200);
    EXPECT_EQ(upload.body, "{\"err_code\":0}");

    auto requests = fleet.Requests(kMac);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "PUT");
    EXPECT_EQ(requests[0].path, "/do?action=upload&section=upgrade&md5=" + Md5Hex(content));
    EXPECT_EQ(requests[0].content_type, "multipart/form-data; boundary=----WebKitFormBoundaryRVr");
    EXPECT_EQ(requests[0].upload_head, "------WebKitFormBoundaryRVr\r\n"
                                       "Content-Disposition: form-data; name=\"file\"; filename=\"TALVO_JX.tar.bz2\"\r\n"
                                       "Content-Type: application/octet-stream\r\n\r\n");
    EXPECT_EQ(requests[0].upload_file_name, "TALVO_JX.tar.bz2");
    EXPECT_EQ(requests[0].upload_size, content.size());
    EXPECT_EQ(requests[0].upload_md5, Md5Hex(content));

    EXPECT_EQ(Member(Parse(Read("dev_state", "").body).get(), "result.dev_state"), "upgrade");
    int first = Progress("upgradeprogress", "result.upgradeprogress");
    EXPECT_GE(first, 0);
    EXPECT_LT(first, 100);
    EXPECT_TRUE(Eventually([&] { return Progress("upgradeprogress", "result.upgradeprogress") == 100; }));
    EXPECT_EQ(Member(Parse(Read("dev_state", "").body).get(), "result.dev_state"), "idle");
    EXPECT_EQ(fleet.Snapshot(kMac).files.at("upgrade").size, content.size());
}

TEST_F(UploadTest, SystemUpdateKindsReportTheirOwnProgress) {
    struct Case {
        std::string upload, progress;
    };
    for (const Case &c : {Case{"uboot_update", ""}, Case{"kernel_update", "kernel_progress"},
                          Case{"filesystem_update", "filesystem_progress"}}) {
        EXPECT_EQ(Progress(c.progress, "result.update_progress"), 0) << c.upload;
        std::string content(1000, 'k');
        HttpResult upload = Upload(kAddress, "/do?action=upload&section=" + c.upload + "&md5=" + Md5Hex(content),
                                   cookie, "image.bin", content);
        EXPECT_EQ(Member(Parse(upload.body).get(), "err_code"), "0") << c.upload;
        EXPECT_TRUE(Eventually([&] { return Progress(c.progress, "result.update_progress") == 100; })) << c.upload;
    }
}

TEST_F(UploadTest, ProgressSetByTheTestStaysWhereItIsPut) {
    fleet.SetProgress(kMac, "kernel_progress", 40);
    fleet.SetProgress(kMac, "upgradeprogress", 100);
    EXPECT_EQ(Progress("kernel_progress", "result.update_progress"), 40);
    EXPECT_EQ(Progress("upgradeprogress", "result.upgradeprogress"), 100);
    EXPECT_EQ(fleet.Snapshot(kMac).reported_state, "upgrade");
    fleet.SetProgress(kMac, "kernel_progress", 100);
    EXPECT_EQ(fleet.Snapshot(kMac).reported_state, "idle");
}

TEST_F(UploadTest, WrongDigestIsRefusedAndInstallsNothing) {
    HttpResult upload = Upload(kAddress, "/do?action=upload&section=kernel_update&md5=" + Md5Hex("other"), cookie,
                               "uImage-JX.bin", "kernel");
    EXPECT_EQ(Member(Parse(upload.body).get(), "err_code"), "1");
    upload = Upload(kAddress, "/do?action=upload&section=upgrade&md5=", cookie, "TALVO_JX.tar.bz2", "x");
    EXPECT_EQ(Member(Parse(upload.body).get(), "err_code"), "1") << "an empty digest does not match";
    EXPECT_EQ(Member(Parse(Read("dev_state", "").body).get(), "result.dev_state"), "idle");
    EXPECT_TRUE(fleet.Snapshot(kMac).files.empty());
}

TEST_F(UploadTest, ScreensNeedNoDigestAndEmptyFilesArrive) {
    for (const std::string section : {"startup_screen", "standby_screen", "load_screen", "upgrade_screen"}) {
        HttpResult upload = Upload(kAddress, "/do?action=upload&section=" + section, cookie, "logo.png", "");
        EXPECT_EQ(Member(Parse(upload.body).get(), "err_code"), "0") << section;
        EXPECT_EQ(fleet.Snapshot(kMac).files.at(section).size, 0u);
        EXPECT_EQ(fleet.Snapshot(kMac).files.at(section).file_name, "logo.png");
    }
    EXPECT_EQ(Member(Parse(Read("dev_state", "").body).get(), "result.dev_state"), "idle") << "no install";
}

TEST_F(UploadTest, LargeUploadArrivesWhole) {
    std::string content(3 * 1024 * 1024, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
    HttpResult upload = Upload(kAddress, "/do?action=upload&section=upgrade&md5=" + Md5Hex(content), cookie,
                               "TALVO_JX.tar.bz2", content);
    EXPECT_EQ(Member(Parse(upload.body).get(), "err_code"), "0");
    EXPECT_EQ(fleet.Snapshot(kMac).files.at("upgrade").md5, Md5Hex(content));
}

TEST_F(UploadTest, BodiesThatAreNoFormAreRefused) {
    for (const std::string body : {"", "no form at all", "------WebKitFormBoundaryRVr\r\nhead without end",
                                   "------WebKitFormBoundaryRVr\r\nA: b\r\n\r\ncontent without closing line"}) {
        HttpResult upload = PutRaw(kAddress, "/do?action=upload&section=standby_screen", cookie, body);
        EXPECT_EQ(upload.status, 400) << body;
    }
    EXPECT_EQ(Upload(kAddress, "/do?action=upload&section=upgrade", "", "f", "x").status, 401);
    EXPECT_EQ(Upload(kAddress, "/do?action=upload&section=nothing", cookie, "f", "x").status, 404);
}

} // namespace
} // namespace sim_test
