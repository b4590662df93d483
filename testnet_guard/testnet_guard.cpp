#include "testnet_guard.h"

#include <net/if.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace korvel::testing {

bool InPrivateTestNetwork() {
    struct if_nameindex *interfaces = if_nameindex();
    if (interfaces == nullptr) return false;
    bool only_loopback = true;
    for (struct if_nameindex *i = interfaces; i->if_index != 0 || i->if_name != nullptr; ++i) {
        if (i->if_name != nullptr && std::strcmp(i->if_name, "lo") != 0) only_loopback = false;
    }
    if_freenameindex(interfaces);
    return only_loopback;
}

void RequireTestNetwork(const char *program) {
    if (InPrivateTestNetwork()) return;
    std::fprintf(stderr,
                 "%s: refusing to run: this process sees network interfaces besides 'lo'.\n"
                 "It opens sockets and must run inside the private test network:\n"
                 "    scripts/testnet %s\n",
                 program == nullptr ? "test" : program, program == nullptr ? "CMD" : program);
    std::exit(3);
}

} // namespace korvel::testing
