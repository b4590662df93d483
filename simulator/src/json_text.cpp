#include "json_text.h"

#include <cstdlib>

namespace talvo_sim {

std::string JsonText(const cJSON *json) {
    char *printed = cJSON_PrintUnformatted(json);
    if (printed == nullptr) return "{}";
    std::string text(printed);
    cJSON_free(printed);
    return text;
}

cJSON *SettingsObject(const Settings &settings) {
    cJSON *object = cJSON_CreateObject();
    for (const auto &[key, value] : settings) cJSON_AddStringToObject(object, key.c_str(), value.c_str());
    return object;
}

std::string ErrCodeAnswer(int err_code) {
    JsonPtr answer(cJSON_CreateObject());
    cJSON_AddNumberToObject(answer.get(), "err_code", err_code);
    return JsonText(answer.get());
}

std::string ResultAnswer(int err_code, cJSON *result) {
    JsonPtr answer(cJSON_CreateObject());
    cJSON_AddNumberToObject(answer.get(), "err_code", err_code);
    cJSON_AddItemToObject(answer.get(), "result", result);
    return JsonText(answer.get());
}

std::string StringMember(const cJSON *object, const char *key) {
    const cJSON *member = cJSON_GetObjectItemCaseSensitive(object, key);
    return cJSON_IsString(member) && member->valuestring != nullptr ? member->valuestring : "";
}

} // namespace talvo_sim
