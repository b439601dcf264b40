#pragma once

// The program's own set-up before MAIN: there is none.
void APPSYS();

// Builds the main window, wires its buttons and close request, shows it and
// runs the event loop until the close event (or ends at once on the quit event).
void MAIN();
