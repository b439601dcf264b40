#pragma once
// The application's own first-in-first-out event queue. The platform's input
// becomes queued events: a button press, a dialog's close request, the focus
// coming back after a modal dialog, SIGINT and SIGTERM (the quit event); on
// Windows the end of the session ends the program at once instead.

#include <cstddef>
#include <memory>

#include "Types.h"

namespace rt {

class XbpWindow;

// Waits, running the platform's event processing, until an event is queued; returns the
// oldest one's code and fills its parameters and the window it is addressed to
// (null when it names none, or that window is gone).
long AppEvent(MsgParam& mp1, MsgParam& mp2, std::shared_ptr<XbpWindow>& oXbp);

// Appends an event; true once it is queued.
bool PostAppEvent(long nEvent, MsgParam mp1 = {}, MsgParam mp2 = {},
                  const std::shared_ptr<XbpWindow>& oXbp = nullptr);

// Events queued and not yet fetched; for tests.
std::size_t PendingAppEvents();
void ClearAppEvents();

// Ends the process at once, with exit status 0.
[[noreturn]] void QUIT();

}  // namespace rt
