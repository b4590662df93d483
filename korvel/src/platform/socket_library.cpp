#include "platform/socket_library.h"

#include <atomic>
#include <csignal>

#if defined(_WIN32)
#include <winsock2.h>
#endif

namespace korvel::platform {
namespace {
std::atomic<int> g_starts{0};
} // namespace

int StartSocketLibrary() {
#if defined(_WIN32)
    WSADATA data;
    if (WSAStartup(0x0202, &data) != 0) return -1;
#else
    std::signal(SIGPIPE, SIG_IGN);
#endif
    ++g_starts;
    return 0;
}

void StopSocketLibrary() {
    if (g_starts.load() <= 0) return;
#if defined(_WIN32)
    WSACleanup();
#endif
    --g_starts;
}

int SocketLibraryStarts() { return g_starts.load(); }

} // namespace korvel::platform
