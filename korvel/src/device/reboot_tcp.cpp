// The second reboot path: one framed JSON command over TCP port 50012,
// authenticated by the stored user name and password digest, no session.
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "core/json_schema.h"
#include "core/log.h"
#include "core/text.h"
#include "device/device.h"
#include "net/socket_channel.h"

#define KORVEL_LOG_UNIT "Device"

namespace korvel {

// The command's members in the order they go out.
struct RebootCommand {
    char MsgName[64];
    char Wired_MacAddr[32];
    char Device_Type[32];
    char UserName[32];
    char PasswordMd5[33];
    char ProductId[64];
    char Odm_Name[32];
};

namespace {

using namespace schema;

constexpr uint16_t kCommandPort = 50012;
constexpr int kAnswerWaitMilliseconds = 1000;
constexpr auto kAnswerDeadline = std::chrono::seconds(4);

const JsonFieldDesc kRebootCommandSchema[] = {
    JM_TEXT(RebootCommand, MsgName, "MsgName", JSONMAP_OPTIONAL),
    JM_TEXT(RebootCommand, Wired_MacAddr, "Wired_MacAddr", JSONMAP_OPTIONAL),
    JM_TEXT(RebootCommand, Device_Type, "Device_Type", JSONMAP_OPTIONAL),
    JM_TEXT(RebootCommand, UserName, "UserName", JSONMAP_OPTIONAL),
    JM_TEXT(RebootCommand, PasswordMd5, "PasswordMd5", JSONMAP_OPTIONAL),
    JM_TEXT(RebootCommand, ProductId, "ProductId", JSONMAP_OPTIONAL),
    JM_TEXT(RebootCommand, Odm_Name, "Odm_Name", JSONMAP_OPTIONAL),
    JM_END,
};

struct RebootAnswer {
    char MsgName[64];
    char Wired_MacAddr[32];
    char Device_Type[32];
    char Result[64];
    char ProductId[64];
    char Odm_Name[32];
};

const JsonFieldDesc kRebootAnswerSchema[] = {
    JM_TEXT(RebootAnswer, MsgName, "MsgName", JSONMAP_OPTIONAL),
    JM_TEXT(RebootAnswer, Wired_MacAddr, "Wired_MacAddr", JSONMAP_OPTIONAL),
    JM_TEXT(RebootAnswer, Device_Type, "Device_Type", JSONMAP_OPTIONAL),
    JM_TEXT(RebootAnswer, Result, "Result", JSONMAP_OPTIONAL),
    JM_TEXT(RebootAnswer, ProductId, "ProductId", JSONMAP_OPTIONAL),
    JM_TEXT(RebootAnswer, Odm_Name, "Odm_Name", JSONMAP_OPTIONAL),
    JM_END,
};

int ResultCode(const char *result) {
    if (Equals(result, "Success")) return 0;
    if (Equals(result, "UserNameOrPasswordNotMatch")) return ZR_QM_ERR_DEV_AUTH;
    if (Equals(result, "MacNotMatch")) return ZR_QM_ERR_MAC_MISMATCH;
    return ZR_QM_ERR_DEV_REFUSED;
}

// Waits in 1 s steps until the answer is there; false once 4 whole seconds
// have passed since the command went out.
bool AwaitAnswer(const SocketChannel &channel, std::chrono::steady_clock::time_point sent_at) {
    for (;;) {
        if (channel.WaitReadable(kAnswerWaitMilliseconds) == 1) return true;
        auto waited = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - sent_at);
        if (waited >= kAnswerDeadline) return false;
    }
}

} // namespace

RebootCommand Device::RebootCommandFields() const {
    RebootCommand command{};
    std::lock_guard<std::mutex> lock(fields_);
    CopyText(command.MsgName, "DeviceReboot");
    CopyText(command.Wired_MacAddr, mac_);
    CopyText(command.Device_Type, "DeviceManagerSoftware");
    CopyText(command.UserName, user_);
    CopyText(command.PasswordMd5, password_md5_);
    CopyText(command.ProductId, "KARVEN");
    CopyText(command.Odm_Name, "TALVO");
    return command;
}

int Device::RebootViaTcp() {
    SocketChannel channel;
    if (channel.CreateChannel(0, 0, CHANNEL_STREAM | CHANNEL_CLIENT,
                              OPTION_BLOCKING | OPTION_REUSE_ADDRESS | OPTION_NO_DELAY) != 0) {
        KLOG("[%s]:[%d] create socket failed.");
        return -1;
    }
    uint32_t address = 0;
    if (ParseIPv4(Address().c_str(), address) != 0 || channel.ConnectChannel(address, kCommandPort) != 0) {
        KLOG("[%s]:[%d] connect device failed.");
        return ZR_QM_ERR_CONNECT;
    }
    const RebootCommand command = RebootCommandFields();
    char *text = JsonObj2String(kRebootCommandSchema, &command);
    if (text == nullptr) {
        KLOG("[%s]:[%d] JsonObj2String struct to json failed.");
        return -1;
    }
    const int length = static_cast<int>(std::strlen(text));
    const int sent = channel.ZR01_TcpSend_API(text, length);
    std::free(text);
    if (sent != length) {
        KLOG("[%s]:[%d] send data failed.");
        return -1;
    }
    if (!AwaitAnswer(channel, std::chrono::steady_clock::now())) return -1;
    char buffer[kMaxFramePayload + 1] = {0};
    const int received = channel.ZR01_TcpRecv_API(buffer, kMaxFramePayload);
    if (received < 0) KLOG("[%s]:[%d] receive data failed.");
    if (received <= 0) return -1;
    RebootAnswer answer{};
    if (JsonString2Obj(kRebootAnswerSchema, buffer, &answer) != 0) {
        KLOG("[%s]:[%d] JsonString2Obj failed, not json string or search device json cmd struct changed!");
        return -1;
    }
    if (!Equals(answer.MsgName, "DeviceRebootAck")) return -1;
    return ResultCode(answer.Result);
}

} // namespace korvel
