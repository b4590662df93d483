#include "core/log.h"

#include <cstdio>

#include "korvel.h"
#include "platform/debug_output.h"

namespace korvel {

void LogV(const char *format, va_list args) {
    if (format == nullptr) return;
    char buffer[4096] = {0};
    std::vsnprintf(buffer, sizeof buffer, format, args); // at most 4095 characters
    platform::DebugOutput(buffer);
}

void Log(const char *format, ...) {
    va_list args;
    va_start(args, format);
    LogV(format, args);
    va_end(args);
}

} // namespace korvel

extern "C" void ZR_QM_KorvelSysLogOut(const char *format, ...) {
    va_list args;
    va_start(args, format);
    korvel::LogV(format, args);
    va_end(args);
}
