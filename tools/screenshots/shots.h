// The pictures taken: every window and page of the program against the
// showcase fleet.
#pragma once

#include "capture.h"
#include "showcase_fleet.h"

namespace talvo::screenshots {

// Takes every picture; the library is started with "admin" logged in.
void TakeAll(Capture &capture, ShowcaseFleet &fleet);

} // namespace talvo::screenshots
