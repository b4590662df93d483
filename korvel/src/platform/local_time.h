// Calendar time in the machine's time zone (localtime_r / localtime_s).
#pragma once

#include <ctime>
#include <string>

namespace korvel::platform {

// "YYYYMMDD-HHMMSS" of `seconds` in local time; "00000000-000000" when the
// time cannot be converted.
std::string LocalDateTimeText(std::time_t seconds);

} // namespace korvel::platform
