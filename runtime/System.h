#pragma once
// Process and file services. Relative names resolve in the current directory.

#include <string>

#include "Types.h"

namespace rt {

// Whether a regular file of that name exists.
bool File(const std::string& cFile);
// Erases the file; true when it is gone.
bool FErase(const std::string& cFile);
// Replaces the file with exactly these bytes, whole or not at all: the old
// file stays as it was when anything goes wrong.
Failure WriteFileAtomic(const std::string& cFile, const std::string& cBytes);
// Yields the thread; processes no events.
void Sleep(int nHundredths);

}  // namespace rt
