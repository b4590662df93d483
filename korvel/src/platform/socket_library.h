// Counted start and stop of the socket library (WSAStartup/WSACleanup on
// Windows). On POSIX there is nothing to load; starting makes sure a peer that
// closes a connection cannot kill the process with SIGPIPE.
#pragma once

namespace korvel::platform {

// Returns 0 on success, -1 when the socket library cannot be started.
int StartSocketLibrary();
void StopSocketLibrary();

// Number of starts not yet matched by a stop (for tests).
int SocketLibraryStarts();

} // namespace korvel::platform
