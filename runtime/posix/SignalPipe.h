#pragma once
// SIGINT and SIGTERM as bytes in a pipe, so that an event loop can watch for
// them like any input and handle them outside the signal handler.

namespace rt {

// The pipe's reading end, which becomes readable on each of those signals;
// -1 where no pipe could be made (the signals then keep their defaults).
int OpenSignalPipe();
// Reads what is waiting, so that the next signal is seen anew.
void DrainSignalPipe();
// The signals back to their defaults, and the pipe closed.
void CloseSignalPipe();

}  // namespace rt
