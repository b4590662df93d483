#include "announcement.h"

#include "json_text.h"

namespace talvo_sim {

std::string Announcement(const Receiver &r, const std::string &message_name, const std::string &mac,
                         Clock::time_point now) {
    auto net = r.config.settings.find(kNetSettings);
    std::string ssid;
    if (net != r.config.settings.end() && net->second.count("wifi_ssid") != 0) ssid = net->second.at("wifi_ssid");
    JsonPtr message(cJSON_CreateObject());
    cJSON_AddStringToObject(message.get(), "MsgName", message_name.c_str());
    cJSON_AddStringToObject(message.get(), "Device_Type", r.config.model.c_str());
    cJSON_AddStringToObject(message.get(), "Odm_Name", "TALVO");
    cJSON_AddStringToObject(message.get(), "Product_Id", "KARVEN");
    cJSON_AddStringToObject(message.get(), "Wifi_SSID", ssid.c_str());
    cJSON_AddStringToObject(message.get(), "Wired_IpAddr", r.config.address.c_str());
    cJSON_AddStringToObject(message.get(), "Wired_MacAddr", mac.c_str());
    cJSON_AddStringToObject(message.get(), "Device_Ver", r.config.version.c_str());
    cJSON_AddNumberToObject(message.get(), "RunTime", r.RunTime(now));
    return JsonText(message.get());
}

bool IsDiscoveryRequest(const std::string &text, std::string &name) {
    JsonPtr message(cJSON_Parse(text.c_str()));
    if (!cJSON_IsObject(message.get())) return false;
    name = StringMember(message.get(), "MsgName");
    return (name == "SearchDevice" || name == "UpdateDeviceInfo") &&
           StringMember(message.get(), "Device_Type") == "DeviceManagerSoftware" &&
           StringMember(message.get(), "Odm_Name") == "TALVO" && StringMember(message.get(), "Product_Id") == "KARVEN";
}

} // namespace talvo_sim
