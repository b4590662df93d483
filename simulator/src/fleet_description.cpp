// Fleets from options (count, models, base address) or from a JSON file.
#include <arpa/inet.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "json_text.h"
#include "receiver.h"

namespace talvo_sim {

namespace {

std::uint32_t ParseBase(const std::string &base) {
    in_addr address{};
    if (inet_pton(AF_INET, base.c_str(), &address) != 1 || (ntohl(address.s_addr) >> 24) != 127) {
        throw std::invalid_argument("base address must be 127.x.y.z, not '" + base + "'");
    }
    return ntohl(address.s_addr);
}

std::string Dotted(std::uint32_t address) {
    in_addr value{htonl(address)};
    char text[INET_ADDRSTRLEN];
    inet_ntop(AF_INET, &value, text, sizeof text);
    return text;
}

// The next address that is neither .0 nor .255 and stays in 127/8.
std::uint32_t NextUsable(std::uint32_t address) {
    while ((address & 0xFF) == 0 || (address & 0xFF) == 0xFF) ++address;
    if ((address >> 24) != 127) throw std::invalid_argument("the fleet does not fit below 127.255.255.254");
    return address;
}

bool IsModel(const std::string &name) {
    const auto &names = ModelNames();
    return std::find(names.begin(), names.end(), name) != names.end();
}

[[noreturn]] void Bad(std::size_t index, const std::string &what) {
    throw std::runtime_error("fleet description, receiver " + std::to_string(index + 1) + ": " + what);
}

std::string Text(const cJSON *object, const char *key, std::size_t index, const std::string &fallback = "") {
    const cJSON *member = cJSON_GetObjectItemCaseSensitive(object, key);
    if (member == nullptr) return fallback;
    if (!cJSON_IsString(member)) Bad(index, std::string("'") + key + "' must be a text");
    return member->valuestring;
}

Settings SettingsOf(const cJSON *object, std::size_t index) {
    Settings settings;
    const cJSON *item = nullptr;
    cJSON_ArrayForEach(item, object) {
        if (!cJSON_IsString(item)) Bad(index, std::string("setting '") + item->string + "' must be a text");
        settings[item->string] = item->valuestring;
    }
    return settings;
}

HostMember MemberOf(const cJSON *object, std::size_t index) {
    HostMember m;
    m.conn_ip = Text(object, "conn_ip", index);
    m.conn_type = Text(object, "conn_type", index, m.conn_type);
    m.conn_name = Text(object, "conn_name", index);
    m.play_video = Text(object, "play_video", index, m.play_video);
    m.play_audio = Text(object, "play_audio", index, m.play_audio);
    const cJSON *media = cJSON_GetObjectItemCaseSensitive(object, "media_num");
    if (cJSON_IsNumber(media)) m.media_num = media->valueint;
    return m;
}

ReceiverConfig ReceiverOf(const cJSON *object, std::size_t index) {
    if (!cJSON_IsObject(object)) Bad(index, "must be an object");
    ReceiverConfig r;
    r.mac = Text(object, "mac", index);
    r.address = Text(object, "address", index);
    if (r.mac.empty() || r.address.empty()) Bad(index, "needs 'mac' and 'address'");
    r.model = Text(object, "model", index, r.model);
    if (!IsModel(r.model)) Bad(index, "unknown model '" + r.model + "'");
    r.version = Text(object, "version", index);
    r.user = Text(object, "user", index, r.user);
    r.password_md5 = Text(object, "password_md5", index);
    std::string password = Text(object, "password", index);
    if (!password.empty()) r.password_md5 = Md5Hex(password);
    std::string web_password = Text(object, "web_password", index);
    if (!web_password.empty()) r.web_password_md5 = Md5Hex(web_password);
    r.state = Text(object, "state", index, r.state);
    const cJSON *run_time = cJSON_GetObjectItemCaseSensitive(object, "run_time");
    if (run_time != nullptr) {
        if (!cJSON_IsNumber(run_time) || run_time->valuedouble < 0) Bad(index, "'run_time' must be a number >= 0");
        r.run_time = static_cast<std::uint32_t>(run_time->valuedouble);
    }
    r.state_needs_session = cJSON_IsTrue(cJSON_GetObjectItemCaseSensitive(object, "state_needs_session"));
    const cJSON *section = nullptr;
    cJSON_ArrayForEach(section, cJSON_GetObjectItemCaseSensitive(object, "settings")) {
        r.settings[section->string] = SettingsOf(section, index);
    }
    const cJSON *member = nullptr;
    cJSON_ArrayForEach(member, cJSON_GetObjectItemCaseSensitive(object, "host_members")) {
        r.host_members.push_back(MemberOf(member, index));
    }
    return r;
}

} // namespace

std::vector<ReceiverConfig> GenerateFleet(int count, const std::string &models, const std::string &base) {
    if (count < 0) throw std::invalid_argument("the receiver count must not be negative");
    if (models != "mixed" && !IsModel(models)) {
        throw std::invalid_argument("models must be 'mixed' or a model name, not '" + models + "'");
    }
    std::vector<ReceiverConfig> fleet;
    std::uint32_t address = ParseBase(base);
    for (int i = 0; i < count; ++i) {
        address = NextUsable(address);
        ReceiverConfig r;
        unsigned n = static_cast<unsigned>(i + 1);
        char mac[18];
        std::snprintf(mac, sizeof mac, "02:54:56:%02X:%02X:%02X", (n >> 16) & 0xFF, (n >> 8) & 0xFF, n & 0xFF);
        r.mac = mac;
        r.address = Dotted(address++);
        r.model = models == "mixed" ? ModelNames()[static_cast<std::size_t>(i) % ModelNames().size()] : models;
        r.run_time = 600 + n * 37 % 86400;
        fleet.push_back(r);
    }
    return fleet;
}

std::vector<ReceiverConfig> ParseFleetDescription(const std::string &json_text) {
    JsonPtr root(cJSON_Parse(json_text.c_str()));
    if (!cJSON_IsObject(root.get())) throw std::runtime_error("fleet description: not a JSON object");
    std::vector<ReceiverConfig> fleet;
    const cJSON *generate = cJSON_GetObjectItemCaseSensitive(root.get(), "generate");
    if (generate != nullptr) {
        const cJSON *count = cJSON_GetObjectItemCaseSensitive(generate, "count");
        if (!cJSON_IsNumber(count)) throw std::runtime_error("fleet description: 'generate' needs a 'count'");
        std::string models = StringMember(generate, "models");
        std::string base = StringMember(generate, "base");
        try {
            fleet = GenerateFleet(count->valueint, models.empty() ? "mixed" : models,
                                  base.empty() ? "127.1.0.1" : base);
        } catch (const std::invalid_argument &error) {
            throw std::runtime_error(std::string("fleet description: ") + error.what());
        }
    }
    const cJSON *receivers = cJSON_GetObjectItemCaseSensitive(root.get(), "receivers");
    if (receivers != nullptr && !cJSON_IsArray(receivers)) {
        throw std::runtime_error("fleet description: 'receivers' must be an array");
    }
    std::size_t index = 0;
    const cJSON *receiver = nullptr;
    cJSON_ArrayForEach(receiver, receivers) fleet.push_back(ReceiverOf(receiver, index++));
    return fleet;
}

} // namespace talvo_sim
