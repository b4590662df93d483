// The library's log routine. Every message goes through it, formatted into a
// 4096-byte buffer (at most 4095 characters) and handed to the debugger output.
#pragma once

#include <cstdarg>

namespace korvel {

void Log(const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

void LogV(const char *format, va_list args);

} // namespace korvel

// Logs a message whose format begins "[%s]:[%d]" (or "[%s][%d]") with the
// source unit's name and the line of the call. Each source file defines
// KORVEL_LOG_UNIT ("TALVOMgr", "DeviceMgr", "Device", "Multicast", "Socket").
#define KLOG(format, ...) ::korvel::Log(format, KORVEL_LOG_UNIT, __LINE__ __VA_OPT__(, ) __VA_ARGS__)
