// Raises the soft limit of open files to the hard limit. Big fleets need
// thousands of sockets at once (one refresh per device), and many desktops
// start programs with a soft limit of 1024.
#pragma once

namespace talvo {

void RaiseOpenFileLimit();

} // namespace talvo
