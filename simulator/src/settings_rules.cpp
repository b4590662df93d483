#include "settings_rules.h"

#include <set>
#include <vector>

namespace talvo_sim {

namespace {

const std::map<std::string, std::vector<std::string>> &WritableKeys() {
    static const std::map<std::string, std::vector<std::string>> keys{
        {kNetSettings,
         {"wifi_on", "wifi_ssid", "wifi_ipaddr", "wifi_ipmask", "wifi_pwd", "wifi_countries", "wifi_fre",
          "wifi_channel", "wifi_signal_strength", "router_wifi_ssid", "router_passwd", "wired_use_dhcp",
          "wired_ipaddr", "wired_ipmask", "wired_ipgateway", "wired_pridns", "wired_secdns"}},
        {kVideoOut,
         {"video_hdmi_resu", "video_vga_resu", "video_osd_transparency", "input_vga_gain", "input_vga_sharp",
          "sound_volume", "display_mode", "osd_on", "rotate_str", "auto_fullscreen", "auto_shutdown",
          "auto_shutdown_sec"}},
        {kPinCode, {"use_input_code"}},
        {kMultiMode,
         {"multi_display_enable", "multi_display_mode", "multi_display_type", "multi_display_audio",
          "multi_display_ip_enable", "multi_display_rtsp_addr", "multi_display_uni_ip", "multi_display_multi_ip"}},
    };
    return keys;
}

// The network status follows the hotspot and DHCP settings it reports.
const std::map<std::string, std::string> &StatusMirror() {
    static const std::map<std::string, std::string> mirror{
        {"wifi_on", "wifi_on_status"},
        {"wifi_ssid", "wifi_ssid_status"},
        {"wifi_ipaddr", "wifi_ipaddr_status"},
        {"wifi_ipmask", "wifi_ipmask_status"},
        {"wifi_fre", "wifi_fre_stauts"},
        {"wifi_channel", "wifi_channel_status"},
        {"wifi_signal_strength", "wifi_signal_strength_status"},
        {"wired_use_dhcp", "wired_use_dhcp_status"},
    };
    return mirror;
}

bool IsNinePictureMode(const std::string &display_mode) {
    static const std::set<std::string> nine{"2", "3", "5"};
    return nine.count(display_mode) != 0;
}

bool IsMulticastOn(const Settings &multi) {
    auto value = [&](const char *key) {
        auto found = multi.find(key);
        return found == multi.end() ? std::string() : found->second;
    };
    return SameText(value("multi_display_enable"), "true") && value("multi_display_type") == "multicast";
}

Settings Changed(const Settings &current, const std::string &section,
                 const std::map<std::string, std::string> &query) {
    Settings next = current;
    for (const std::string &key : WritableKeys().at(section)) {
        auto given = query.find(key);
        if (given != query.end()) next[key] = given->second;
    }
    return next;
}

} // namespace

Settings SectionForRead(const Receiver &r, const std::string &section, const std::string &answer_mac) {
    auto stored = r.config.settings.find(section);
    Settings settings = stored == r.config.settings.end() ? Settings{} : stored->second;
    if (section == kNetSettings) {
        settings["dev_ver_info"] = r.config.version;
        settings["dev_type"] = r.config.model;
        settings["dev_mac"] = answer_mac;
    } else if (section == kDevStatus) {
        settings["dev_mac"] = answer_mac;
    }
    return settings;
}

int SaveSection(Receiver &r, const std::string &section, const std::map<std::string, std::string> &query) {
    Settings &current = r.config.settings[section];
    Settings next = Changed(current, section, query);
    if (section == kVideoOut && query.count("display_mode") != 0 && IsNinePictureMode(next["display_mode"]) &&
        IsMulticastOn(r.config.settings[kMultiMode])) {
        return -2;
    }
    if (section == kMultiMode && IsMulticastOn(next) &&
        IsNinePictureMode(r.config.settings[kVideoOut]["display_mode"])) {
        return -2;
    }
    if (section == kNetSettings) {
        Settings &status = r.config.settings[kDevStatus];
        for (const auto &[setting, status_key] : StatusMirror()) {
            if (query.count(setting) != 0) status[status_key] = next[setting];
        }
    }
    current = std::move(next);
    return 0;
}

int SaveHostMember(Receiver &r, const std::map<std::string, std::string> &query) {
    auto ip = query.find("conn_ip");
    if (ip == query.end()) return 1;
    HostMember *member = nullptr;
    for (HostMember &m : r.config.host_members) {
        if (m.conn_ip == ip->second) member = &m;
    }
    if (member == nullptr) return 1;
    auto vstart = query.find("vstart");
    auto single = query.find("single_display");
    auto astart = query.find("astart");
    if (vstart != query.end()) {
        member->play_video = SameText(vstart->second, "true") ? "true" : "false";
    } else if (single != query.end() && SameText(single->second, "true")) {
        for (HostMember &m : r.config.host_members) m.play_video = &m == member ? "true" : "false";
    } else if (astart != query.end()) {
        bool on = SameText(astart->second, "true");
        for (HostMember &m : r.config.host_members) {
            if (&m == member) m.play_audio = on ? "true" : "false";
            else if (on) m.play_audio = "false"; // one sender's sound at a time
        }
    } else {
        return 1;
    }
    return 0;
}

bool IsProgressSection(const std::string &section) {
    return section == "upgradeprogress" || section.empty() || section == "kernel_progress" ||
           section == "filesystem_progress";
}

bool FindUploadTarget(const std::string &section, UploadTarget &target) {
    static const std::map<std::string, UploadTarget> targets{
        {"upgrade", {true, true, "upgradeprogress"}},
        {"uboot_update", {true, true, ""}},
        {"kernel_update", {true, true, "kernel_progress"}},
        {"filesystem_update", {true, true, "filesystem_progress"}},
        {"startup_screen", {false, false, ""}},
        {"standby_screen", {false, false, ""}},
        {"load_screen", {false, false, ""}},
        {"upgrade_screen", {false, false, ""}},
    };
    auto found = targets.find(section);
    if (found == targets.end()) return false;
    target = found->second;
    return true;
}

} // namespace talvo_sim
