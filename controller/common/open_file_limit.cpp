#include "common/open_file_limit.h"

#if !defined(_WIN32)
#include <sys/resource.h>
#endif

namespace talvo {

void RaiseOpenFileLimit() {
#if !defined(_WIN32) // Windows has no such per-process limit for sockets
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= limit.rlim_max) return;
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit); // keeps the old limit when refused
#endif
}

} // namespace talvo
