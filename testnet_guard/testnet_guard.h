// Every program that opens sockets runs inside the private network namespace
// of scripts/testnet. This check stops it at once anywhere else.
#pragma once

namespace korvel::testing {

// True when the only network interface is the loopback interface.
bool InPrivateTestNetwork();

// Exits the process with status 3 and a clear message unless
// InPrivateTestNetwork() holds.
void RequireTestNetwork(const char *program);

} // namespace korvel::testing
