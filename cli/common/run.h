// talvoctl's run: the global options, the command's dispatch, the login, and
// the exit status.
#pragma once

#include <string>
#include <vector>

namespace talvoctl {

// Runs the command line `args` (without the program name); the exit status.
int Run(const std::vector<std::string> &args);

} // namespace talvoctl
