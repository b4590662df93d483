// The three configuration sections and the two password changes.
#include <cstring>

#include "core/json_schema.h"
#include "core/log.h"
#include "core/text.h"
#include "device/device.h"
#include "device/request.h"

#define KORVEL_LOG_UNIT "Device"

namespace korvel {
namespace {

using namespace schema;

#define NET_MEMBER(field) JM_TEXT(NetConfig, field, #field, JSONMAP_OPTIONAL)
const JsonFieldDesc kNetConfigResultSchema[] = {
    NET_MEMBER(wifi_on),         NET_MEMBER(wifi_ssid),        NET_MEMBER(wifi_ipaddr),
    NET_MEMBER(wifi_ipmask),     NET_MEMBER(wifi_pwd),         NET_MEMBER(wifi_countries),
    NET_MEMBER(wifi_fre),        NET_MEMBER(wifi_channel),     NET_MEMBER(wifi_signal_strength),
    NET_MEMBER(router_wifi_ssid), NET_MEMBER(router_passwd),   NET_MEMBER(wired_use_dhcp),
    NET_MEMBER(wired_ipaddr),    NET_MEMBER(wired_ipmask),     NET_MEMBER(wired_ipgateway),
    NET_MEMBER(wired_pridns),    NET_MEMBER(wired_secdns),     NET_MEMBER(dev_ver_info),
    NET_MEMBER(dev_type),        NET_MEMBER(connect_status),   NET_MEMBER(dev_mac),
    JM_END,
};
#undef NET_MEMBER

#define VIDEO_MEMBER(field) JM_TEXT(VideoOutConfig, field, #field, JSONMAP_OPTIONAL)
const JsonFieldDesc kVideoOutResultSchema[] = {
    VIDEO_MEMBER(video_hdmi_resu), VIDEO_MEMBER(video_vga_resu), VIDEO_MEMBER(video_osd_transparency),
    VIDEO_MEMBER(input_vga_gain),  VIDEO_MEMBER(input_vga_sharp), VIDEO_MEMBER(sound_volume),
    VIDEO_MEMBER(display_mode),    VIDEO_MEMBER(osd_on),          VIDEO_MEMBER(rotate_str),
    VIDEO_MEMBER(auto_fullscreen), VIDEO_MEMBER(auto_shutdown),   VIDEO_MEMBER(auto_shutdown_sec),
    JM_END,
};
#undef VIDEO_MEMBER

const JsonFieldDesc kPinCodeResultSchema[] = {
    JM_TEXT(PinCodeConfig, use_input_code, "use_input_code", JSONMAP_OPTIONAL),
    JM_TEXT(PinCodeConfig, input_code, "input_code", JSONMAP_OPTIONAL),
    JM_END,
};

template <class Record>
struct ReadAnswer {
    int32_t err_code;
    Record result;
};

#define READ_SCHEMA(name, Record, result_schema)                                                        \
    const JsonFieldDesc name[] = {                                                                      \
        JM_INT(ReadAnswer<Record>, err_code, "err_code", JSONMAP_REQUIRED),                             \
        JM_OBJECT(ReadAnswer<Record>, result, "result", JSONMAP_REQUIRED, result_schema),               \
        JM_END,                                                                                         \
    }
READ_SCHEMA(kNetConfigSchema, NetConfig, kNetConfigResultSchema);
READ_SCHEMA(kVideoOutSchema, VideoOutConfig, kVideoOutResultSchema);
READ_SCHEMA(kPinCodeSchema, PinCodeConfig, kPinCodeResultSchema);
#undef READ_SCHEMA

constexpr const char *kStatusLine = "[%s]:[%d] login device failed.";

RequestForm Read(const char *section) {
    RequestForm form;
    form.action = "read";
    form.section = section;
    return form;
}

RequestForm Write(const char *action, const char *section, std::vector<QueryParam> params) {
    RequestForm form;
    form.action = action;
    form.section = section;
    form.params = std::move(params);
    return form;
}

bool IsTrue(const char *text) { return EqualsIgnoreCase(text, "true"); }
bool IsFalse(const char *text) { return EqualsIgnoreCase(text, "false"); }

} // namespace

// The parameters of a network settings write in the receiver's order, each
// only when it carries text: up to 17 of them (wifi_on, eight hotspot fields,
// wired_use_dhcp, five wired fields, two router fields).
std::vector<QueryParam> NetConfigParams(const NetConfig &config) {
    std::vector<QueryParam> params;
    AddIfSet(params, "wifi_on", config.wifi_on);
    if (IsTrue(FieldText(config.wifi_on).c_str())) {
        AddIfSet(params, "wifi_ssid", config.wifi_ssid);
        AddIfSet(params, "wifi_ipaddr", config.wifi_ipaddr);
        AddIfSet(params, "wifi_ipmask", config.wifi_ipmask);
        AddIfSet(params, "wifi_pwd", config.wifi_pwd);
        AddIfSet(params, "wifi_countries", config.wifi_countries);
        AddIfSet(params, "wifi_fre", config.wifi_fre);
        AddIfSet(params, "wifi_channel", config.wifi_channel);
        AddIfSet(params, "wifi_signal_strength", config.wifi_signal_strength);
    }
    AddIfSet(params, "wired_use_dhcp", config.wired_use_dhcp);
    if (IsFalse(FieldText(config.wired_use_dhcp).c_str())) {
        AddIfSet(params, "wired_ipaddr", config.wired_ipaddr);
        AddIfSet(params, "wired_ipmask", config.wired_ipmask);
        AddIfSet(params, "wired_ipgateway", config.wired_ipgateway);
        AddIfSet(params, "wired_pridns", config.wired_pridns);
        AddIfSet(params, "wired_secdns", config.wired_secdns);
    }
    AddIfSet(params, "router_wifi_ssid", config.router_wifi_ssid);
    AddIfSet(params, "router_passwd", config.router_passwd);
    return params;
}

int Device::GetNetConfig(NetConfig &config) {
    ReadAnswer<NetConfig> answer{};
    int result = Ask(Read("net_settings"),
                     {kStatusLine,
                      "[%s]:[%d] parse get divce net configure response json string failed, get device status "
                      "response's json struct must changed.",
                      nullptr},
                     kNetConfigSchema, &answer);
    if (result != 0) return result;
    if (int refused = RefusalOf(answer.err_code, {}); refused != 0) return refused;
    NetConfig &read = answer.result;
    if (read.wifi_on[0] == '\0' && read.wifi_ssid[0] != '\0') CopyText(read.wifi_on, "true");
    if (NamesAnotherDevice(read.dev_mac)) return -1;
    config = read;
    std::lock_guard<std::mutex> lock(fields_);
    CopyText(version_, read.dev_ver_info);
    return 0;
}

int Device::SetNetConfig(const NetConfig &config) {
    return Command(Write("save", "net_settings", NetConfigParams(config)),
                   {kStatusLine,
                    "[%s]:[%d] parse set device net configure response json string failed, get device status "
                    "response's json struct must changed.",
                    "[%s]:[%d] set device net configure failed."});
}

int Device::GetVideoOut(VideoOutConfig &config) {
    ReadAnswer<VideoOutConfig> answer{};
    int result = Ask(Read("video_out"),
                     {kStatusLine,
                      "[%s]:[%d] parse get device video output response json string failed, get device status "
                      "response's json struct must changed.",
                      nullptr},
                     kVideoOutSchema, &answer);
    if (result != 0) return result;
    if (int refused = RefusalOf(answer.err_code, {}); refused != 0) return refused;
    config = answer.result;
    return 0;
}

int Device::SetVideoOut(const VideoOutConfig &config) {
    std::vector<QueryParam> params;
    AddIfSet(params, "video_hdmi_resu", config.video_hdmi_resu);
    AddIfSet(params, "video_vga_resu", config.video_vga_resu);
    AddIfSet(params, "video_osd_transparency", config.video_osd_transparency);
    AddIfSet(params, "input_vga_gain", config.input_vga_gain);
    AddIfSet(params, "input_vga_sharp", config.input_vga_sharp);
    AddIfSet(params, "sound_volume", config.sound_volume);
    AddIfSet(params, "display_mode", config.display_mode);
    AddIfSet(params, "osd_on", config.osd_on);
    AddIfSet(params, "rotate_str", config.rotate_str);
    AddIfSet(params, "auto_fullscreen", config.auto_fullscreen);
    AddIfSet(params, "auto_shutdown", config.auto_shutdown);
    AddIfSet(params, "auto_shutdown_sec", config.auto_shutdown_sec);
    const FailureLines lines{kStatusLine,
                             "[%s]:[%d] parse set video out configure response json string failed, get device status "
                             "response's json struct must changed.",
                             "[%s]:[%d] set device video out configure failed."};
    CodeAnswer answer{};
    int result = Ask(Write("save", "video_out", std::move(params)), lines, kCodeAnswerSchema, &answer);
    if (result != 0) return result;
    if (answer.err_code == -2) { // nine pictures while multicast mode is on
        KLOG(lines.refused);
        return ZR_QM_ERR_NINE_IN_MULTICAST;
    }
    return RefusalOf(answer.err_code, lines);
}

int Device::GetPinCode(PinCodeConfig &config) {
    const FailureLines lines{kStatusLine,
                             "[%s]:[%d] parse get device pin code response json string failed, get device status "
                             "response's json struct must changed.",
                             "[%s]:[%d] get pin code cfg failed."};
    ReadAnswer<PinCodeConfig> answer{};
    int result = Ask(Read("pin_code"), lines, kPinCodeSchema, &answer);
    if (result != 0) return result;
    if (int refused = RefusalOf(answer.err_code, lines); refused != 0) return refused;
    config = answer.result;
    return 0;
}

int Device::SetPinCode(const char *use_input_code) {
    std::vector<QueryParam> params;
    if (!IsEmpty(use_input_code)) params.push_back({"use_input_code", use_input_code});
    return Command(Write("save", "pin_code", std::move(params)),
                   {kStatusLine,
                    "[%s]:[%d] parse set pin code configure response json string failed, get device status "
                    "response's json struct must changed.",
                    "[%s]:[%d] set device pin code configure failed."});
}

int Device::ChangePassword(const char *section, const char *old_md5, const char *new_md5) {
    return Command(Write("update", section,
                         {{"admin_pwd_old", old_md5 ? old_md5 : ""}, {"admin_pwd_new", new_md5 ? new_md5 : ""}}),
                   {kStatusLine,
                    "[%s]:[%d] parse change login password response json string failed, get device status "
                    "response's json struct must changed.",
                    "[%s]:[%d] change login password failed."});
}

int Device::ChangeLoginPassword(const char *old_md5, const char *new_md5) {
    return ChangePassword("QM_login_pwd", old_md5, new_md5);
}

int Device::ChangeWebPassword(const char *old_md5, const char *new_md5) {
    return ChangePassword("login_pwd", old_md5, new_md5);
}

} // namespace korvel
