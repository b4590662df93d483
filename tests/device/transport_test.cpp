// The parts of the HTTP transport that need no receiver: query building and
// escaping, result mapping, the multipart form and the upload reader.
#include <gtest/gtest.h>

#include <curl/curl.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "device/device.h"
#include "device/http_transport.h"
#include "device/upload_source.h"
#include "korvel.h"
#include "log_capture.h"
#include "temp_dir.h"

namespace {

using korvel::Device;
using korvel::QueryParam;
using korvel::UploadSource;

TEST(BuildQueryTest, EscapesValuesOnly) {
    std::vector<QueryParam> params{{"wifi_on", "true"}, {"wifi_ssid", "Room 1-A"}};
    EXPECT_EQ(Device::BuildQuery("save", "net_settings", params.data(), 2),
              "/do?action=save&section=net_settings&wifi_on=true&wifi_ssid=Room%201%2dA");
    EXPECT_EQ(Device::BuildQuery("read", "", nullptr, 0), "/do?action=read&section=");
    EXPECT_EQ(Device::BuildQuery("login", nullptr, nullptr, 0), "/do?action=login");
    EXPECT_EQ(Device::BuildQuery(nullptr, nullptr, nullptr, 0), "/do?");

    std::vector<QueryParam> bytes{{"k", "\xE4\xB8\xAD"}, {"a_b", "Az09._~/+%&="}};
    EXPECT_EQ(Device::BuildQuery("x", "y", bytes.data(), 2),
              "/do?action=x&section=y&k=%e4%b8%ad&a_b=Az09%2e%5f%7e%2f%2b%25%26%3d");
}

TEST(BuildQueryTest, LongValuesAreSentWhole) {
    std::vector<QueryParam> params{{"v", std::string(64, '-')}, {"rtsp", "rtsp://" + std::string(248, 'r')}};
    const std::string query = Device::BuildQuery("save", "multi_mode", params.data(), 2);
    const std::string prefix = "/do?action=save&section=multi_mode&v=";
    ASSERT_EQ(query.compare(0, prefix.size(), prefix), 0);
    size_t escaped_end = query.find("&rtsp=");
    EXPECT_EQ(escaped_end - prefix.size(), 192u); // 64 characters, three each
    EXPECT_EQ(query.substr(escaped_end), "&rtsp=rtsp%3a%2f%2f" + std::string(248, 'r'));
}

TEST(ResultMappingTest, StatusesAndTransferResults) {
    struct Case {
        int status;
        int code;
    } statuses[] = {{400, ZR_QM_ERR_HTTP_400}, {401, ZR_QM_ERR_HTTP_401}, {403, ZR_QM_ERR_HTTP_403},
                    {404, ZR_QM_ERR_HTTP_404}, {408, ZR_QM_ERR_TIMEOUT},  {411, ZR_QM_ERR_HTTP_411},
                    {417, ZR_QM_ERR_HTTP_417}, {500, ZR_QM_ERR_HTTP_500}, {501, ZR_QM_ERR_HTTP_501},
                    {502, ZR_QM_ERR_HTTP_502}, {503, ZR_QM_ERR_HTTP_503}, {505, ZR_QM_ERR_HTTP_505},
                    {302, ZR_QM_ERR_HTTP},     {402, ZR_QM_ERR_HTTP},     {504, ZR_QM_ERR_HTTP},
                    {0, ZR_QM_ERR_HTTP},       {600, ZR_QM_ERR_HTTP}};
    for (const auto &c : statuses) EXPECT_EQ(korvel::MapHttpStatus(c.status), c.code) << c.status;

    EXPECT_EQ(korvel::MapTransferError(CURLE_COULDNT_CONNECT), ZR_QM_ERR_CONNECT);
    EXPECT_EQ(korvel::MapTransferError(CURLE_REMOTE_ACCESS_DENIED), ZR_QM_ERR_ACCESS_DENIED);
    EXPECT_EQ(korvel::MapTransferError(CURLE_OPERATION_TIMEDOUT), ZR_QM_ERR_TIMEOUT);
    EXPECT_EQ(korvel::MapTransferError(CURLE_COULDNT_RESOLVE_HOST), -1);
    EXPECT_EQ(korvel::MapTransferError(CURLE_WRITE_ERROR), -1);
}

TEST(UploadFormTest, FileNameHeadAndTail) {
    struct Case {
        const char *path;
        const char *name;
    } cases[] = {{"C:\\fw\\TALVO_HX.tar.bz2", "TALVO_HX.tar.bz2"},
                 {"/home/op/images/uImage-HX.bin", "uImage-HX.bin"},
                 {"D:\\mixed/dir\\boot.jpg", "boot.jpg"},
                 {"plain.bin", "plain.bin"},
                 {"", ""},
                 {nullptr, ""}};
    for (const auto &c : cases) EXPECT_EQ(korvel::UploadFileName(c.path), c.name) << (c.path ? c.path : "null");

    EXPECT_EQ(korvel::UploadHead("TALVO_HX.tar.bz2"),
              "------WebKitFormBoundaryRVr\r\n"
              "Content-Disposition: form-data; name=\"file\"; filename=\"TALVO_HX.tar.bz2\"\r\n"
              "Content-Type: application/octet-stream\r\n\r\n");
    EXPECT_EQ(korvel::UploadTail(), "\r\n------WebKitFormBoundaryRVr--\r\n");
}

// Reads the whole body with buffers of `chunk` bytes.
std::string Drain(UploadSource &source, size_t chunk) {
    std::string body;
    std::vector<char> buffer(chunk + 8, '#');
    for (int calls = 0; calls < 1000000; ++calls) {
        std::optional<size_t> placed = source.Read(buffer.data(), chunk);
        if (!placed) return "<abort>";
        EXPECT_LE(*placed, chunk);
        for (size_t i = chunk; i < buffer.size(); ++i) EXPECT_EQ(buffer[i], '#') << "written past the buffer";
        if (*placed == 0) break;
        body.append(buffer.data(), *placed);
    }
    return body;
}

TEST(UploadSourceTest, DeliversHeadContentTailThroughAnyBufferSize) {
    const std::string head = korvel::UploadHead("image.bin");
    const std::string tail = korvel::UploadTail();
    std::string content(5000, '\0');
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
    for (size_t chunk : {1u, 3u, 16u, 100u, 127u, 4096u, 65536u}) {
        korvel::testing::LogCapture log;
        UploadSource source(head, tail, content.data(), content.size());
        EXPECT_EQ(source.TotalSize(), head.size() + content.size() + tail.size());
        EXPECT_EQ(Drain(source, chunk), head + content + tail) << chunk;
        // Texts that do not fit one buffer are reported, then spread.
        EXPECT_EQ(log.Contains("content before file length is too larger."), chunk <= head.size()) << chunk;
    }
}

TEST(UploadSourceTest, EmptyContentIsHeadThenTail) {
    UploadSource source("HEAD", "TAIL", "", 0);
    EXPECT_EQ(Drain(source, 3), "HEADTAIL");
}

TEST(UploadSourceTest, FileContentAndAFileThatShrank) {
    korvel::testing::TempDir dir;
    const std::string content(70000, 'f');
    const std::string path = dir.Write("image.bin", content);
    {
        UploadSource source("H", "T", std::fopen(path.c_str(), "rb"), content.size());
        EXPECT_EQ(Drain(source, 16384), "H" + content + "T");
    }
    {
        // Declared longer than the file is: the transfer is abandoned.
        UploadSource source("H", "T", std::fopen(path.c_str(), "rb"), content.size() + 10);
        EXPECT_EQ(Drain(source, 16384), "<abort>");
    }
}

TEST(NetConfigParamsTest, OrderAndOmissions) {
    auto keys = [](const NetConfig &config) {
        std::string joined;
        for (const auto &p : korvel::NetConfigParams(config)) joined += p.key + "=" + p.value + " ";
        return joined;
    };
    NetConfig full{};
    std::strcpy(full.wifi_on, "true");
    std::strcpy(full.wifi_ssid, "s");
    std::strcpy(full.wifi_ipaddr, "192.168.9.1");
    std::strcpy(full.wifi_ipmask, "255.255.255.0");
    std::strcpy(full.wifi_pwd, "p");
    std::strcpy(full.wifi_countries, "CN");
    std::strcpy(full.wifi_fre, "5G");
    std::strcpy(full.wifi_channel, "36");
    std::strcpy(full.wifi_signal_strength, "80");
    std::strcpy(full.router_wifi_ssid, "r");
    std::strcpy(full.router_passwd, "rp");
    std::strcpy(full.wired_use_dhcp, "False");
    std::strcpy(full.wired_ipaddr, "10.0.0.2");
    std::strcpy(full.wired_ipmask, "255.0.0.0");
    std::strcpy(full.wired_ipgateway, "10.0.0.1");
    std::strcpy(full.wired_pridns, "10.0.0.53");
    std::strcpy(full.wired_secdns, "10.0.0.54");
    std::strcpy(full.dev_ver_info, "never sent");
    // All 17 go out, in the receiver's order.
    EXPECT_EQ(korvel::NetConfigParams(full).size(), 17u);
    EXPECT_EQ(keys(full),
              "wifi_on=true wifi_ssid=s wifi_ipaddr=192.168.9.1 wifi_ipmask=255.255.255.0 wifi_pwd=p "
              "wifi_countries=CN wifi_fre=5G wifi_channel=36 wifi_signal_strength=80 wired_use_dhcp=False "
              "wired_ipaddr=10.0.0.2 wired_ipmask=255.0.0.0 wired_ipgateway=10.0.0.1 wired_pridns=10.0.0.53 "
              "wired_secdns=10.0.0.54 router_wifi_ssid=r router_passwd=rp ");

    NetConfig off = full;
    std::strcpy(off.wifi_on, "false");
    std::strcpy(off.wired_use_dhcp, "TRUE");
    off.wifi_pwd[0] = '\0';
    EXPECT_EQ(keys(off), "wifi_on=false wired_use_dhcp=TRUE router_wifi_ssid=r router_passwd=rp ");

    NetConfig sparse{};
    std::strcpy(sparse.wifi_on, "TRUE");
    std::strcpy(sparse.wifi_channel, "6");
    std::strcpy(sparse.wired_use_dhcp, "false");
    std::strcpy(sparse.wired_secdns, "1.1.1.1");
    EXPECT_EQ(keys(sparse), "wifi_on=TRUE wifi_channel=6 wired_use_dhcp=false wired_secdns=1.1.1.1 ");

    EXPECT_EQ(keys(NetConfig{}), "");
}

TEST(StateNumberTest, ExactTexts) {
    EXPECT_EQ(korvel::StateNumber("idle"), 0);
    EXPECT_EQ(korvel::StateNumber("share"), 1);
    EXPECT_EQ(korvel::StateNumber("upgrade"), 2);
    EXPECT_EQ(korvel::StateNumber("standby"), 3);
    EXPECT_EQ(korvel::StateNumber("Share"), 0);
    EXPECT_EQ(korvel::StateNumber(""), 0);
    EXPECT_EQ(korvel::StateNumber("offline"), 0);
}

} // namespace
