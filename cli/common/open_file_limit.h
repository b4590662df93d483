// Raises the soft limit of open files to the hard limit. A batch over a big
// fleet holds a socket per device at once, and many systems start programs
// with a soft limit of 1024.
#pragma once

namespace talvoctl {

void RaiseOpenFileLimit();

} // namespace talvoctl
