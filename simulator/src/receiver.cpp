#include "receiver.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace talvo_sim {

namespace {

constexpr std::size_t kSessionLimit = 64;

std::string MacTail(const std::string &mac) {
    std::string hex;
    for (char c : mac) {
        if (std::isxdigit(static_cast<unsigned char>(c))) hex += static_cast<char>(std::toupper(c));
    }
    return hex.size() > 4 ? hex.substr(hex.size() - 4) : hex;
}

Settings DefaultNetSettings(const ReceiverConfig &c) {
    return {
        {"wifi_on", "true"},
        {"wifi_ssid", "TALVO-" + MacTail(c.mac)},
        {"wifi_ipaddr", "192.168.49.1"},
        {"wifi_ipmask", "255.255.255.0"},
        {"wifi_pwd", "12345678"},
        {"wifi_countries", "CN"},
        {"wifi_fre", "g5"},
        {"wifi_channel", "149"},
        {"wifi_signal_strength", "100"},
        {"router_wifi_ssid", ""},
        {"router_passwd", ""},
        {"wired_use_dhcp", "true"},
        {"wired_ipaddr", c.address},
        {"wired_ipmask", "255.0.0.0"},
        {"wired_ipgateway", "127.0.0.1"},
        {"wired_pridns", "127.0.0.1"},
        {"wired_secdns", ""},
        {"connect_status", "Offline"},
    };
}

// The network status mirrors the network settings it was built from.
Settings DefaultDevStatus(const ReceiverConfig &c, const Settings &net) {
    return {
        {"wifi_on_status", net.at("wifi_on")},
        {"wifi_ssid_status", net.at("wifi_ssid")},
        {"wifi_ipaddr_status", net.at("wifi_ipaddr")},
        {"wifi_ipmask_status", net.at("wifi_ipmask")},
        {"wifi_fre_stauts", net.at("wifi_fre")},
        {"wifi_channel_status", net.at("wifi_channel")},
        {"wifi_signal_strength_status", net.at("wifi_signal_strength")},
        {"wired_use_dhcp_status", net.at("wired_use_dhcp")},
        {"wifi_mac_addr_status", c.mac},
        {"wired_ipaddr_status", c.address},
        {"wired_ipmask_status", net.at("wired_ipmask")},
        {"wired_gateway_status", net.at("wired_ipgateway")},
        {"wired_mac_addr_status", c.mac},
        {"wired_pridns_status", net.at("wired_pridns")},
        {"wired_secdns_status", net.at("wired_secdns")},
        {"wlan1_use_dhcp_status", "true"},
        {"wlan1_mac_addr_status", ""},
        {"wlan1_ipaddr_status", ""},
        {"wlan1_ipmask_status", ""},
        {"wlan1_gateway_status", ""},
        {"wlan1_pridns_status", ""},
        {"wlan1_secdns_status", ""},
    };
}

Settings DefaultVideoOut() {
    return {
        {"video_hdmi_resu", "auto"},   {"video_vga_resu", "auto"}, {"video_osd_transparency", "50"},
        {"input_vga_gain", "50"},      {"input_vga_sharp", "50"},  {"sound_volume", "80"},
        {"display_mode", "0"},         {"osd_on", "true"},         {"rotate_str", "0"},
        {"auto_fullscreen", "false"},  {"auto_shutdown", "false"}, {"auto_shutdown_sec", "300"},
    };
}

Settings DefaultPinCode() { return {{"use_input_code", "false"}, {"input_code", "2580"}}; }

Settings DefaultMultiMode(const ReceiverConfig &c) {
    return {
        {"multi_display_enable", "false"},
        {"multi_display_mode", "in"},
        {"multi_display_type", "multicast"},
        {"multi_display_audio", "false"},
        {"multi_display_ip_enable", "false"},
        {"multi_display_multi_ip", "239.1.1.1"},
        {"multi_display_uni_ip", ""},
        {"multi_display_rtsp_addr", ""},
        {"multi_display_rtsp_srv_addr", "rtsp://" + c.address + ":8554/live"},
    };
}

void MergeInto(Settings &base, const Settings &given) {
    for (const auto &[key, value] : given) base[key] = value;
}

} // namespace

const std::vector<std::string> &ModelNames() {
    static const std::vector<std::string> names{"TALVO_HX", "TALVO_JX", "TALVO_MX",
                                                "TALVO_NX", "TALVO_SX", "TALVO_TX"};
    return names;
}

std::string Md5Hex(const std::string &data) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(data.data(), data.size(), digest, &length, EVP_md5(), nullptr);
    std::string hex;
    char pair[3];
    for (unsigned int i = 0; i < length; ++i) {
        std::snprintf(pair, sizeof pair, "%02x", digest[i]);
        hex += pair;
    }
    return hex;
}

std::string LowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool SameText(const std::string &a, const std::string &b) { return LowerCase(a) == LowerCase(b); }

ReceiverConfig CompleteConfig(const ReceiverConfig &given) {
    ReceiverConfig c = given;
    if (c.model.empty()) c.model = "TALVO_JX";
    if (c.version.empty()) c.version = c.model + "-V2.1.0";
    if (c.user.empty()) c.user = "TALVO";
    if (c.password_md5.empty()) c.password_md5 = Md5Hex("WQZNE847");
    if (c.web_password_md5.empty()) c.web_password_md5 = Md5Hex("admin");
    if (c.state.empty()) c.state = "idle";

    Settings net = DefaultNetSettings(c);
    auto given_net = given.settings.find(kNetSettings);
    if (given_net != given.settings.end()) MergeInto(net, given_net->second);
    std::map<std::string, Settings> sections{
        {kNetSettings, net},
        {kDevStatus, DefaultDevStatus(c, net)},
        {kVideoOut, DefaultVideoOut()},
        {kPinCode, DefaultPinCode()},
        {kMultiMode, DefaultMultiMode(c)},
    };
    for (const auto &[section, values] : given.settings) MergeInto(sections[section], values);
    c.settings = std::move(sections);
    return c;
}

bool FaultTable::Take(const std::vector<std::string> &keys, Fault &out) {
    for (const std::string &key : keys) {
        auto rule = rules_.find(key);
        if (rule == rules_.end()) continue;
        out = rule->second;
        if (rule->second.times > 0 && --rule->second.times == 0) rules_.erase(rule);
        return true;
    }
    return false;
}

std::uint32_t Receiver::RunTime(Clock::time_point now) const {
    auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(now - run_since).count();
    return run_base + static_cast<std::uint32_t>(std::max<long long>(0, elapsed));
}

void Receiver::SetRunTime(std::uint32_t seconds, Clock::time_point now) {
    run_base = seconds;
    run_since = now;
}

int Receiver::Progress(const std::string &progress_section, Clock::time_point now) const {
    auto install = installs.find(progress_section);
    if (install == installs.end()) return 0;
    if (install->second.duration.count() <= 0) return 100;
    auto percent = (now - install->second.started) * 100 / install->second.duration;
    return static_cast<int>(std::clamp<long long>(percent, 0, 100));
}

std::string Receiver::ReportedState(Clock::time_point now) const {
    for (const auto &[section, install] : installs) {
        if (Progress(section, now) < 100) return "upgrade";
    }
    return config.state;
}

std::string SessionIdOfCookie(const std::string &cookie) {
    const std::string name = "sessionid=";
    std::size_t at = 0;
    while ((at = cookie.find(name, at)) != std::string::npos) {
        bool starts_item = at == 0 || cookie[at - 1] == ' ' || cookie[at - 1] == ';';
        at += name.size();
        if (!starts_item) continue;
        std::size_t end = cookie.find(';', at);
        return cookie.substr(at, end == std::string::npos ? std::string::npos : end - at);
    }
    return "";
}

bool Receiver::HasSession(const std::string &cookie) const {
    std::string id = SessionIdOfCookie(cookie);
    return !id.empty() && std::find(sessions.begin(), sessions.end(), id) != sessions.end();
}

std::string Receiver::OpenSession(std::uint64_t random) {
    char id[33];
    std::snprintf(id, sizeof id, "%016llx%08x", static_cast<unsigned long long>(random),
                  static_cast<unsigned>(sessions.size() + 1));
    sessions.push_back(id);
    if (sessions.size() > kSessionLimit) sessions.pop_front();
    return id;
}

void Receiver::CloseSession(const std::string &cookie) {
    std::string id = SessionIdOfCookie(cookie);
    auto open = std::find(sessions.begin(), sessions.end(), id);
    if (open != sessions.end()) sessions.erase(open);
}

void Receiver::Record(RequestRecord record, std::size_t limit) {
    log.push_back(std::move(record));
    while (log.size() > limit) log.pop_front();
}

ReceiverSnapshot Receiver::Snapshot(Clock::time_point now) const {
    ReceiverSnapshot s;
    s.config = config;
    s.presence = presence;
    s.reported_state = ReportedState(now);
    s.run_time = RunTime(now);
    s.sessions = static_cast<int>(sessions.size());
    s.reboots = reboots;
    for (const auto &[section, install] : installs) s.progress[section] = Progress(section, now);
    s.files = files;
    return s;
}

} // namespace talvo_sim
