// What the logged-in operator may change in the main window.
#pragma once

namespace talvo {

// True for every operator but an ordinary user: groups, aliases and group
// membership are theirs to arrange. A type the library cannot tell is logged
// and counts as false.
bool MayArrangeDevices();

} // namespace talvo
