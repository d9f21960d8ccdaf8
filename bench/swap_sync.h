#pragma once

// Tells the driver not to hold each buffer swap of the current GL context
// until the display's next refresh, so that a frame's time is its work and
// not the display's rate.
void turnSwapSyncOff();
