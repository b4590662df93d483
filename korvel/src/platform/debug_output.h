// Stand-in for the platform's debugger output: one text per call.
#pragma once

#include <functional>
#include <string_view>

namespace korvel::platform {

// Writes `text` to standard error when KORVEL_DEBUG_OUTPUT is set and not
// empty; drops it otherwise, as a debugger output with nobody listening does.
// An installed hook receives every text as well.
void DebugOutput(const char *text);

using DebugOutputHook = std::function<void(std::string_view)>;

// For tests: installs (or, with an empty function, removes) the hook.
void SetDebugOutputHook(DebugOutputHook hook);

} // namespace korvel::platform
