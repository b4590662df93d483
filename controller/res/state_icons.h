// The pictures of the program, drawn in code: the three 20 x 20 state icons
// of the device list and the program's window icon.
#pragma once

#include <QIcon>

namespace talvo {

// Index 0 green (running), 1 orange (casting), 2 grey (offline).
const QIcon &StateIconImage(int index);

const QIcon &ProgramIcon();

} // namespace talvo
