#include "platform/local_time.h"

namespace korvel::platform {

std::string LocalDateTimeText(std::time_t seconds) {
    std::tm parts{};
#if defined(_WIN32)
    bool ok = localtime_s(&parts, &seconds) == 0;
#else
    bool ok = localtime_r(&seconds, &parts) != nullptr;
#endif
    char text[32] = "00000000-000000";
    if (ok) std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &parts);
    return text;
}

} // namespace korvel::platform
