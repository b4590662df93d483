#include "platform/http_library.h"

#include <curl/curl.h>

#include <mutex>

namespace korvel::platform {

int StartHttpLibrary() {
    static std::once_flag once;
    static CURLcode result = CURLE_OK;
    std::call_once(once, [] { result = curl_global_init(CURL_GLOBAL_DEFAULT); });
    return result == CURLE_OK ? 0 : -1;
}

} // namespace korvel::platform
