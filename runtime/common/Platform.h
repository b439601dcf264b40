#pragma once
// What the code that every platform shares asks of the platform's backend.

#include "Types.h"

namespace rt {

// Runs the platform's event processing until an event may have been queued.
void RunUntilEventQueued();
// An event was queued: the event processing that waits for one may return.
void EventQueued();

// The size of the desktop's work area.
Size DesktopSize();

}  // namespace rt
