// A receiver's settings: network, video output, pin code and multi-display
// mode, read whole or written from key=value pairs (only the given fields are
// sent; the receiver keeps the others).
#include <korvel.h>

#include <strings.h>

#include <algorithm>
#include <cstddef>
#include <functional>

#include "common/command.h"
#include "common/failure.h"
#include "common/record_fields.h"
#include "common/targets.h"

namespace talvoctl {
namespace {

// One settings section: its record's fields and the two exports, over a
// record buffer of the right type.
struct Section {
    const char *word;
    const std::vector<RecordField> *fields;
    std::function<int(const char *mac, void *record)> get;
    std::function<int(const char *mac, const void *record)> set;
    std::function<void(const void *record)> check; // refuses settings the receiver would never get
};

const std::vector<RecordField> kNetFields = {
    TALVOCTL_FIELD(NetConfig, wifi_on, true),          TALVOCTL_FIELD(NetConfig, wifi_ssid, true),
    TALVOCTL_FIELD(NetConfig, wifi_ipaddr, true),      TALVOCTL_FIELD(NetConfig, wifi_ipmask, true),
    TALVOCTL_FIELD(NetConfig, wifi_pwd, true),         TALVOCTL_FIELD(NetConfig, wifi_countries, true),
    TALVOCTL_FIELD(NetConfig, wifi_fre, true),         TALVOCTL_FIELD(NetConfig, wifi_channel, true),
    TALVOCTL_FIELD(NetConfig, wifi_signal_strength, true), TALVOCTL_FIELD(NetConfig, router_wifi_ssid, true),
    TALVOCTL_FIELD(NetConfig, router_passwd, true),    TALVOCTL_FIELD(NetConfig, wired_use_dhcp, true),
    TALVOCTL_FIELD(NetConfig, wired_ipaddr, true),     TALVOCTL_FIELD(NetConfig, wired_ipmask, true),
    TALVOCTL_FIELD(NetConfig, wired_ipgateway, true),  TALVOCTL_FIELD(NetConfig, wired_pridns, true),
    TALVOCTL_FIELD(NetConfig, wired_secdns, true),     TALVOCTL_FIELD(NetConfig, dev_ver_info, false),
    TALVOCTL_FIELD(NetConfig, dev_type, false),        TALVOCTL_FIELD(NetConfig, connect_status, false),
    TALVOCTL_FIELD(NetConfig, dev_mac, false),
};

const std::vector<RecordField> kVideoFields = {
    TALVOCTL_FIELD(VideoOutConfig, video_hdmi_resu, true),   TALVOCTL_FIELD(VideoOutConfig, video_vga_resu, true),
    TALVOCTL_FIELD(VideoOutConfig, video_osd_transparency, true), TALVOCTL_FIELD(VideoOutConfig, input_vga_gain, true),
    TALVOCTL_FIELD(VideoOutConfig, input_vga_sharp, true),   TALVOCTL_FIELD(VideoOutConfig, sound_volume, true),
    TALVOCTL_FIELD(VideoOutConfig, display_mode, true),      TALVOCTL_FIELD(VideoOutConfig, osd_on, true),
    TALVOCTL_FIELD(VideoOutConfig, rotate_str, true),        TALVOCTL_FIELD(VideoOutConfig, auto_fullscreen, true),
    TALVOCTL_FIELD(VideoOutConfig, auto_shutdown, true),     TALVOCTL_FIELD(VideoOutConfig, auto_shutdown_sec, true),
};

const std::vector<RecordField> kPinFields = {
    TALVOCTL_FIELD(PinCodeConfig, use_input_code, true),
    TALVOCTL_FIELD(PinCodeConfig, input_code, false),
};

const std::vector<RecordField> kMulticastFields = {
    TALVOCTL_FIELD(MulticastModeConfig, multi_display_enable, true),
    TALVOCTL_FIELD(MulticastModeConfig, multi_display_mode, true),
    TALVOCTL_FIELD(MulticastModeConfig, multi_display_type, true),
    TALVOCTL_FIELD(MulticastModeConfig, multi_display_audio, true),
    TALVOCTL_FIELD(MulticastModeConfig, multi_display_ip_enable, true),
    TALVOCTL_FIELD(MulticastModeConfig, multi_display_multi_ip, true),
    TALVOCTL_FIELD(MulticastModeConfig, multi_display_uni_ip, true),
    TALVOCTL_FIELD(MulticastModeConfig, multi_display_rtsp_addr, true),
    TALVOCTL_FIELD(MulticastModeConfig, multi_display_rtsp_srv_addr, false),
};

bool Filled(const char *field) { return field[0] != '\0'; }

// The hotspot settings go out only with wifi_on "true", the wired address
// settings only with wired_use_dhcp "false" (letter case aside): refuse the
// others instead of dropping them unsent.
void CheckNetConfig(const void *record) {
    const auto &config = *static_cast<const NetConfig *>(record);
    bool hotspot = Filled(config.wifi_ssid) || Filled(config.wifi_ipaddr) || Filled(config.wifi_ipmask) ||
                   Filled(config.wifi_pwd) || Filled(config.wifi_countries) || Filled(config.wifi_fre) ||
                   Filled(config.wifi_channel) || Filled(config.wifi_signal_strength);
    if (hotspot && strcasecmp(config.wifi_on, "true") != 0) {
        throw ParameterFailure("hotspot settings (wifi_*) are sent only together with wifi_on=true");
    }
    bool wired = Filled(config.wired_ipaddr) || Filled(config.wired_ipmask) || Filled(config.wired_ipgateway) ||
                 Filled(config.wired_pridns) || Filled(config.wired_secdns);
    if (wired && strcasecmp(config.wired_use_dhcp, "false") != 0) {
        throw ParameterFailure("wired address settings (wired_*) are sent only together with wired_use_dhcp=false");
    }
}

template <class Record>
Section MakeSection(const char *word, const std::vector<RecordField> &fields, int (*get)(const char *, Record *),
                    int (*set)(const char *, const Record *), std::function<void(const void *)> check = {}) {
    return {word,
            &fields,
            [get](const char *mac, void *record) { return get(mac, static_cast<Record *>(record)); },
            [set](const char *mac, const void *record) { return set(mac, static_cast<const Record *>(record)); },
            check ? check : [](const void *) {}};
}

const std::vector<Section> &Sections() {
    static const std::vector<Section> sections = {
        MakeSection<NetConfig>("net", kNetFields, ZR_QM_GetDeviceNetConf, ZR_QM_SetDeviceNetConf, CheckNetConfig),
        MakeSection<VideoOutConfig>("video", kVideoFields, ZR_QM_GetDeviceVOConf, ZR_QM_SetDeviceVOConf),
        MakeSection<PinCodeConfig>("pin", kPinFields, ZR_QM_GetDevicePinCode, ZR_QM_SetDevicePinCode),
        MakeSection<MulticastModeConfig>("multicast", kMulticastFields, ZR_QM_GetMulticastMode,
                                         ZR_QM_SetMulticastMode),
    };
    return sections;
}

const Section &FindSection(const std::string &word) {
    for (const Section &section : Sections()) {
        if (word == section.word) return section;
    }
    throw UsageFailure("unknown settings \"" + word + "\": net, video, pin or multicast");
}

// A zeroed buffer that holds any of the records.
struct RecordBuffer {
    alignas(std::max_align_t) unsigned char
        bytes[std::max({sizeof(NetConfig), sizeof(VideoOutConfig), sizeof(PinCodeConfig), sizeof(MulticastModeConfig)})] = {};
};

void ShowSection(const Context &context, const Section &section, const DeviceInfo &device) {
    RecordBuffer record;
    Check(section.get(device.Wired_MacAddr, record.bytes),
          std::string("read ") + section.word + " settings of " + device.Wired_MacAddr);
    context.out.Show(RecordProperties(record.bytes, *section.fields));
}

void RunConfigGet(Context &context) {
    std::vector<std::string> words = context.args.Exactly(0, 2, "config get net|video|pin|multicast MAC");
    const Section &section = FindSection(words[0]);
    ShowSection(context, section, OnlineDevice(context, words[1]));
}

void RunConfigSet(Context &context) {
    std::vector<std::string> words =
        context.args.AtLeast(0, 3, "config set net|video|pin|multicast MAC KEY=VALUE...");
    const Section &section = FindSection(words[0]);
    RecordBuffer record;
    FillRecord(record.bytes, *section.fields, {words.begin() + 2, words.end()});
    section.check(record.bytes);
    DeviceInfo device = OnlineDevice(context, words[1]);
    Check(section.set(device.Wired_MacAddr, record.bytes),
          std::string("save ") + section.word + " settings of " + device.Wired_MacAddr);
    ShowSection(context, section, device);
}

} // namespace

std::vector<Command> ConfigCommands() {
    return {
        {"config get", "net|video|pin|multicast MAC", "read a receiver's settings", {}, Right::Administrator,
         RunConfigGet},
        {"config set", "net|video|pin|multicast MAC KEY=VALUE...",
         "save the given settings (the others stay as they are), then show them", {}, Right::Administrator,
         RunConfigSet},
    };
}

} // namespace talvoctl
