// Small helpers over cJSON for the answers the receivers send.
#pragma once

#include <cjson/cJSON.h>

#include <memory>
#include <string>

#include "talvo_sim/fleet.h"

namespace talvo_sim {

struct JsonDeleter {
    void operator()(cJSON *json) const { cJSON_Delete(json); }
};
using JsonPtr = std::unique_ptr<cJSON, JsonDeleter>;

// Compact JSON text of a value (bytes of strings pass through unchanged).
std::string JsonText(const cJSON *json);

// An object with one string member per setting.
cJSON *SettingsObject(const Settings &settings);

// {"err_code":N}
std::string ErrCodeAnswer(int err_code);
// {"err_code":N,"result":RESULT}; takes ownership of result.
std::string ResultAnswer(int err_code, cJSON *result);

// The string member `key` of an object, or "" when it is absent or no string.
std::string StringMember(const cJSON *object, const char *key);

} // namespace talvo_sim
