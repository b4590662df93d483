#include "platform/debug_output.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace korvel::platform {
namespace {

bool StandardErrorWanted() {
    static const bool wanted = [] {
        const char *value = std::getenv("KORVEL_DEBUG_OUTPUT");
        return value != nullptr && value[0] != '\0';
    }();
    return wanted;
}

std::mutex &HookMutex() {
    static std::mutex mutex;
    return mutex;
}

DebugOutputHook &Hook() {
    static DebugOutputHook hook;
    return hook;
}

void WriteStandardError(const char *text) {
    size_t left = std::strlen(text);
    while (left > 0) {
#if defined(_WIN32)
        int n = _write(2, text, static_cast<unsigned>(left));
#else
        ssize_t n = ::write(2, text, left);
#endif
        if (n <= 0) return;
        text += n;
        left -= static_cast<size_t>(n);
    }
}

} // namespace

void DebugOutput(const char *text) {
    if (text == nullptr) return;
    {
        std::lock_guard<std::mutex> lock(HookMutex());
        if (Hook()) Hook()(text);
    }
    if (StandardErrorWanted()) WriteStandardError(text);
}

void SetDebugOutputHook(DebugOutputHook hook) {
    std::lock_guard<std::mutex> lock(HookMutex());
    Hook() = std::move(hook);
}

} // namespace korvel::platform
