#include "Backend.h"

namespace rt::backend {

// Windows' screen readers learn of our controls through the proxies Windows
// makes for standard windows, which carry no announcement; until the window
// answers for itself, what changed is heard from the controls alone.
void Announce(const std::string&) {}

bool StillSpeaking() { return false; }

}  // namespace rt::backend
