// A started library in a fresh current directory, and helpers to fill and
// read its registries and store files in tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/api_frame.h"
#include "core/text.h"
#include "korvel.h"
#include "temp_dir.h"

namespace korvel::testing {

// "默认分组" in code page 936.
inline const std::string kDefaultGroup = "\xC4\xAC\xC8\xCF\xB7\xD6\xD7\xE9";
inline const std::string kOperatePwdMd5 = "e2c7a66d7da5e004b38164ddc0720422"; // MD5 of "WQZNE847"
inline const std::string kAdminPwdMd5 = "dd4cad3f4ac1f63751f0c3827b62cfcd";   // MD5 of "pelun"

inline DeviceInfo Record(const std::string &mac, const std::string &model = "TALVO_HX",
                         const std::string &ip = "127.0.1.1", const std::string &group = "") {
    DeviceInfo info{};
    CopyText(info.Wired_MacAddr, mac.c_str());
    CopyText(info.Device_Type, model.c_str());
    CopyText(info.Wired_IpAddr, ip.c_str());
    CopyText(info.Device_Group, group.c_str());
    std::strcpy(info.Wifi_SSID, "Room");
    std::strcpy(info.Device_Ver, "1.0.0");
    return info;
}

// Takes a list handed out by the library and frees it.
template <class T>
std::vector<T> TakeList(int count, T *items) {
    std::vector<T> list;
    if (count > 0) list.assign(items, items + count);
    std::free(items);
    return list;
}

inline std::vector<DeviceInfo> ManagedDevices() {
    DeviceInfo *devices = nullptr;
    int count = ZR_QM_GetDeviceList(&devices);
    EXPECT_GE(count, 0);
    return TakeList(count, devices);
}

inline std::vector<std::string> ManagedMacs() {
    std::vector<std::string> macs;
    for (const DeviceInfo &info : ManagedDevices()) macs.emplace_back(info.Wired_MacAddr);
    return macs;
}

inline std::vector<std::string> GroupNames() {
    ZR_QM_GroupName *names = nullptr;
    int count = ZR_QM_GetGroupList(&names);
    std::vector<std::string> list;
    for (int i = 0; i < count; ++i) list.emplace_back(names[i]);
    std::free(count > 0 ? names : nullptr);
    return list;
}

inline std::string GroupOf(const std::string &mac) {
    DeviceInfo info{};
    EXPECT_EQ(ZR_QM_GetDeviceInfo(mac.c_str(), &info), 0) << mac;
    return info.Device_Group;
}

// One "Devices" entry of a device store file.
inline std::string DeviceEntry(const std::string &mac, const std::string &model = "TALVO_HX",
                               const std::string &group = "", const std::string &user = "",
                               const std::string &pwd = "") {
    return "{\"Wifi_SSID\":\"Room\",\"Wired_IpAddr\":\"127.0.1.1\",\"Device_Type\":\"" + model +
           "\",\"Device_Ver\":\"1.0.0\",\"Wired_MacAddr\":\"" + mac + "\",\"Device_UserName\":\"" + user +
           "\",\"Device_PwdMd5\":\"" + pwd + "\",\"Device_Alias\":\"\",\"Device_Group\":\"" + group + "\"}";
}

inline std::string DeviceStore(const std::vector<std::string> &entries, const std::string &user = "TALVO",
                               const std::string &pwd = kOperatePwdMd5) {
    std::string text = "{\"DevOperateUserName\":\"" + user + "\",\"DevOperatePwdMd5\":\"" + pwd +
                       "\",\"Dev_Num\":" + std::to_string(entries.size()) + ",\"Devices\":[";
    for (size_t i = 0; i < entries.size(); ++i) text += (i ? "," : "") + entries[i];
    return text + "]}";
}

inline std::string GroupStore(const std::vector<std::string> &names) {
    std::string text = "{\"Group_Num\":" + std::to_string(names.size()) + ",\"Groups\":[";
    for (size_t i = 0; i < names.size(); ++i) text += std::string(i ? "," : "") + "{\"Group_Name\":\"" + names[i] + "\"}";
    return text + "]}";
}

// One step of a session: the call, and the result it must give.
struct Step {
    const char *what;
    std::function<int()> call;
    int result;
};

inline void RunSteps(const std::vector<Step> &steps) {
    for (const Step &step : steps) EXPECT_EQ(step.call(), step.result) << step.what;
}

class LibraryTest : public ::testing::Test {
protected:
    void TearDown() override { ZR_QM_DeInit(); }

    // Starts the library on whatever store files the test wrote.
    void Start(int expected = 0) { ASSERT_EQ(ZR_QM_Init(), expected); }

    Manager &Internals() { return *CurrentManagerUnlocked(); }

    // Puts a device into the search registry, as discovery would.
    void Discover(DeviceInfo record) { ASSERT_EQ(Internals().Search().Admit(record), 0); }

    // Discovers the devices and adopts them into the managed registry.
    void Manage(const std::vector<DeviceInfo> &records) {
        std::vector<ZR_QM_MacText> macs(records.size());
        for (size_t i = 0; i < records.size(); ++i) {
            Discover(records[i]);
            std::strcpy(macs[i], records[i].Wired_MacAddr);
        }
        ASSERT_EQ(ZR_QM_AddSearchDevicesToDeviceList(macs.data(), static_cast<unsigned>(macs.size())),
                  static_cast<int>(records.size()));
    }

    void Login() { ASSERT_EQ(ZR_QM_Login("admin", "pelun"), ZR_QM_USER_SUPER_ADMIN); }

    WorkingDirectory cwd_;
};

} // namespace korvel::testing
