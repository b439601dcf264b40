#pragma once
// What the code that every platform shares asks of the platform's backend.

#include <memory>
#include <string>

#include "Types.h"

namespace rt {

// Runs the platform's event processing until an event may have been queued.
void RunUntilEventQueued();
// An event was queued: the event processing that waits for one may return.
void EventQueued();

// The size of the desktop's work area.
Size DesktopSize();

// Replacing a file whole, in steps, so that several files can be replaced as
// one (SaveTogether). A prepared file is the backend's own.
struct PreparedFile;
// Removes whatever of it is not in place: the new file if not placed, what
// KeepOld kept once it is not needed.
void Discard(PreparedFile* prepared);
struct DiscardPrepared {
    void operator()(PreparedFile* p) const { Discard(p); }
};
using Prepared = std::unique_ptr<PreparedFile, DiscardPrepared>;
// Writes the bytes and flushes them to the disk beside the file (through
// symbolic links, to their target), and checks that the file can be replaced;
// nothing visible changes.
Failure PrepareFile(const std::string& cFile, const std::string& cBytes, Prepared& prepared);
// Keeps the file's present state aside, so that RestoreFile can bring it back.
Failure KeepOld(PreparedFile& prepared);
// Puts the new bytes in the file's place in one step.
Failure PlaceFile(PreparedFile& prepared);
// After a PlaceFile that succeeded: the file as KeepOld found it (absent, if it was).
void RestoreFile(PreparedFile& prepared);
// After every file is placed: the folder flushed to the disk and the litter of
// saves killed before their rename removed.
Failure FinishFile(PreparedFile& prepared);

}  // namespace rt
