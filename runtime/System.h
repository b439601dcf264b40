#pragma once
// Process and file services. Relative names resolve in the current directory.

#include <cstddef>
#include <string>

#include "Types.h"

namespace rt {

// Whether a regular file of that name exists.
bool File(const std::string& cFile);
// Erases the file; true when it is gone.
bool FErase(const std::string& cFile);
// Replaces the file with exactly these bytes, whole or not at all: the old
// file stays as it was when anything goes wrong. A symbolic link (or a chain
// of them) is written through: its target is replaced, the link stays. A
// successful save also removes what saves of the same file that died before
// their rename left behind. While a SaveTogether is open it only prepares the
// file, and the SaveTogether's place() puts it in place.
Failure WriteFileAtomic(const std::string& cFile, const std::string& cBytes);
// The whole file's bytes; a file larger than nMaxBytes is refused before any
// byte is read.
Failure ReadWholeFile(const std::string& cFile, std::size_t nMaxBytes, std::string& cBytes);
// The current directory as a person reads it: under the home folder from ~
// where the platform writes paths so (~/Pictures), else whole.
std::string CurDirShown();
// Yields the thread; processes no events.
void Sleep(int nHundredths);

}  // namespace rt
