// The device operate password change: every device gets the new login
// password and is logged in again; the device store is rewritten. One device
// answers on a small peer; the others sit at addresses where nothing listens,
// so their logins just fail.
#include <gtest/gtest.h>

#include <sys/socket.h>

#include <filesystem>
#include <string>

#include "core/digest.h"
#include "library_fixture.h"
#include "tcp_peer.h"

namespace {

using namespace korvel::testing;

std::string Digest(const char *text) {
    char digest[korvel::kDigestSize];
    korvel::TextDigest(text, digest);
    return digest;
}

std::string Upper(std::string text) {
    for (char &c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

class OperatePasswordTest : public LibraryTest {
protected:
    void SetUp() override {
        // The stored digest in capitals: the current password is compared
        // without regard to letter case.
        cwd_.Write("DevsInfo.ini", DeviceStore({DeviceEntry("aa:bb:cc:00:00:01"), DeviceEntry("aa:bb:cc:00:00:02"),
                                                DeviceEntry("aa:bb:cc:00:00:03")},
                                               "TALVO", Upper(kOperatePwdMd5)));
        Start();
        ASSERT_EQ(ZR_QM_SetDevLoginUserNamePwd("aa:bb:cc:00:00:02", "custom", "own"), 0);
    }

    void ExpectUnchanged(const char *what) {
        EXPECT_FALSE(std::filesystem::exists(cwd_.File("DevsInfo.ini"))) << what << ": store rewritten";
        EXPECT_EQ(Upper(Internals().Managed().Operate().password_md5), Upper(kOperatePwdMd5)) << what;
        for (const DeviceInfo &info : ManagedDevices())
            EXPECT_NE(std::string(info.Device_PwdMd5), Digest("new")) << what;
    }
};

TEST_F(OperatePasswordTest, RefusalsChangeNothing) {
    std::filesystem::remove(cwd_.File("DevsInfo.ini"));
    RunSteps({
        {"empty user", [] { return ZR_QM_ModifyDevOperatePwd("", "WQZNE847", "new"); }, ZR_QM_ERR_PARAM},
        {"null new", [] { return ZR_QM_ModifyDevOperatePwd("TALVO", "WQZNE847", nullptr); }, ZR_QM_ERR_PARAM},
        {"not logged in", [] { return ZR_QM_ModifyDevOperatePwd("TALVO", "WQZNE847", "new"); },
         ZR_QM_ERR_NOT_LOGGED_IN},
        {"login", [] { return ZR_QM_Login("admin", "pelun"); }, 0},
        {"another operate user", [] { return ZR_QM_ModifyDevOperatePwd("talvo", "WQZNE847", "new"); }, -1},
        {"wrong current password", [] { return ZR_QM_ModifyDevOperatePwd("TALVO", "wqzne847", "new"); },
         ZR_QM_ERR_PASSWORD},
    });
    ExpectUnchanged("refused");
}

// Answers one HTTP request with a successful login and keeps its request line.
std::string AnswerOneLogin(int connection) {
    std::string request;
    char buffer[1024];
    while (request.find("\r\n\r\n") == std::string::npos) {
        ssize_t n = recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        request.append(buffer, static_cast<size_t>(n));
    }
    const std::string body = "{\"result\":1,\"sessionId\":\"s1\"}";
    const std::string answer = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " +
                               std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    TcpPeer::SendAll(connection, answer.data(), answer.size());
    return request.substr(0, request.find("\r\n"));
}

TEST_F(OperatePasswordTest, EveryDeviceTakesTheNewPasswordAndTheStoreIsRewritten) {
    Login();
    std::string request_line;
    TcpPeer receiver([&](int connection) { request_line = AnswerOneLogin(connection); }, "127.0.4.1", 80);
    Internals().Managed().Find("aa:bb:cc:00:00:01")->SetAddress("127.0.4.1");

    ASSERT_EQ(ZR_QM_ModifyDevOperatePwd("TALVO", "WQZNE847", "new"), 0);
    receiver.Join();
    EXPECT_EQ(request_line, "GET /do?action=login&username=TALVO&password=" + Digest("new") +
                                "&devicetype=DeviceManagerSoftware&odmname=TALVO&productid=KARVEN HTTP/1.1");
    EXPECT_EQ(std::string(Internals().Managed().Operate().password_md5), Digest("new"));
    for (const DeviceInfo &info : ManagedDevices()) {
        EXPECT_EQ(std::string(info.Device_PwdMd5), Digest("new")) << info.Wired_MacAddr;
        // User names stay as they are.
        EXPECT_STREQ(info.Device_UserName, std::string(info.Wired_MacAddr) == "aa:bb:cc:00:00:02" ? "custom" : "TALVO");
        bool answers = std::string(info.Wired_MacAddr) == "aa:bb:cc:00:00:01";
        EXPECT_EQ(Internals().Managed().Find(info.Wired_MacAddr)->LoggedIn(), answers) << info.Wired_MacAddr;
    }
    std::string text = cwd_.Read("DevsInfo.ini");
    EXPECT_NE(text.find("\"DevOperatePwdMd5\":\t\"" + Digest("new") + "\""), std::string::npos);
    EXPECT_EQ(text.find(kOperatePwdMd5), std::string::npos);
    EXPECT_EQ(text.find(Upper(kOperatePwdMd5)), std::string::npos);

    // The old password is no longer the current one.
    EXPECT_EQ(ZR_QM_ModifyDevOperatePwd("TALVO", "WQZNE847", "other"), ZR_QM_ERR_PASSWORD);
    ZR_QM_DeInit();
    Start();
    for (const DeviceInfo &info : ManagedDevices()) EXPECT_EQ(std::string(info.Device_PwdMd5), Digest("new"));
}

} // namespace
