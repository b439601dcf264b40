#pragma once
// Says a text to a screen reader at once, through the platform's
// accessibility, for a change that the window shows but no focus move tells:
// a colour chosen, a logo made, a save. It is said in the application window
// once that is active and the focus has landed (a text said before, at
// start-up, waits for it). Nothing is shown, nothing takes the focus.

#include <string>

namespace rt {

void Announce(const std::string& cText);

}  // namespace rt
